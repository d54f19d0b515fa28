#include "runtime/window/message_box.h"

#include "runtime/window/window_backend.h"

namespace runtime {
namespace {

constexpr int kAllButtons = 0xFF;

bool IsSingleFlag(int flag, int buttons) {
  return flag != 0 && (flag & (flag - 1)) == 0 && (flag & buttons) == flag;
}

int LowestFlag(int buttons) { return buttons & -buttons; }

}  // namespace

std::string_view ButtonText(int flag) {
  switch (flag) {
    case button::kOk:
      return "O&k";
    case button::kYes:
      return "&Yes";
    case button::kNo:
      return "&No";
    case button::kAbort:
      return "&Abort";
    case button::kRetry:
      return "&Retry";
    case button::kIgnore:
      return "&Ignore";
    case button::kCancel:
      return "&Cancel";
    case button::kHelp:
      return "&Help";
    default:
      return "";
  }
}

int MessageBox(std::string_view text, std::string_view caption, std::string_view icon, int buttons,
               int default_button, int style) {
  MessageRequest request;
  request.text = std::string(text);
  request.caption = std::string(caption);
  request.icon = std::string(icon);
  request.buttons = buttons & kAllButtons;
  if (request.buttons == 0) request.buttons = button::kOk;  // a box always has a way out
  request.default_button =
      IsSingleFlag(default_button, request.buttons) ? default_button : LowestFlag(request.buttons);
  request.style = style;
  const int answer = CurrentWindowBackend().ShowMessage(request);
  return IsSingleFlag(answer, request.buttons) ? answer : request.default_button;
}

}  // namespace runtime
