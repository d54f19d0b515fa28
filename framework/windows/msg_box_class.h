// MsgBoxClass: the framework's message window, a window procedure that shows an icon, a list and
// up to eight buttons and answers the flag of the button pressed. The error history window is one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/util/window_component.h"
#include "framework/windows/window_manager.h"
#include "runtime/window/window.h"

namespace framework {

class ErrorClass;

// The message window's controls.
inline constexpr int kMsgBoxImage = 300;
inline constexpr int kMsgBoxList = 200;
inline constexpr int kMsgBoxFirstButton = 100;  // the rightmost place; the buttons run to 107
inline constexpr int kMsgBoxButtons = 8;

// The message window as described: caption "Error", the image, the two-column list and eight
// hidden buttons at y = 80, the button labelled "Button i" at x = 4 + 40 (i - 1) with control
// number 108 - i.
runtime::WindowDescription MsgBoxWindow();

// One box at a time per window description; used on the thread that runs it. The window, the
// error manager and the history handler must outlive the box.
class MsgBoxClass : public WindowManager {
 public:
  MsgBoxClass() = default;

  // Stores the arguments; MsgRVal starts as `DefaultButton`.
  void Init(runtime::Window& Win, ErrorClass& Err, std::string_view Caption, int32_t Icon,
            int32_t Buttons, int32_t DefaultButton, int32_t Style);
  // Opens the window and lays out the requested buttons; the default one takes the focus.
  uint8_t Init() override;
  // Closes the window; 5 (nothing done) when killed already.
  uint8_t Kill() override;
  // A shown button ends the loop with its flag in MsgRVal.
  uint8_t TakeAccepted() override;
  // Shows the icon.
  virtual void SetupAdditionalFeqs();

  // The flag of the shown button on `Control`, else 0.
  int32_t FetchStdButton(int16_t Control) const;

  // ---- Fields, in declaration order, after the window manager's ----

  int32_t ButtonTypes = 0;
  std::string Caption;  // empty keeps the window's own title
  ErrorClass* Err = nullptr;
  int32_t Icon = 0;  // 0: the default icon
  WindowComponent* HistoryHandler = nullptr;
  int32_t MsgButtons = 0;
  int32_t MsgButtonID[kMsgBoxButtons + 1] = {};  // 1-based: the flag of control 99 + i
  int32_t MsgRVal = 0;
  int32_t Style = 0;
  runtime::Window* Win = nullptr;
};

}  // namespace framework
