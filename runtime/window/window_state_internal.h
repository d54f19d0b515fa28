// The window runtime's per-thread state: the thread's open windows, its event queue and the event
// being handled. Only the window runtime's own files include this.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "runtime/platform/thread_context.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/window.h"

namespace runtime {

struct QueuedEvent {
  int code = 0;
  int control = 0;
  Window* window = nullptr;  // null: an event to the thread
  int keycode = 0;
  bool has_notification = false;
  int32_t notify_code = 0;
  int32_t notify_thread = 0;
  int64_t notify_parameter = 0;
};

struct RegisteredCallback {
  int code = 0;
  EventCallback callback = nullptr;
  void* object = nullptr;
  const Window* window = nullptr;  // only compared, never followed; null: any window
};

class WindowThreadState final : public ThreadPart {
 public:
  WindowThreadState() = default;
  WindowThreadState(const WindowThreadState&) = delete;
  WindowThreadState& operator=(const WindowThreadState&) = delete;
  ~WindowThreadState() override;  // windows still open count as closed

  std::vector<Window*> open_windows;  // in the order they opened
  std::vector<Window*> loops;         // windows whose loops run, innermost last
  std::deque<QueuedEvent> queue;
  std::vector<RegisteredCallback> callbacks;  // in the order of registration
  QueuedEvent current;
  int keycode = 0;
  int bind_depth = 0;
  std::string cursor;

  // The window the thread's operations act on: innermost loop, else the last opened; or null.
  Window* Target() const {
    if (!loops.empty()) return loops.back();
    if (!open_windows.empty()) return open_windows.back();
    return nullptr;
  }
};

// The calling thread's windows and event queue, created on first use.
WindowThreadState& ThreadWindows();

// The window runtime's access to the parts of a window that only it changes.
class WindowRuntime {
 public:
  static void set_open(Window& window, bool open) { window.open_ = open; }
  static void set_owner(Window& window, Window* owner) { window.owner_ = owner; }
  static void set_focus(Window& window, int control) { window.focus_ = control; }
  static void set_title(Window& window, std::string title) { window.title_ = std::move(title); }
  static bool& accept_all(Window& window) { return window.accept_all_; }
  static size_t& accept_next(Window& window) { return window.accept_next_; }
  static int& close_requests(Window& window) { return window.close_requests_; }
  static std::vector<int>& alert_keys(Window& window) { return window.alert_keys_; }
  static bool& opened_before(Window& window) { return window.opened_before_; }
  static void Restart(Window& window) { window.Restart(); }
  static std::vector<Window::Control>& controls(Window& window) { return window.controls_; }
};

// Shows a control's variable, or its text when it has none, and tells the backend.
void DisplayControl(Window& window, Window::Control& control);
// True for the controls the pass over all controls accepts.
bool TakesInput(const Window::Control& control);

}  // namespace runtime
