// Tests of the error manager from several threads at once: each thread has its own status and its
// own procedure-name stack, and the shared table, history and log stay whole.
#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/errors/error_class.h"
#include "runtime/platform/assertion.h"

namespace framework {
namespace {

// Records the text of every message box with the thread that showed it.
class RecordingErrors : public ErrorClass {
 public:
  int32_t MessageBox(uint8_t, std::string_view txt, std::string_view, std::string_view, int32_t,
                     int32_t default_button, int32_t) override {
    std::lock_guard<std::mutex> lock(mutex);
    shown.emplace_back(runtime::THREAD(), std::string(txt));
    return default_button;
  }
  std::mutex mutex;
  std::vector<std::pair<int, std::string>> shown;
};

TEST(ErrorThreadsTest, EachThreadSeesItsOwnStatusAndProcedureNames) {
  runtime::AssertionRecorder assertions;
  runtime::ThreadInstance<ErrorStatusClass> status;
  RecordingErrors errors;
  status.Attach();
  errors.Init(status);
  errors.SetHistoryThreshold(50);
  errors.AddError(300, "%Procedure:%File", "T", 5);
  constexpr int kRounds = 200;
  auto work = [&](const std::string& name) {
    runtime::ThreadAttachment attachment;
    status.Attach();
    errors.SetProcedureName(name + "Outer");
    for (int round = 0; round < kRounds; ++round) {
      errors.SetProcedureName(name);
      errors.SetFileName(name + ".Tps");
      errors.Throw(300);
      errors.SetProcedureName();
    }
    EXPECT_EQ(errors.GetProcedureName(), name + "Outer");
    errors.SetProcedureName();
    EXPECT_EQ(errors.GetProcedureName(), "");
    status.Detach();
  };
  std::thread first(work, "A");
  std::thread second(work, "B");
  first.join();
  second.join();

  std::map<std::string, int> counts;
  for (const auto& [thread, txt] : errors.shown) ++counts[txt];
  EXPECT_EQ(counts, (std::map<std::string, int>{{"A:A.Tps", kRounds}, {"B:B.Tps", kRounds}}));
  EXPECT_TRUE(assertions.entries().empty());
  status.Detach();
}

TEST(ErrorThreadsTest, ThreadWithoutStatusIsReportedAndShowsNothing) {
  runtime::AssertionRecorder assertions;
  runtime::ThreadInstance<ErrorStatusClass> status;
  RecordingErrors errors;
  status.Attach();
  errors.Init(status);
  std::thread bare([&] {
    runtime::ThreadAttachment attachment;
    errors.SetFileName("x");
    EXPECT_EQ(errors.Throw(4), Level::Benign);
  });
  bare.join();
  EXPECT_TRUE(errors.shown.empty());
  ASSERT_FALSE(assertions.entries().empty());
  for (const auto& entry : assertions.entries()) {
    EXPECT_EQ(entry.message, "ErrorClass not correctly initialized with Status");
  }
  status.Detach();
}

}  // namespace
}  // namespace framework
