// Display pictures: the one formatter for every number, text, date and time shown or written by
// the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/decimal.h"

namespace runtime {

// Formats `value` with `picture`. Supported pictures:
//   numbers  "n-14", "n-15.2", "n-10.2", "n014": width, optional '-' for a leading minus,
//            a leading '0' for zero fill, places after '.'; right-aligned in the width;
//   strings  "s40", "s50": the text cut or blank-padded to the width;
//   patterns "p###.###.###-##p", "p########p", "p####p": '#' takes a digit of the value
//            (zero-filled to the count of '#'), other characters are literal;
//   dates    "d6" (dd/mm/yyyy) and "d17" (dd/mm/yyyy as well), time "t4" (hh:mm:ss).
// A value too wide for its picture gives a string of '#' of the picture's width.
std::string Format(const Decimal& value, std::string_view picture);
std::string Format(int64_t value, std::string_view picture);
std::string FormatText(std::string_view text, std::string_view picture);

}  // namespace runtime
