#include "framework/windows/history_window.h"

#include "framework/windows/hist_handler.h"
#include "framework/windows/msg_box_class.h"

namespace framework {
namespace {

// Owned here from InstallHistoryWindow to RemoveHistoryWindow.
std::unique_ptr<HistoryWindow>& InstalledWindow() {
  static std::unique_ptr<HistoryWindow> installed;
  return installed;
}

int32_t Show(runtime::Window& window, ErrorClass& errors, ErrorHistoryList& history,
             std::string_view caption, int32_t icon, int32_t buttons, int32_t default_button) {
  MsgBoxClass box;
  box.Init(window, errors, caption, icon, buttons, default_button, 0);
  HistHandlerClass handler;
  handler.Init(window, errors, history);
  box.HistoryHandler = &handler;
  box.Run();
  return box.MsgRVal;
}

}  // namespace

HistoryWindow::HistoryWindow() : window_(runtime::pwopen(MsgBoxWindow())) {}

HistoryWindow::~HistoryWindow() { runtime::freewindow(window_); }

int32_t HistoryWindow::ShowHistory(ErrorClass& errors, ErrorHistoryList& history,
                                   std::string_view caption, int32_t icon, int32_t buttons,
                                   int32_t default_button) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (window_->is_open()) {
    std::unique_ptr<runtime::Window> own = runtime::pwopen(MsgBoxWindow());
    const int32_t answer = Show(*own, errors, history, caption, icon, buttons, default_button);
    runtime::freewindow(own);
    return answer;
  }
  return Show(*window_, errors, history, caption, icon, buttons, default_button);
}

void InstallHistoryWindow() {
  std::unique_ptr<HistoryWindow>& installed = InstalledWindow();
  if (installed == nullptr) installed = std::make_unique<HistoryWindow>();
  SetHistoryViewer(installed.get());
}

void RemoveHistoryWindow() {
  std::unique_ptr<HistoryWindow>& installed = InstalledWindow();
  if (installed == nullptr) return;
  if (CurrentHistoryViewer() == installed.get()) SetHistoryViewer(nullptr);
  installed.reset();
}

}  // namespace framework
