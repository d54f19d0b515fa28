// Thread numbers, critical sections, assertions and the dragging setting.
#include "runtime/platform/thread_context.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "runtime/platform/assertion.h"
#include "runtime/platform/critical_section.h"
#include "runtime/platform/drag_setting.h"

namespace runtime {
namespace {

TEST(ThreadContextTest, MainThreadIsOneOthersAreNumberedInOrder) {
  EXPECT_EQ(THREAD(), 1);
  int first = 0;
  int second = 0;
  std::thread([&] {
    ThreadAttachment attach;
    first = THREAD();
  }).join();
  std::thread([&] {
    ThreadAttachment attach;
    second = THREAD();
  }).join();
  EXPECT_GT(first, 1);
  EXPECT_EQ(second, first + 1);
  DetachThread();
  EXPECT_EQ(THREAD(), 1);  // attaching again keeps the main thread's number
}

// Records its construction and destruction in a shared log.
struct Tracked {
  Tracked(std::vector<std::string>* log, std::string name) : log(log), name(std::move(name)) {
    log->push_back("+" + this->name);
  }
  ~Tracked() { log->push_back("-" + name); }
  std::vector<std::string>* log;
  std::string name;
};

TEST(ThreadInstanceTest, EachThreadHasItsOwnInstanceAndDetachingTheThreadDestroysTheRestInReverse) {
  ThreadInstance<Tracked> first;
  ThreadInstance<Tracked> second;
  ThreadInstance<Tracked> third;
  std::vector<std::string> log;
  std::string seen_in_thread;
  std::thread([&] {
    ThreadAttachment attach;
    EXPECT_EQ(first.Find(), nullptr);
    first.Attach(&log, "a");
    second.Attach(&log, "b");
    third.Attach(&log, "c");
    second.Detach();
    second.Detach();  // harmless the second time
    seen_in_thread = first.Find()->name;
  }).join();
  EXPECT_EQ(seen_in_thread, "a");
  // The main thread never attached its own instances.
  EXPECT_EQ(first.Find(), nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"+a", "+b", "+c", "-b", "-c", "-a"}));
}

// The analysis cannot follow a re-entrant acquisition, which is what this checks.
void CountUnderNestedLocks(SyncObject& lock, int& counter) NO_THREAD_SAFETY_ANALYSIS {
  for (int i = 0; i < 2000; ++i) {
    SyncLock outer(lock);
    SyncLock inner(lock);  // the file open servers take the same section twice in a row
    ++counter;
  }
}

TEST(RecursiveMutexTest, IsReentrantAndExcludesOtherThreads) {
  std::unique_ptr<SyncObject> lock = NewCriticalSection();
  int counter = 0;
  auto work = [&] { CountUnderNestedLocks(*lock, counter); };
  std::thread a(work);
  std::thread b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 4000);
}

TEST(AssertionTest, RecorderCatchesReportsThenRestoresTheDefault) {
  {
    AssertionRecorder recorder;
    Assert("INI Assert: Could not find x", "utility");
    ASSERT_EQ(recorder.entries().size(), 1u);
    EXPECT_EQ(recorder.entries()[0].message, "INI Assert: Could not find x");
    EXPECT_EQ(recorder.entries()[0].module, "utility");
  }
  testing::internal::CaptureStderr();
  Assert("Too deep recursion", "utility");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Assertion: Too deep recursion (utility)\n");
}

TEST(DragSettingTest, SystemSettingOffHereAndChangesNothing) {
#ifndef _WIN32
  std::unique_ptr<DragSetting> system = NewSystemDragSetting();
  EXPECT_EQ(system->Query(), DragMode::Off);
  system->Change(DragMode::On);
  EXPECT_EQ(system->Query(), DragMode::Off);
#endif
  FakeDragSetting fake(DragMode::On);
  EXPECT_EQ(fake.Query(), DragMode::On);
  fake.Change(DragMode::Off);
  EXPECT_EQ(fake.changes(), std::vector<DragMode>{DragMode::Off});
}

}  // namespace
}  // namespace runtime
