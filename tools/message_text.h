// Text from the user's input as the data tool's messages show it: short, on one line, and in
// valid UTF-8 whatever the input held.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tools {

// The length of the well-formed UTF-8 character at `text[pos]` (1 to 4), or 0 when the bytes
// there are none: a stray or cut-short sequence, an overlong form, a UTF-16 surrogate
// (U+D800 to U+DFFF) or a code point above U+10FFFF.
size_t Utf8CharacterLength(std::string_view text, size_t pos);

// `text` in double quotes for a message: at most kQuotedCharacters characters (a longer text is
// cut and followed by "... (N bytes)"); control characters and line breaks as \n, \r, \t or
// \xNN, and bytes that are not UTF-8 as \xNN, so that the message stays one readable line.
inline constexpr size_t kQuotedCharacters = 40;
std::string Quoted(std::string_view text);

// A name from the input (a header's field label) for a message: as it is when it is short and
// plain, else as Quoted shows it.
std::string NameText(std::string_view text);

}  // namespace tools
