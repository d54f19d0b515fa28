#include <algorithm>

#include "runtime/window/win32_dialog_internal.h"

namespace runtime::win32 {

std::wstring Wide(std::string_view cp1252) {
  if (cp1252.empty()) return std::wstring();
  const int size = static_cast<int>(cp1252.size());
  std::wstring wide(MultiByteToWideChar(1252, 0, cp1252.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(1252, 0, cp1252.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  std::string utf8(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr),
                   '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                      nullptr, nullptr);
  return utf8;
}

bool ToCp1252(std::wstring_view wide, std::string* out) {
  out->clear();
  if (wide.empty()) return true;
  const int size = static_cast<int>(wide.size());
  BOOL lossy = FALSE;
  const int length =
      WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, "?", &lossy);
  if (lossy) return false;
  out->resize(length);
  WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), size, out->data(), length, "?",
                      &lossy);
  return !lossy;
}

std::wstring TextOf(HWND handle) {
  std::wstring text(GetWindowTextLengthW(handle) + 1, L'\0');
  text.resize(GetWindowTextW(handle, text.data(), static_cast<int>(text.size())));
  return text;
}

std::vector<WORD> DialogTemplate(int width, int height, const std::wstring& title,
                                 const std::wstring& font, int points) {
  std::vector<WORD> words;
  auto add_dword = [&](DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
  };
  add_dword(kWindowStyle);
  add_dword(0);                          // extended style
  words.insert(words.end(), {0, 0, 0});  // no items; placed by DS_CENTER
  words.push_back(static_cast<WORD>(std::clamp(width, 0, 0x7FFF)));
  words.push_back(static_cast<WORD>(std::clamp(height, 0, 0x7FFF)));
  words.insert(words.end(), {0, 0});  // no menu, the dialog class
  words.insert(words.end(), title.begin(), title.end());
  words.push_back(0);
  words.push_back(static_cast<WORD>(points));
  words.insert(words.end(), font.begin(), font.end());
  words.push_back(0);
  return words;
}

HWND CreateControl(HWND dialog, const wchar_t* class_name, DWORD style, DWORD extended,
                   const RECT& place, int id) {
  HWND handle = CreateWindowExW(
      extended, class_name, L"", WS_CHILD | WS_VISIBLE | style, place.left, place.top,
      place.right - place.left, place.bottom - place.top, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (handle != nullptr)
    SendMessageW(handle, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), 0);
  return handle;
}

SIZE TextExtent(HWND dialog, const std::wstring& text) {
  SIZE extent{0, 0};
  HDC context = GetDC(dialog);
  HGDIOBJ previous =
      SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  if (!text.empty()) {
    GetTextExtentPoint32W(context, text.data(), static_cast<int>(text.size()), &extent);
  }
  SelectObject(context, previous);
  ReleaseDC(dialog, context);
  return extent;
}

SIZE BaseUnits(HWND dialog) {
  RECT units{0, 0, 4, 8};
  MapDialogRect(dialog, &units);
  return SIZE{std::max<LONG>(1, units.right), std::max<LONG>(1, units.bottom)};
}

}  // namespace runtime::win32
