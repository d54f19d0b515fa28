#include "runtime/values/queue.h"

#include <gtest/gtest.h>

#include <string>

namespace runtime {
namespace {

struct Entry {
  int id = 0;
  std::string name;
};

// Fills a queue with (id, name) rows in the given order.
void Fill(Queue<Entry>& queue, std::initializer_list<Entry> rows) {
  for (const Entry& row : rows) {
    queue.buffer() = row;
    ASSERT_EQ(queue.Add(), 0);
  }
}

TEST(QueueTest, GetByPositionLeavesTheQueuePositionedForPutAndDelete) {
  Queue<Entry> queue;
  Fill(queue, {{1, "a"}, {2, "b"}, {3, "c"}});
  EXPECT_EQ(queue.Records(), 3);
  EXPECT_EQ(queue.Pointer(), 3);

  ASSERT_EQ(queue.Get(2), 0);
  EXPECT_EQ(queue.buffer().name, "b");
  EXPECT_EQ(queue.Pointer(), 2);
  queue.buffer().name = "B";
  ASSERT_EQ(queue.Put(), 0);
  EXPECT_EQ(queue.row(2).name, "B");

  ASSERT_EQ(queue.Get(1), 0);
  ASSERT_EQ(queue.Delete(), 0);
  EXPECT_EQ(queue.Pointer(), 0);
  EXPECT_EQ(queue.Records(), 2);
  EXPECT_EQ(queue.row(1).id, 2);
  // No current row after a delete: a second delete or a put is refused and changes nothing.
  EXPECT_EQ(queue.Delete(), kRecordNotAvailable);
  EXPECT_EQ(queue.Put(), kRecordNotAvailable);
  EXPECT_EQ(queue.Records(), 2);
}

TEST(QueueTest, GetOutOfRangeLeavesBufferAndPositionAlone) {
  Queue<Entry> queue;
  Fill(queue, {{1, "a"}});
  queue.buffer() = {9, "z"};
  EXPECT_EQ(queue.Get(0), kRecordNotFound);
  EXPECT_EQ(queue.Get(2), kRecordNotFound);
  EXPECT_EQ(queue.buffer().id, 9);
  EXPECT_EQ(queue.Pointer(), 1);
}

TEST(QueueTest, KeyOrderAddKeepsEqualKeysInArrivalOrderAndGetFindsTheFirst) {
  Queue<Entry> queue;
  const auto by_id = ByFields<Entry>(&Entry::id);
  for (const Entry& row : {Entry{3, "c"}, Entry{1, "a1"}, Entry{2, "b"}, Entry{1, "a2"}}) {
    queue.buffer() = row;
    ASSERT_EQ(queue.AddInOrder(by_id), 0);
  }
  ASSERT_EQ(queue.Records(), 4);
  EXPECT_EQ(queue.row(1).name, "a1");
  EXPECT_EQ(queue.row(2).name, "a2");
  EXPECT_EQ(queue.row(4).name, "c");

  queue.buffer() = {1, ""};
  ASSERT_EQ(queue.GetByKey(by_id), 0);
  EXPECT_EQ(queue.buffer().name, "a1");
  EXPECT_EQ(queue.Pointer(), 1);
  queue.buffer() = {7, ""};
  EXPECT_EQ(queue.GetByKey(by_id), kRecordNotFound);
}

TEST(QueueTest, SortBySeveralFieldsIsStable) {
  Queue<Entry> queue;
  Fill(queue, {{2, "x"}, {1, "y"}, {2, "a"}, {1, "y"}});
  queue.Sort(ByFields<Entry>(Descending(&Entry::id), &Entry::name));
  EXPECT_EQ(queue.row(1).name, "a");
  EXPECT_EQ(queue.row(2).name, "x");
  EXPECT_EQ(queue.row(3).id, 1);
  EXPECT_EQ(queue.Pointer(), 0);
  queue.Free();
  EXPECT_EQ(queue.Records(), 0);
}

}  // namespace
}  // namespace runtime
