// Internal consistency reports ("assertions") of the framework and the runtime. Every report goes
// to one process-wide handler; processing continues after it returns.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

class AssertionHandler {
 public:
  virtual ~AssertionHandler() = default;
  // Called for every report, possibly from several threads at once.
  virtual void Report(std::string_view message, std::string_view module) = 0;
};

// Reports an internal consistency failure of `module` (the framework module's name). The default
// handler writes one line `Assertion: <message> (<module>)` to stderr.
void Assert(std::string_view message, std::string_view module);

// Installs `handler` for the process and returns the one it replaces; null restores the default.
// `handler` must outlive its installation.
AssertionHandler* SetAssertionHandler(AssertionHandler* handler);

// For tests: records every report while it lives, then puts the previous handler back.
class AssertionRecorder final : public AssertionHandler {
 public:
  struct Entry {
    std::string message;
    std::string module;
  };

  AssertionRecorder() : previous_(SetAssertionHandler(this)) {}
  ~AssertionRecorder() override { SetAssertionHandler(previous_); }
  AssertionRecorder(const AssertionRecorder&) = delete;
  AssertionRecorder& operator=(const AssertionRecorder&) = delete;

  void Report(std::string_view message, std::string_view module) override {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back({std::string(message), std::string(module)});
  }
  std::vector<Entry> entries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
  }

 private:
  AssertionHandler* previous_;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace runtime
