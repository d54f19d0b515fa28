// TEMPORARY TEST STUB, delete once runtime/picture.cc exists (CMake stops using this file by
// itself then). Only the window runtime's tests link it, so that they build before the real
// formatter lands. It keeps to the contract of picture.h only as far as those tests look: numbers
// right-aligned in the width, text cut or padded, '#' patterns filled with digits.
#include <string>

#include "runtime/picture.h"

namespace runtime {
namespace {

int Width(std::string_view picture) {
  int width = 0;
  for (char c : picture.substr(1)) {
    if (c < '0' || c > '9') break;
    width = width * 10 + (c - '0');
  }
  return width;
}

std::string Pattern(int64_t value, std::string_view picture) {
  std::string body(picture.substr(1, picture.size() - 2));
  std::string digits = std::to_string(value < 0 ? -value : value);
  size_t hashes = 0;
  for (char c : body) hashes += c == '#';
  if (digits.size() > hashes) return std::string(body.size(), '#');
  digits.insert(0, hashes - digits.size(), '0');
  size_t next = 0;
  for (char& c : body) {
    if (c == '#') c = digits[next++];
  }
  return body;
}

}  // namespace

std::string Format(int64_t value, std::string_view picture) {
  if (!picture.empty() && picture[0] == 'p') return Pattern(value, picture);
  return Format(Decimal(value, 0), picture);
}

std::string Format(const Decimal& value, std::string_view picture) {
  const std::string_view spec = picture.substr(1);
  const bool minus = !spec.empty() && spec[0] == '-';
  const bool zero_fill = !spec.empty() && spec[0] == '0';
  const int width = Width(minus || zero_fill ? picture.substr(1) : picture);
  int places = 0;
  if (size_t point = picture.find('.'); point != std::string_view::npos) {
    places = std::stoi(std::string(picture.substr(point + 1)));
  }
  const Decimal scaled = value.Rescaled(places);
  int64_t units = scaled.units() < 0 ? -scaled.units() : scaled.units();
  std::string digits = std::to_string(units);
  if (places > 0) {
    if (digits.size() <= static_cast<size_t>(places)) {
      digits.insert(0, places + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - places, ".");
  }
  if (scaled.units() < 0) digits.insert(0, "-");
  if (static_cast<int>(digits.size()) > width) return std::string(width, '#');
  return std::string(width - digits.size(), zero_fill ? '0' : ' ') + digits;
}

std::string FormatText(std::string_view text, std::string_view picture) {
  std::string shown(text.substr(0, Width(picture)));
  shown.resize(Width(picture), ' ');
  return shown;
}

}  // namespace runtime
