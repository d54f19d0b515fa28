// Temporary: removed when the text module lands.
// ASCII upper-casing in place of the Windows-1252 case map, so that the declaration tests link
// before the text module exists.
#include <string>
#include <string_view>

#include "runtime/text.h"

namespace runtime {

char UpperCp1252(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperCp1252(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperCp1252(c);
  return upper;
}

}  // namespace runtime
