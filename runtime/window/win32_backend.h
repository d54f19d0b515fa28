// The window backend that draws with the Windows API: every open window of the model as a real
// dialog window in the window's font ("MS Sans Serif" 8 points unless described otherwise), its
// controls placed in dialog units converted by the dialog manager itself, and the messages of the
// Win32 message loop mapped onto the runtime's events. The runtime's message box is the system's.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "runtime/window/headless_backend.h"
#include "runtime/window/window_backend.h"

namespace runtime {

struct Win32ShownWindow;  // a model window on screen: its handles and pending input

// Windows belong to the thread that creates them, and each thread's message loop serves its own:
// a window is drawn, waited on and closed by the thread that opened it.
class Win32Backend final : public WindowBackend {
 public:
  // A backend on the process's desktop; null where the process has none to show windows on (a
  // service's hidden window station, or Wine without a display), so that the caller falls back
  // to headless.
  static std::unique_ptr<Win32Backend> Connect();
  ~Win32Backend() override;

  void Opened(Window& window) override;
  void Closed(Window& window) override;
  void Redraw(Window& window, int control) override;
  std::optional<InputEvent> WaitForInput(Window& window) override;
  int ShowMessage(const MessageRequest& request) override;
  void Beep(int frequency, int duration) override;
  void SetCursor(std::string_view cursor) override;

  // What the real control `control` of `window` shows (UTF-8): its text without shortcut marks,
  // an entry's value or a list's rows one per line; control 0 is the title. Empty when the window
  // is not shown.
  std::string ShownText(const Window& window, int control) const;
  // The window handle (HWND) of a control (0: the window), for tests that act on it; 0 when none.
  intptr_t Handle(const Window& window, int control) const;

 private:
  Win32Backend() = default;
  Win32ShownWindow* Find(const Window& window) const;
  void Show(Win32ShownWindow& shown, const Window& window, int control);
  int ShowOwnMessage(const MessageRequest& request);

  mutable std::mutex mutex_;  // guards shown_; each entry is used by its window's thread only
  std::map<const Window*, std::unique_ptr<Win32ShownWindow>> shown_;
  std::atomic<bool> busy_{false};  // the busy cursor is on
  // Answers a message when the system cannot show one: on standard error, with the default button.
  HeadlessBackend without_screen_;
  int hold_milliseconds_ = 0;
};

}  // namespace runtime
