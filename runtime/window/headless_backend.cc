#include "runtime/window/headless_backend.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "runtime/platform/assertion.h"
#include "runtime/platform/path.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/message_box.h"
#include "runtime/window/window.h"
#include "runtime/window/window_text.h"

namespace runtime {
namespace {

std::string ButtonName(int flag) {
  std::string name;
  for (char c : ButtonText(flag)) {
    if (c != '&') name += c;
  }
  return name;
}

}  // namespace

HeadlessBackend::HeadlessBackend() {
  if (const char* file = std::getenv("VARDIMO_WINDOW_TEXT"); file != nullptr && *file != '\0') {
    window_text_file_ = file;
  }
}

void HeadlessBackend::Accept(int control) {
  InputEvent input;
  input.code = event::kAccepted;
  input.control = control;
  std::lock_guard<std::mutex> lock(mutex_);
  input_.push_back(input);
}

void HeadlessBackend::Type(int control, std::string_view text) {
  InputEvent input;
  input.code = event::kAccepted;
  input.control = control;
  input.has_text = true;
  input.text = std::string(text);
  std::lock_guard<std::mutex> lock(mutex_);
  input_.push_back(input);
}

void HeadlessBackend::CloseWindow() {
  InputEvent input;
  input.code = event::kCloseWindow;
  std::lock_guard<std::mutex> lock(mutex_);
  input_.push_back(input);
}

void HeadlessBackend::PressKey(int keycode) {
  InputEvent input;
  input.code = event::kAlertKey;
  input.keycode = keycode;
  std::lock_guard<std::mutex> lock(mutex_);
  input_.push_back(input);
}

void HeadlessBackend::Event(int code, int control) {
  InputEvent input;
  input.code = code;
  input.control = control;
  std::lock_guard<std::mutex> lock(mutex_);
  input_.push_back(input);
}

void HeadlessBackend::Notify(int32_t code, int32_t thread, int64_t parameter) {
  InputEvent input;
  input.code = event::kNotify;
  input.notify_code = code;
  input.notify_thread = thread;
  input.notify_parameter = parameter;
  std::lock_guard<std::mutex> lock(mutex_);
  input_.push_back(input);
}

void HeadlessBackend::AnswerMessage(int button) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(button);
}

std::vector<HeadlessBackend::ShownMessage> HeadlessBackend::messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

int HeadlessBackend::beeps() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return beeps_;
}

std::string HeadlessBackend::cursor() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return cursor_;
}

std::string HeadlessBackend::DisplayedText(const Window& window, int control) {
  const Window::Control* found = window.control(control);
  return found ? found->displayed : std::string();
}

void HeadlessBackend::Opened(Window&) {}

void HeadlessBackend::Closed(Window& window) {
  if (window_text_file_.empty()) return;
  // The picture is only a view of the run: a file that cannot be written is passed over.
  const std::string picture = WindowText(window);
  std::lock_guard<std::mutex> lock(mutex_);
  std::ofstream(ResolvePath(window_text_file_), std::ios::binary | std::ios::app) << picture;
}

void HeadlessBackend::Redraw(Window&, int) {}

std::optional<InputEvent> HeadlessBackend::WaitForInput(Window&) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (input_.empty()) return std::nullopt;
  InputEvent next = std::move(input_.front());
  input_.pop_front();
  return next;
}

int HeadlessBackend::ShowMessage(const MessageRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  int answer = request.default_button;
  if (!answers_.empty()) {
    const int scripted = answers_.front();
    answers_.pop_front();
    if ((scripted & request.buttons) == scripted && scripted != 0 &&
        (scripted & (scripted - 1)) == 0) {
      answer = scripted;
    } else {
      Assert("Scripted answer " + std::to_string(scripted) + " is no button of the message box",
             "window runtime");
    }
  } else {
    std::string shown;
    if (!request.caption.empty()) shown += ForTerminal(request.caption) + ":\n";
    std::string_view text = request.text;
    for (;;) {
      const size_t bar = text.find('|');
      shown += "  " + ForTerminal(text.substr(0, bar)) + "\n";
      if (bar == std::string_view::npos) break;
      text.remove_prefix(bar + 1);
    }
    shown += "  [" + ButtonName(answer) + "]\n";
    std::fwrite(shown.data(), 1, shown.size(), stderr);
  }
  messages_.push_back({request, answer});
  return answer;
}

void HeadlessBackend::Beep(int, int) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++beeps_;
}

void HeadlessBackend::SetCursor(std::string_view cursor) {
  std::lock_guard<std::mutex> lock(mutex_);
  cursor_ = std::string(cursor);
}

}  // namespace runtime
