#include "runtime/window/drawing_rules.h"

#include <cstdlib>

#include "runtime/window/message_box.h"

namespace runtime {

int PictureWidth(std::string_view picture) {
  if (picture.size() >= 2 && picture.front() == 'p' && picture.back() == 'p') {
    return static_cast<int>(picture.size()) - 2;
  }
  int width = 0;
  for (char c : picture) {
    if (c == '.') break;
    if (c >= '0' && c <= '9') width = width * 10 + (c - '0');
  }
  return width;
}

std::vector<int> MessageButtons(const MessageRequest& request) {
  static constexpr int kOrder[] = {button::kOk,    button::kYes,    button::kNo,     button::kAbort,
                                   button::kRetry, button::kIgnore, button::kCancel, button::kHelp};
  const int buttons = request.buttons == 0 ? button::kOk : request.buttons;
  std::vector<int> flags;
  for (int flag : kOrder) {
    if ((buttons & flag) != 0) flags.push_back(flag);
  }
  if (flags.empty()) flags.push_back(button::kOk);
  return flags;
}

int ClosedMessageAnswer(const MessageRequest& request) {
  const int buttons = request.buttons == 0 ? button::kOk : request.buttons;
  if ((buttons & button::kCancel) != 0) return button::kCancel;
  return (request.default_button & buttons) != 0 ? request.default_button
                                                 : MessageButtons(request).front();
}

int WindowHoldMilliseconds() {
  const char* text = std::getenv("VARDIMO_WINDOW_HOLD");
  if (text == nullptr) return 0;
  const double seconds = std::strtod(text, nullptr);
  return seconds > 0 && seconds < 3600 ? static_cast<int>(seconds * 1000) : 0;
}

}  // namespace runtime
