// Display pictures: the one formatter for every number, text, date and time shown or written by
// the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/values/decimal.h"

namespace runtime {

// Formats `value` with `picture`. A picture may start with '@' and its letters may be of either
// case ("@N-14" is "n-14"). Supported pictures:
//   numbers  "n-14", "n-15.2", "n-10.2", "n014": 'n', an optional '-' for a leading minus, an
//            optional '0' for zero fill, the width, and '.' with the places. The value is rounded
//            half away from zero to the places and right-aligned in the width, with no thousands
//            separators. A negative value always shows its minus, also without the '-' (a
//            zero-filled one puts it before the zeros: "-0000000000123"); a value that rounds to
//            zero shows no minus;
//   strings  "s40", "s50", "s255": the text cut or blank-padded to the width; a number shows
//            its shortest plain text ("1500.5");
//   patterns "p###.###.###-##p", "p########p", "p####p": the value rounded to an integer; '#'
//            takes a digit of it, filled right to left and zero-filled to the count of '#'; '<'
//            takes a digit like '#' but shows a blank for a leading zero; every other character
//            is literal. A negative value does not fit a pattern;
//   dates    "d6" and "d17": dd/mm/yyyy; 0 (no date) shows blanks of the width;
//   times    "t4" and "t8": hh:mm:ss; 0 (no time) shows blanks of the width.
// A value too wide for its picture, or a day or time value out of range, gives a string of '#' of
// the picture's width. Widths run from 1 to kMaxPictureWidth. An unsupported picture gives an empty
// string (see IsValidPicture).
inline constexpr int kMaxPictureWidth = 1024;
std::string Format(const Decimal& value, std::string_view picture);
std::string Format(int64_t value, std::string_view picture);
// `text` with a string picture; with any other picture the text is read as a number first
// (TextToDecimal: blanks around, sign, digits and one point; anything else is 0).
std::string FormatText(std::string_view text, std::string_view picture);

// Whether Format understands `picture`.
bool IsValidPicture(std::string_view picture);

}  // namespace runtime
