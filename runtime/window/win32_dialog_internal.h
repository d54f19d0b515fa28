// The pieces of a dialog that the Win32 backend's windows and its own message box share: the
// in-memory template, controls in the dialog's font, the dialog's base units, and the conversions
// between the model's Windows-1252 and the system's UTF-16. Included by *_win32.cc files only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/platform/windows_api_internal.h"

namespace runtime::win32 {

// The dialog font unless a window names another.
inline constexpr wchar_t kDefaultFont[] = L"MS Sans Serif";
inline constexpr int kDefaultPoints = 8;
// Every window and message box: a framed popup with a title bar, centred on the screen.
inline constexpr DWORD kWindowStyle =
    DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

std::wstring Wide(std::string_view cp1252);
std::string Utf8(std::wstring_view wide);
// Text the user typed, in the records' Windows-1252; false for a character it cannot hold.
bool ToCp1252(std::wstring_view wide, std::string* out);
// The text of a window or control.
std::wstring TextOf(HWND handle);

// A dialog template without controls: size in dialog units (0: set later), title and font. The
// dialog manager makes the window in that font, or in the system's stand-in for a missing one.
std::vector<WORD> DialogTemplate(int width, int height, const std::wstring& title,
                                 const std::wstring& font, int points);
// Creates a control of `class_name` with `style` at a rectangle in pixels, in the dialog's font.
HWND CreateControl(HWND dialog, const wchar_t* class_name, DWORD style, DWORD extended,
                   const RECT& place, int id);
// The pixels a text takes in the dialog's font.
SIZE TextExtent(HWND dialog, const std::wstring& text);
// The dialog's base units: pixels for 4 dialog units across and 8 down.
SIZE BaseUnits(HWND dialog);

}  // namespace runtime::win32
