// A data file shared by all threads: one runtime file instance, one file manager per thread, and
// the process's one open server for the file, which opens the file for the first logical open of
// any thread and closes it for the last close.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/files/file_manager.h"
#include "framework/files/file_manager_testing.h"
#include "framework/files/file_open_server.h"
#include "framework/files/files_manager.h"
#include "runtime/platform/assertion.h"
#include "runtime/platform/thread_context.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/window/halt.h"
#include "tests/sample_file.h"
#include "tests/testing.h"

namespace framework {
namespace {

using runtime::RecordFile;
using testing::RecordingErrors;
using testing::TestAccess;
using testing_support::kCode;
using testing_support::kCodeKey;
using testing_support::kName;

// The sample file, declared as one instance for all threads.
const runtime::FileDeclaration& SharedDeclaration() {
  static const runtime::FileDeclaration declaration = [] {
    runtime::FileDeclaration d = testing_support::SampleDeclaration();
    d.label = "Shared";
    d.per_thread = false;
    return d;
  }();
  return declaration;
}

std::vector<testing::KeySpec> SharedKeys() { return {{kCodeKey, "", 0}}; }

// Runs `body` on a new thread attached to the runtime, with a files manager of its own.
std::thread Start(std::function<void()> body) {
  return std::thread([body = std::move(body)] {
    runtime::ThreadAttachment attachment;
    AttachFilesManager();
    body();
    DetachFilesManager();
  });
}

// Steps of several threads in a fixed order: the shared file instance is not thread-safe, so
// the threads take turns with it, as the program's threads do through their locks.
class Turns {
 public:
  // Waits for turn `n`, runs `step`, and passes on to turn n + 1 (also when `step` failed).
  void Take(int n, const std::function<void()>& step) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return turn_ == n; });
    step();
    ++turn_;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int turn_ = 0;
};

// Counts the physical opens and closes of the file, on whichever thread they happen.
class OpenCounter : public runtime::FileCallback {
 public:
  uint8_t FunctionCalled(int32_t op, runtime::PARAMS&, std::string*, std::string*) override {
    if (op == runtime::op_code::kClose) was_open_ = file_->IsOpen();
    return 1;
  }
  uint8_t FunctionDone(int32_t op, runtime::PARAMS&, std::string*, std::string*) override {
    if (op == runtime::op_code::kOpen && runtime::ERRORCODE() == 0) opens += 1;
    if (op == runtime::op_code::kClose && was_open_ && !file_->IsOpen()) closes += 1;
    return 1;
  }

  explicit OpenCounter(RecordFile& file) : file_(&file) { file.AddCallback(this); }
  ~OpenCounter() override { file_->RemoveCallback(this); }

  int opens = 0;
  int closes = 0;

 private:
  RecordFile* file_;
  bool was_open_ = false;
};

int32_t UsageCount(const FileManager& access) {
  auto* server = dynamic_cast<UnthreadedFileOpenServer*>(access.Opener);
  return server != nullptr ? server->GetFileUsageCount() : -1;
}

void WriteShared(const std::string& path) {
  RecordFile file(SharedDeclaration());
  file.SetName(path);
  ASSERT_EQ(file.Create(), 0) << runtime::FILEERRORMSG();
  ASSERT_EQ(file.Open(), 0) << runtime::FILEERRORMSG();
  for (int code : {1, 2}) {
    file.Clear();
    file.SetInteger(kCode, code);
    file.SetText(kName, "n" + std::to_string(code));
    ASSERT_EQ(file.Add(), 0) << runtime::FILEERRORMSG();
  }
}

class FilesThreadsTest : public ::testing::Test {
 protected:
  FilesThreadsTest() { file_.SetName(path_); }

  testing_support::ScratchDir dir_;
  const std::string path_ = dir_ / "Shared.Tps";
  runtime::AssertionRecorder assertions_;
  runtime::HaltRecorder halts_;
  RecordFile file_{SharedDeclaration()};
  OpenCounter counter_{file_};
  Turns turns_;
};

TEST_F(FilesThreadsTest, TwoThreadsOpenTheSharedFileOnceAndTheLastCloseClosesIt) {
  WriteShared(path_);
  IFileOpenServer* servers[2] = {};
  // Each thread: its turn to open and read, then (two turns later) its turn to close.
  auto run = [&](int me) {
    RecordingErrors errors;
    // Made and destroyed in the thread's turns: even its destruction looks at the shared file.
    std::unique_ptr<TestAccess> made;
    turns_.Take(me, [&] {
      made = std::make_unique<TestAccess>(file_, errors, SharedKeys());
      TestAccess& access = *made;
      access.Init();
      ASSERT_EQ(access.Open(), kBenign);
      file_.SetInteger(kCode, me + 1);
      ASSERT_EQ(access.TryFetch(kCodeKey), kBenign);
      EXPECT_EQ(file_.GetText(kName), "n" + std::to_string(me + 1) + "    ");
      servers[me] = access.Opener;
      EXPECT_TRUE(file_.IsOpen());
      EXPECT_EQ(counter_.opens, 1) << "the second thread's open only counts";
      EXPECT_EQ(UsageCount(access), me + 1);
    });
    turns_.Take(me + 2, [&] {
      TestAccess& access = *made;
      access.Close();
      EXPECT_EQ(UsageCount(access), me == 0 ? 1 : 0);
      EXPECT_EQ(file_.IsOpen(), me == 0) << "the first close leaves the file open";
      EXPECT_EQ(counter_.closes, me);
      access.Kill();
      made.reset();
    });
    EXPECT_TRUE(errors.shown.empty());
  };
  std::thread first = Start([&] { run(0); });
  std::thread second = Start([&] { run(1); });
  first.join();
  second.join();
  EXPECT_NE(servers[0], nullptr);
  EXPECT_EQ(servers[0], servers[1]) << "one open server for the shared file";
  EXPECT_EQ(counter_.opens, 1);
  EXPECT_EQ(counter_.closes, 1);
  EXPECT_FALSE(file_.IsOpen());
  EXPECT_TRUE(assertions_.entries().empty());
}

