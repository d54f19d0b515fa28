// The backend without a screen, and its test driver: tests script the user's input (accept a
// control, type into it, close the window, press a key), answer message boxes, and read what every
// control displays. Unattended, a message box goes to stderr with its default answer, and a window
// that waits for input gets close requests, so nothing ever blocks. When the environment variable
// VARDIMO_WINDOW_TEXT names a file, each window is appended to it as a text picture
// (window_text.h) when it closes, so that a run without a screen shows what it displayed.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window/window_backend.h"

namespace runtime {

// Thread-safe: scripted input is taken by whichever window waits first.
class HeadlessBackend final : public WindowBackend {
 public:
  struct ShownMessage {
    MessageRequest request;
    int answer = 0;
  };

  // Reads VARDIMO_WINDOW_TEXT once, here.
  HeadlessBackend();

  // Scripted input, delivered in order whenever a window's queue runs empty.
  void Accept(int control);  // hidden and disabled controls take no input: no event
  void Type(int control, std::string_view text);  // enters the text, then accepts the control
  void CloseWindow();
  void PressKey(
      int keycode);  // a key pressed in the focused control (an event when it is an alert key)
  // Any event the user or the window system can cause, such as 517 (the focus came back) or 518
  // and 561 (the window was resized).
  void Event(int code, int control = 0);
  void Notify(int32_t code, int32_t thread, int64_t parameter);
  // The answer of the next message box; it must be one of its buttons, else the default counts.
  void AnswerMessage(int button);

  std::vector<ShownMessage> messages() const;
  int beeps() const;
  std::string cursor() const;
  // What control `control` of `window` displays.
  static std::string DisplayedText(const Window& window, int control);

  void Opened(Window& window) override;
  void Closed(Window& window) override;
  void Redraw(Window& window, int control) override;
  std::optional<InputEvent> WaitForInput(Window& window) override;
  int ShowMessage(const MessageRequest& request) override;
  void Beep(int frequency, int duration) override;
  void SetCursor(std::string_view cursor) override;

 private:
  mutable std::mutex mutex_;
  std::deque<InputEvent> input_;
  std::deque<int> answers_;
  std::vector<ShownMessage> messages_;
  int beeps_ = 0;
  std::string cursor_;
  std::string window_text_file_;  // empty: no pictures
};

}  // namespace runtime
