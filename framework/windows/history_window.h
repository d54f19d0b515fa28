// The error history window: the message window whose list shows the recorded messages. It is the
// error manager's history viewer, installed at start-up, so that the error manager reaches it
// without linking the window layer.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>

#include "framework/errors/error_history.h"
#include "runtime/window/window.h"

namespace framework {

// Prepares the message window once and shows it for every history view. Any thread may show it;
// one show runs at a time, and a show that starts while the window is open already (from within
// the window's own loop) gets a window of its own.
class HistoryWindow final : public HistoryViewer {
 public:
  HistoryWindow();
  ~HistoryWindow() override;

  int32_t ShowHistory(ErrorClass& errors, ErrorHistoryList& history, std::string_view caption,
                      int32_t icon, int32_t buttons, int32_t default_button) override;

 private:
  std::recursive_mutex mutex_;
  std::unique_ptr<runtime::Window> window_;
};

// Installs a process-wide history window as the error manager's viewer, and removes it again
// (the error manager then falls back to a plain message box). Not to be called while a history
// view runs.
void InstallHistoryWindow();
void RemoveHistoryWindow();

}  // namespace framework
