// TEMPORARY TEST STUB, delete once runtime/text.cc exists (CMake stops using this file by itself
// then). Only the window runtime's tests link it, so that they build before the real conversion
// lands: Windows-1252 to UTF-8 for the Latin-1 range only.
#include "runtime/text.h"

namespace runtime {

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

}  // namespace runtime
