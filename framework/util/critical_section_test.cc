// The scoped lock over the framework's critical sections: what it holds, releases and excludes.
#include "framework/util/critical_section.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace framework {
namespace {

// Counts the calls, so that a test sees exactly what the scoped lock did.
class CountingSync final : public runtime::SyncObject {
 public:
  void Acquire() override { ++acquired; }
  void Release() override { ++released; }
  int acquired = 0;
  int released = 0;
};

TEST(CriticalProcedureTest, InitWithNoObjectReleasesTheOneHeld) {
  CountingSync sync;
  CriticalProcedure lock;
  lock.Init(&sync);
  EXPECT_TRUE(lock.holding());
  lock.Init(nullptr);
  EXPECT_FALSE(lock.holding());
  EXPECT_EQ(sync.acquired, 1);
  EXPECT_EQ(sync.released, 1);
}

TEST(CriticalProcedureTest, InitWithAnotherObjectSwapsTheHold) {
  CountingSync first;
  CountingSync second;
  {
    CriticalProcedure lock;
    lock.Init(&first);
    lock.Init(&second);
    EXPECT_EQ(first.released, 1);
    EXPECT_EQ(second.acquired, 1);
    EXPECT_EQ(second.released, 0);
  }
  EXPECT_EQ(second.released, 1);  // destruction releases
  EXPECT_EQ(first.acquired, 1);
}

TEST(CriticalProcedureTest, KillTwiceAndThenDestructionReleaseOnce) {
  CountingSync sync;
  {
    CriticalProcedure lock;
    lock.Init(&sync);
    lock.Kill();
    lock.Kill();
  }
  EXPECT_EQ(sync.acquired, 1);
  EXPECT_EQ(sync.released, 1);
}

TEST(CriticalProcedureTest, NestedHoldsOnOneThreadDoNotBlock) {
  CriticalSection section;
  CriticalProcedure outer;
  outer.Init(section.GetIface());
  {
    CriticalProcedure inner;
    inner.Init(section.GetIface());  // would hang if the section were not re-entrant
    EXPECT_TRUE(inner.holding());
  }
  EXPECT_TRUE(outer.holding());
  // Still held once: another thread must wait for the outer hold.
  std::atomic<bool> entered{false};
  std::thread other([&] {
    CriticalProcedure lock;
    lock.Init(section.GetIface());
    entered = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(entered);
  outer.Kill();
  other.join();
  EXPECT_TRUE(entered);
}

TEST(CriticalProcedureTest, ExcludesAcrossThreads) {
  CriticalSection section;
  int64_t counter = 0;  // guarded by `section` only; a lost update shows a broken lock
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      CriticalProcedure lock;
      lock.Init(section.GetIface());
      counter = counter + 1;
    }
  };
  std::thread first(work);
  std::thread second(work);
  first.join();
  second.join();
  EXPECT_EQ(counter, 40000);
}

}  // namespace
}  // namespace framework
