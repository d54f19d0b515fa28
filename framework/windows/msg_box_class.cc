#include "framework/windows/msg_box_class.h"

#include "runtime/window/event_loop.h"
#include "runtime/window/message_box.h"

namespace framework {
namespace {

constexpr std::string_view kDefaultIcon = "\xFF\x01\x04\x7F";

}  // namespace

runtime::WindowDescription MsgBoxWindow() {
  runtime::WindowDescription description;
  description.title = "Error";
  description.font = "MS Sans Serif";
  description.font_size = 8;
  description.width = 324;
  description.height = 98;
  runtime::ControlDescription image;
  image.number = kMsgBoxImage;
  image.type = runtime::ControlType::Image;
  image.x = 2;
  image.y = 4;
  image.width = 26;
  image.height = 28;
  runtime::ControlDescription list;
  list.number = kMsgBoxList;
  list.type = runtime::ControlType::List;
  list.x = 32;
  list.y = 4;
  list.width = 288;
  list.height = 72;
  list.columns = {{"Message", 217, "@s255", ""}, {"Category", 42, "@s255", ""}};
  description.controls = {image, list};
  // Tab order from the leftmost button to the rightmost.
  for (int label = 1; label <= kMsgBoxButtons; ++label) {
    runtime::ControlDescription button;
    button.number = 108 - label;
    button.type = runtime::ControlType::Button;
    button.text = "Button " + std::to_string(label);
    button.x = 4 + 40 * (label - 1);
    button.y = 80;
    button.width = 36;
    button.height = 14;
    button.hidden = true;
    description.controls.push_back(button);
  }
  return description;
}

void MsgBoxClass::Init(runtime::Window& Win, ErrorClass& Err, std::string_view Caption,
                       int32_t Icon, int32_t Buttons, int32_t DefaultButton, int32_t Style) {
  this->Win = &Win;
  this->Err = &Err;
  this->Caption = std::string(Caption);
  this->Icon = Icon;
  ButtonTypes = Buttons;
  MsgRVal = DefaultButton;
  this->Style = Style;
}

uint8_t MsgBoxClass::Init() {
  if (const uint8_t result = WindowManager::Init(); result != 0) return result;
  if (Win == nullptr) return kEventEndLoop;
  if (HistoryHandler != nullptr) AddItem(*HistoryHandler);
  Open(*Win);
  // The window's own operations, not the thread's: another window's loop may be running.
  if (!Caption.empty()) (void)runtime::SetPropS(*Win, 0, runtime::Property::Text, Caption);
  MsgButtons = 0;
  for (int bit = kMsgBoxButtons - 1; bit >= 0; --bit) {
    const int32_t flag = 1 << bit;
    if (!(ButtonTypes & flag)) continue;
    ++MsgButtons;
    MsgButtonID[MsgButtons] = flag;
    const int control = kMsgBoxFirstButton - 1 + MsgButtons;
    (void)runtime::SetPropS(*Win, control, runtime::Property::Text, runtime::ButtonText(flag));
    if (flag == MsgRVal) {
      (void)runtime::SetPropS(*Win, control, runtime::Property::Default, "1");
      FirstField = control;  // takes the focus when the window opens
    }
    (void)runtime::SetPropS(*Win, control, runtime::Property::Hide, "");
  }
  SetupAdditionalFeqs();
  return 0;
}

void MsgBoxClass::SetupAdditionalFeqs() {
  (void)runtime::SetPropS(*Win, kMsgBoxImage, runtime::Property::Text,
                          Icon != 0 ? std::to_string(Icon) : std::string(kDefaultIcon));
}

int32_t MsgBoxClass::FetchStdButton(int16_t Control) const {
  const int index = Control - (kMsgBoxFirstButton - 1);
  if (index < 1 || index > MsgButtons) return 0;
  return MsgButtonID[index];
}

uint8_t MsgBoxClass::TakeAccepted() {
  if (const uint8_t result = WindowManager::TakeAccepted(); result != 0) return result;
  const int32_t flag = FetchStdButton(static_cast<int16_t>(runtime::ACCEPTED()));
  if (flag == 0) return 0;
  MsgRVal = flag;
  return kEventEndLoop;
}

uint8_t MsgBoxClass::Kill() {
  if (const uint8_t result = WindowManager::Kill(); result != 0) return result;
  Caption.clear();
  if (Win != nullptr) runtime::CLOSEwindow(*Win);
  Opened = 0;
  return 0;
}

}  // namespace framework
