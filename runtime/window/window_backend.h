// The seam between the window runtime and whatever draws: a GUI toolkit, or nothing (headless).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace runtime {

class Window;

struct InputEvent {
  int code = 0;
  int control = 0;
  int keycode = 0;
  bool has_text = false;  // the user entered `text` into `control` first
  std::string text;
  int32_t notify_code = 0;  // event 522: the notification
  int32_t notify_thread = 0;
  int64_t notify_parameter = 0;
};

struct MessageRequest {
  std::string text;  // '|' starts a new line
  std::string caption;
  std::string icon;
  int buttons = 0;         // flags; 0 is taken as OK
  int default_button = 0;  // one of the flags
  int style = 0;
};

// Called by the runtime on the thread that owns the window. Implementations serve any thread.
class WindowBackend {
 public:
  virtual ~WindowBackend() = default;
  WindowBackend(const WindowBackend&) = delete;
  WindowBackend& operator=(const WindowBackend&) = delete;

  virtual void Opened(Window& window) = 0;
  virtual void Closed(Window& window) = 0;
  // The control's displayed value or state changed (0: the whole window).
  virtual void Redraw(Window& window, int control) = 0;
  // Waits for the user's next input to `window`; nullopt when none will ever come.
  virtual std::optional<InputEvent> WaitForInput(Window& window) = 0;
  // Shows a modal message; returns the flag of the button pressed.
  virtual int ShowMessage(const MessageRequest& request) = 0;
  virtual void Beep(int frequency, int duration) = 0;
  virtual void SetCursor(std::string_view cursor) = 0;

 protected:
  WindowBackend() = default;
};

// The FLTK backend on the display of $DISPLAY; null where FLTK is not built in or no display
// answers.
std::unique_ptr<WindowBackend> ConnectFltkBackend();

// The Win32 backend on the process's desktop; null off Windows or where no desktop shows windows.
std::unique_ptr<WindowBackend> ConnectWin32Backend();

// Installs the backend the program draws with: VARDIMO_BACKEND=headless|fltk|win32 chooses one;
// without it Win32 on Windows, FLTK where it is built in and a display answers, headless
// otherwise. A backend that is not built in or cannot start leaves the runtime headless. Tests
// never call it.
void InstallSystemWindowBackend();

// Installs `backend` for the process (null: a fresh headless backend) and returns the previous.
std::unique_ptr<WindowBackend> SetWindowBackend(std::unique_ptr<WindowBackend> backend);
// The installed backend; headless unless another was installed.
WindowBackend& CurrentWindowBackend();

}  // namespace runtime
