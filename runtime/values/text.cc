// Windows-1252 text: case map, UTF-8 conversion and text read as a number.
#include "runtime/values/text.h"

#include <charconv>
#include <limits>
#include <string>
#include <system_error>

namespace runtime {
namespace {

// Unicode code points of the bytes 0x80..0x9F; the five bytes the code page leaves undefined keep
// their own value as C1 control characters.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

char32_t ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

// The Windows-1252 byte of a code point; false when the code page has none.
bool FromCodePoint(char32_t code_point, unsigned char* byte) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    *byte = static_cast<unsigned char>(code_point);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == code_point) {
      *byte = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

void AppendUtf8(char32_t code_point, std::string* out) {
  if (code_point < 0x80) {
    out->push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    // Every code point of the code page lies in the Basic Multilingual Plane.
    out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `text[*pos]` and advances `*pos`; false for a malformed,
// overlong, surrogate or out-of-range sequence.
bool NextCodePoint(std::string_view text, size_t* pos, char32_t* code_point) {
  const auto lead = static_cast<unsigned char>(text[*pos]);
  int length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    *code_point = lead;
    ++*pos;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return false;
  }
  if (text.size() - *pos < static_cast<size_t>(length)) return false;
  for (int i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[*pos + i]);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *code_point = value;
  *pos += length;
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

char UpperCp1252(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 0x20);
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 0x20);
  switch (byte) {
    case 0x9A:  // š
    case 0x9C:  // œ
    case 0x9E:  // ž
      return static_cast<char>(byte - 0x10);
    case 0xFF:  // ÿ
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

std::string UpperCp1252(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = UpperCp1252(c);
  return result;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) AppendUtf8(ToCodePoint(static_cast<unsigned char>(c)), &result);
  return result;
}

bool Utf8ToCp1252(std::string_view text, std::string* out) {
  out->clear();
  out->reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t code_point = 0;
    unsigned char byte = 0;
    if (!NextCodePoint(text, &pos, &code_point) || !FromCodePoint(code_point, &byte)) return false;
    out->push_back(static_cast<char>(byte));
  }
  return true;
}

std::string_view ClipRight(std::string_view text) {
  const size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

bool SplitNumberText(std::string_view text, NumberText* out) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  *out = NumberText{};
  if (begin < end && (text[begin] == '+' || text[begin] == '-')) {
    out->negative = text[begin] == '-';
    ++begin;
  }
  const std::string_view body = text.substr(begin, end - begin);
  const size_t point = body.find('.');
  out->integer_digits = body.substr(0, point);
  if (point != std::string_view::npos) out->fraction_digits = body.substr(point + 1);
  if (out->integer_digits.empty() && out->fraction_digits.empty()) return false;
  for (char c : out->integer_digits) {
    if (!IsDigit(c)) return false;
  }
  for (char c : out->fraction_digits) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

int64_t TextToInteger(std::string_view text) {
  NumberText number;
  if (!SplitNumberText(text, &number)) return 0;
  // Accumulate as a negative number so that the most negative 64-bit value is reachable.
  int64_t value = 0;
  for (char c : number.integer_digits) {
    const int digit = c - '0';
    if (value < (std::numeric_limits<int64_t>::min() + digit) / 10) return 0;
    value = value * 10 - digit;
  }
  if (number.negative) return value;
  if (value == std::numeric_limits<int64_t>::min()) return 0;
  return -value;
}

double TextToDouble(std::string_view text) {
  NumberText number;
  if (!SplitNumberText(text, &number)) return 0;
  std::string plain(number.integer_digits.empty() ? "0" : number.integer_digits);
  if (!number.fraction_digits.empty()) {
    plain += '.';
    plain += number.fraction_digits;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc() || end != plain.data() + plain.size()) return 0;
  return number.negative ? -value : value;
}

}  // namespace runtime
