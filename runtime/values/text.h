// Windows-1252 text: the case map of the records' keys, conversion to and from UTF-8 at the edges,
// and text read as a number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

// Upper case of one Windows-1252 byte (letters with accents included: 'ç' -> 'Ç', 'ÿ' -> 'Ÿ').
char UpperCp1252(char c);
std::string UpperCp1252(std::string_view text);

// Windows-1252 bytes as UTF-8. Bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the control characters U+0081 etc.
std::string Cp1252ToUtf8(std::string_view text);
// UTF-8 as Windows-1252; false (and `out` unspecified) when the text is not valid UTF-8 or holds a
// character that Windows-1252 cannot hold. U+0081, U+008D, U+008F, U+0090 and U+009D come back as
// the bytes Cp1252ToUtf8 made them from.
bool Utf8ToCp1252(std::string_view text, std::string* out);

// Text without trailing blanks.
std::string_view ClipRight(std::string_view text);

// The parts of a text that reads as a number: leading and trailing blanks (spaces and tabs), an
// optional sign, then digits with at most one decimal point and at least one digit. False for any
// other text; `out` is unspecified then.
struct NumberText {
  bool negative = false;
  std::string_view integer_digits;   // may be empty (".5")
  std::string_view fraction_digits;  // may be empty ("5", "5.")
};
bool SplitNumberText(std::string_view text, NumberText* out);

// Text read as a number: leading and trailing blanks ignored, an optional sign, digits with at
// most one decimal point; anything else yields 0. The fraction is dropped for the integer form
// (towards zero); a value beyond 64 bits yields 0 as well.
int64_t TextToInteger(std::string_view text);
double TextToDouble(std::string_view text);

}  // namespace runtime