TEST_F(FilesThreadsTest, FailedOpenOfTheSharedFileCountsNothingAndTheNextOpenTriesAgain) {
  std::vector<std::string> first_captions;
  auto first = [&] {
    RecordingErrors errors;
    std::unique_ptr<TestAccess> made;
    turns_.Take(0, [&] {
      made = std::make_unique<TestAccess>(file_, errors, SharedKeys());
      TestAccess& access = *made;
      access.Init();
      access.Init(&file_, &errors);  // the set-up without the open, so that Create can be cleared
      access.Create = 0;
      ASSERT_EQ(access.Open(), kBenign);
      EXPECT_EQ(access.UseFile(2), kFatal) << "the file is missing";
      EXPECT_EQ(UsageCount(access), 0);
      first_captions = errors.Captions();
    });
    turns_.Take(3, [&] {
      TestAccess& access = *made;
      EXPECT_EQ(access.UseFile(2), kBenign) << "a later use opens again";
      EXPECT_EQ(UsageCount(access), 2);
      EXPECT_EQ(counter_.opens, 1);
      access.Close();
      EXPECT_TRUE(file_.IsOpen());
      access.Kill();
      made.reset();
    });
  };
  auto second = [&] {
    RecordingErrors errors;
    std::unique_ptr<TestAccess> made;
    turns_.Take(2, [&] {
      made = std::make_unique<TestAccess>(file_, errors, SharedKeys());
      TestAccess& access = *made;
      access.Init();
      ASSERT_EQ(access.Open(), kBenign);
      ASSERT_EQ(access.UseFile(2), kBenign);
      EXPECT_EQ(UsageCount(access), 1) << "the failed open left no count behind";
      EXPECT_EQ(counter_.opens, 1);
    });
    turns_.Take(4, [&] {
      TestAccess& access = *made;
      access.Close();
      EXPECT_EQ(UsageCount(access), 0);
      EXPECT_FALSE(file_.IsOpen());
      access.Kill();
      made.reset();
    });
    EXPECT_TRUE(errors.shown.empty());
  };
  std::thread a = Start(first);
  std::thread b = Start(second);
  turns_.Take(1, [&] { WriteShared(path_); });
  a.join();
  b.join();
  EXPECT_EQ(first_captions, std::vector<std::string>{"Erro de Acesso de arquivo"});
  EXPECT_EQ(halts_.entries().size(), 1u);
  EXPECT_EQ(counter_.opens, 1);
  EXPECT_EQ(counter_.closes, 1);
}

TEST_F(FilesThreadsTest, ThreadsCreateAndReleaseTheSharedServerAtTheSameTime) {
  WriteShared(path_);
  constexpr int kThreads = 8;
  constexpr int kRounds = 400;
  // With a long-lived holder every thread links the same server; without one, the server goes
  // with its last holder and the next create makes a new one, while others create and release.
  for (const bool held : {true, false}) {
    SCOPED_TRACE(held ? "with a holder" : "without a holder");
    IFileOpenServer* holder = held ? CreateFileOpenServer(&file_) : nullptr;
    std::atomic<int> ready{0};
    std::atomic<int> other_servers{0};
    std::atomic<int> failed_opens{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.push_back(Start([&, t] {
        ready.fetch_add(1);
        while (ready.load() < kThreads) std::this_thread::yield();
        for (int round = 0; round < kRounds; ++round) {
          IFileOpenServer* server = CreateFileOpenServer(&file_);
          if (holder != nullptr && server != holder) other_servers.fetch_add(1);
          IFileOpenServer* linked = server->Link();
          // Now and then a logical open and close, which reach the file under the server's
          // own lock.
          if ((round + t) % 40 == 0) {
            if (server->OpenFile(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) != 0) {
              failed_opens.fetch_add(1);
            } else {
              server->CloseFile();
            }
          }
          linked->Release();
          server->Release();
        }
      }));
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(other_servers.load(), 0);
    EXPECT_EQ(failed_opens.load(), 0);
    EXPECT_FALSE(file_.IsOpen());
    if (holder != nullptr) {
      auto* shared = dynamic_cast<UnthreadedFileOpenServer*>(holder);
      ASSERT_NE(shared, nullptr);
      EXPECT_EQ(shared->Usage, 0) << "every link was released";
      EXPECT_EQ(shared->GetFileUsageCount(), 0);
      holder->Release();
    }
    // The last release took the server out of the process's map: a new one starts afresh.
    IFileOpenServer* fresh = CreateFileOpenServer(&file_);
    auto* shared = dynamic_cast<UnthreadedFileOpenServer*>(fresh);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->Usage, 0);
    EXPECT_EQ(shared->GetFileUsageCount(), 0);
    fresh->Release();
  }
  EXPECT_EQ(counter_.opens, counter_.closes);
  EXPECT_GT(counter_.opens, 0);
  EXPECT_TRUE(assertions_.entries().empty());
}

}  // namespace
}  // namespace framework
