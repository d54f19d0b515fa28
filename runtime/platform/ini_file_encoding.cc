// Conversion between the UTF-16 LE form of settings files and Windows-1252, on the code page's one
// table in runtime/values/text.h.
#include <array>
#include <string>

#include "runtime/platform/ini_file_encoding_internal.h"
#include "runtime/values/text.h"

namespace runtime {
namespace {

// The code points of the bytes 0x80..0x9F, the only ones that are not their own code point.
const std::array<char16_t, 32>& HighCodePoints() {
  static const std::array<char16_t, 32> table = [] {
    std::array<char16_t, 32> result{};
    for (int i = 0; i < 32; ++i) {
      const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(0x80 + i)));
      // Two or three bytes: every character of the code page is in the first plane.
      const auto lead = static_cast<unsigned char>(utf8[0]);
      char32_t code_point = utf8.size() == 2 ? lead & 0x1F : lead & 0x0F;
      for (size_t k = 1; k < utf8.size(); ++k) {
        code_point = (code_point << 6) | (static_cast<unsigned char>(utf8[k]) & 0x3F);
      }
      result[i] = static_cast<char16_t>(code_point);
    }
    return result;
  }();
  return table;
}

char16_t ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return HighCodePoints()[byte - 0x80];
  return byte;
}

char FromCodePoint(char16_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<char>(code_point);
  }
  const auto& high = HighCodePoints();
  for (int i = 0; i < 32; ++i) {
    if (high[i] == code_point) return static_cast<char>(0x80 + i);
  }
  return '?';
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string Utf16LeToCp1252(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() / 2);
  const size_t units = bytes.size() / 2;
  auto unit = [&](size_t n) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * n]) |
                                 static_cast<unsigned char>(bytes[2 * n + 1]) << 8);
  };
  for (size_t i = 0; i < units; ++i) {
    const char16_t current = unit(i);
    if (IsHighSurrogate(current) && i + 1 < units && IsLowSurrogate(unit(i + 1))) {
      ++i;  // beyond the first plane: nothing the code page holds
      text.push_back('?');
    } else {
      text.push_back(FromCodePoint(current));
    }
  }
  return text;
}

std::string Cp1252ToUtf16Le(std::string_view text) {
  std::string bytes;
  bytes.reserve(2 * text.size());
  for (const char c : text) {
    const char16_t code_point = ToCodePoint(static_cast<unsigned char>(c));
    bytes.push_back(static_cast<char>(code_point & 0xFF));
    bytes.push_back(static_cast<char>(code_point >> 8));
  }
  return bytes;
}

}  // namespace runtime
