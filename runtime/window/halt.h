// HALT: ends the program from anywhere. The ending goes through one process-wide, replaceable
// handler, so that tests can record a halt instead of losing their process to it.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

class HaltHandler {
 public:
  virtual ~HaltHandler() = default;
  // Called by HALT on the halting thread, possibly on several threads at once. The default
  // handler never returns; a handler that returns makes HALT return to its caller.
  virtual void Halt(int code, std::string_view text) = 0;
};

// Ends the program. The default handler rolls back the transaction running on the calling thread
// (its changes are undone, never committed in part), shows `text` through the runtime's message
// box when it is not empty, and ends the process with exit code 0 whatever `code` is: the program
// that starts this one relies on 0. Callers must not rely on HALT returning, nor on it not
// returning: with a recording handler installed (tests) it returns.
void HALT(int code = 0, std::string_view text = {});

// Installs `handler` for the process and returns the one it replaces; null restores the default.
// `handler` must outlive its installation.
HaltHandler* SetHaltHandler(HaltHandler* handler);

// For tests: records every halt while it lives, then puts the previous handler back.
class HaltRecorder final : public HaltHandler {
 public:
  struct Entry {
    int code = 0;
    std::string text;
  };

  HaltRecorder() : previous_(SetHaltHandler(this)) {}
  ~HaltRecorder() override { SetHaltHandler(previous_); }
  HaltRecorder(const HaltRecorder&) = delete;
  HaltRecorder& operator=(const HaltRecorder&) = delete;

  void Halt(int code, std::string_view text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back({code, std::string(text)});
  }
  std::vector<Entry> entries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
  }

 private:
  HaltHandler* previous_;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace runtime
