#include "tools/message_text.h"

#include <cstdio>

namespace tools {

namespace {

void AppendEscaped(unsigned char byte, std::string* out) {
  switch (byte) {
    case '\n':
      *out += "\\n";
      return;
    case '\r':
      *out += "\\r";
      return;
    case '\t':
      *out += "\\t";
      return;
    default: {
      char text[8];
      std::snprintf(text, sizeof text, "\\x%02X", byte);
      *out += text;
    }
  }
}

}  // namespace

size_t Utf8CharacterLength(std::string_view text, size_t pos) {
  const auto at = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  size_t length = 0;
  // The range the second byte may take decides overlong forms, surrogates and the upper limit.
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // below U+0800: overlong
    if (lead == 0xED) high = 0x9F;  // U+D800 to U+DFFF: surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // below U+10000: overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - pos < length) return 0;
  if (at(1) < low || at(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((at(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  size_t pos = 0;
  size_t characters = 0;
  while (pos < text.size() && characters < kQuotedCharacters) {
    const size_t length = Utf8CharacterLength(text, pos);
    const auto byte = static_cast<unsigned char>(text[pos]);
    // C0 controls, DEL and the C1 controls (U+0080 to U+009F, lead byte 0xC2) print as escapes.
    const bool control = length == 1 && (byte < 0x20 || byte == 0x7F);
    const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[pos + 1]) < 0xA0;
    if (length == 0 || control) {
      AppendEscaped(byte, &out);
      pos += 1;
    } else if (c1) {
      char escape[12];
      std::snprintf(escape, sizeof escape, "\\u%04X",
                    static_cast<unsigned>(static_cast<unsigned char>(text[pos + 1])));
      out += escape;
      pos += 2;
    } else {
      out.append(text.substr(pos, length));
      pos += length;
    }
    ++characters;
  }
  out += "\"";
  if (pos < text.size()) out += "... (" + std::to_string(text.size()) + " bytes)";
  return out;
}

std::string NameText(std::string_view text) {
  std::string quoted = Quoted(text);
  // Unchanged inside the quotes: nothing was cut or escaped.
  if (quoted.size() == text.size() + 2 && quoted.compare(1, text.size(), text) == 0) {
    return std::string(text);
  }
  return quoted;
}

}  // namespace tools
