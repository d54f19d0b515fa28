// The UTF-16 form of settings files: Windows reads a file that starts with the UTF-16 LE
// byte-order mark as Unicode, and the settings reader hands its text on as Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

inline constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// UTF-16 LE bytes (an even number, without the byte-order mark) as Windows-1252. A character the
// code page cannot hold becomes '?', as Windows converts it; a surrogate pair is one character, a
// lone surrogate one more '?'.
std::string Utf16LeToCp1252(std::string_view bytes);

// Windows-1252 text as UTF-16 LE bytes. Every byte has its character (the five the code page
// leaves undefined become the control characters U+0081 etc.), so the text reads back the same.
std::string Cp1252ToUtf16Le(std::string_view text);

}  // namespace runtime
