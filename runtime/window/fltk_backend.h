// The window backend that draws with FLTK on an X display: every open window of the model as a
// real window, its controls placed in dialog units converted to pixels the way dialogs are, and
// the real window system's input mapped onto the runtime's events.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "runtime/window/headless_backend.h"
#include "runtime/window/window_backend.h"

class Fl_Double_Window;
class Fl_Widget;

namespace runtime {

// Serves the thread that connected it (FLTK is single-threaded): the program's thread 1.
class FltkBackend final : public WindowBackend {
 public:
  // A backend on the X display of $DISPLAY; null when none can be opened (no display, or one
  // that refuses us), so that the caller can fall back to headless.
  static std::unique_ptr<FltkBackend> Connect();
  ~FltkBackend() override;

  void Opened(Window& window) override;
  void Closed(Window& window) override;
  void Redraw(Window& window, int control) override;
  std::optional<InputEvent> WaitForInput(Window& window) override;
  int ShowMessage(const MessageRequest& request) override;
  void Beep(int frequency, int duration) override;
  void SetCursor(std::string_view cursor) override;

  // What the real control `control` of `window` shows (UTF-8): its label, its input's value or
  // a list's rows one per line. Empty when the window is not shown.
  std::string ShownText(const Window& window, int control) const;
  // The real widget of a control (0: the window), for tests that act on it; null when none.
  Fl_Widget* Widget(const Window& window, int control) const;
  // Pixels per dialog unit across and down, times 4 and 8 (the dialog base units).
  int base_x() const { return base_x_; }
  int base_y() const { return base_y_; }

 private:
  class StateWindow;
  struct Shown;
  struct Target {  // what a widget's callback reports to
    FltkBackend* backend;
    const Window* window;
    int control;
  };
  FltkBackend();
  static void OnWidget(Fl_Widget* widget, void* data);
  static void OnWindow(Fl_Widget* widget, void* data);
  void Queue(const Window* window, InputEvent input);
  void Show(Shown& shown, Window& window, int control);

  std::map<const Window*, std::unique_ptr<Shown>> shown_;
  // Answers the messages once the display is gone: on standard error, with the default button.
  HeadlessBackend without_display_;
  int base_x_ = 6;   // average character width of the dialog font
  int base_y_ = 13;  // its height
  int hold_milliseconds_ = 0;
};

}  // namespace runtime
