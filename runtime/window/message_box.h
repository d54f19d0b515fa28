// The runtime's modal message box.
#pragma once

#include <string_view>

namespace runtime {

// Button flags; a message box answers with the flag of the button pressed.
namespace button {
inline constexpr int kOk = 1;
inline constexpr int kYes = 2;
inline constexpr int kNo = 4;
inline constexpr int kAbort = 8;
inline constexpr int kRetry = 16;
inline constexpr int kIgnore = 32;
inline constexpr int kCancel = 64;
inline constexpr int kHelp = 128;
}  // namespace button

// Icon codes.
inline constexpr std::string_view kIconQuestion = "\xFF\x01\x03\x7F";
inline constexpr std::string_view kIconExclamation = "\xFF\x01\x04\x7F";

// Shows `text` ('|' starts a new line) under `caption` with the buttons of `buttons` (no button
// at all gives OK) and returns the flag of the button pressed. A default button that is not among
// the buttons is replaced by the lowest one shown. Without a screen the box is written to stderr
// and answered with its default button; it never waits.
int MessageBox(std::string_view text, std::string_view caption = {}, std::string_view icon = {},
               int buttons = button::kOk, int default_button = 0, int style = 0);

// The text of a button flag ("O&k", "&Yes", ...); empty for anything else.
std::string_view ButtonText(int flag);

}  // namespace runtime
