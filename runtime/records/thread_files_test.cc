// Per-thread file instances.

#include "runtime/records/thread_files.h"

#include <thread>

#include "tests/sample_file.h"
#include "tests/testing.h"

namespace runtime {
namespace {

using testing_support::SampleDeclaration;

class CountingCallback : public FileCallback {
 public:
  uint8_t FunctionCalled(int32_t op, PARAMS&, std::string*, std::string*) override {
    if (op == op_code::kDestroy) ++destroyed;
    return 1;
  }
  uint8_t FunctionDone(int32_t, PARAMS&, std::string*, std::string*) override { return 1; }
  int destroyed = 0;
};

TEST(ThreadFilesTest, EachThreadHasItsOwnInstanceUntilItDetaches) {
  RecordFile& mine = THREAD_FILE(SampleDeclaration());
  EXPECT_EQ(&THREAD_FILE(SampleDeclaration()), &mine);
  mine.SetInteger(testing_support::kCode, 42);

  RecordFile* theirs = nullptr;
  int64_t their_code = -1;
  CountingCallback callback;
  std::thread([&] {
    theirs = &THREAD_FILE(SampleDeclaration());
    their_code = theirs->GetInteger(testing_support::kCode);
    theirs->AddCallback(&callback);
    DestroyThreadFiles();
  }).join();
  EXPECT_NE(theirs, &mine);
  EXPECT_EQ(their_code, 0) << "another thread's buffer is its own";
  EXPECT_EQ(callback.destroyed, 1);
  EXPECT_EQ(mine.GetInteger(testing_support::kCode), 42);
  DestroyThreadFiles();
  DestroyThreadFiles();  // harmless when there is nothing left
}

}  // namespace
}  // namespace runtime
