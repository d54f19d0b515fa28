// Display pictures: parsing a picture and formatting numbers, text, dates and times with it.
#include "runtime/values/picture.h"

#include <string>

#include "runtime/values/date_time.h"
#include "runtime/values/text.h"

namespace runtime {
namespace {

enum class PictureKind { Number, String, Pattern, Date, Time };

struct Picture {
  PictureKind kind = PictureKind::String;
  int width = 0;
  int places = 0;           // numbers
  bool zero_fill = false;   // numbers
  std::string_view layout;  // patterns: the characters between the two 'p's
};

constexpr int kDateWidth = 10;  // dd/mm/yyyy
constexpr int kTimeWidth = 8;   // hh:mm:ss

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a run of digits at `text[*pos]` as a number no larger than `limit`; false when there are
// none or the number is larger.
bool ReadNumber(std::string_view text, size_t* pos, int limit, int* out) {
  const size_t begin = *pos;
  int value = 0;
  while (*pos < text.size() && IsDigit(text[*pos])) {
    value = value * 10 + (text[*pos] - '0');
    if (value > limit) return false;
    ++*pos;
  }
  *out = value;
  return *pos > begin;
}

bool ParsePicture(std::string_view text, Picture* picture) {
  if (!text.empty() && text.front() == '@') text.remove_prefix(1);
  if (text.empty()) return false;
  const char kind = Lower(text.front());
  size_t pos = 1;
  switch (kind) {
    case 'n': {
      picture->kind = PictureKind::Number;
      // The minus indicator is accepted and changes nothing: a negative value always shows its
      // sign, as hiding it would show a different amount.
      if (pos < text.size() && text[pos] == '-') ++pos;
      if (pos + 1 < text.size() && text[pos] == '0' && IsDigit(text[pos + 1])) {
        picture->zero_fill = true;
        ++pos;
      }
      if (!ReadNumber(text, &pos, kMaxPictureWidth, &picture->width)) return false;
      if (pos < text.size() && text[pos] == '.') {
        ++pos;
        if (!ReadNumber(text, &pos, Decimal::kMaxPlaces, &picture->places)) return false;
      }
      return pos == text.size() && picture->width > 0;
    }
    case 's':
      picture->kind = PictureKind::String;
      return ReadNumber(text, &pos, kMaxPictureWidth, &picture->width) && pos == text.size() &&
             picture->width > 0;
    case 'p':
      picture->kind = PictureKind::Pattern;
      if (text.size() < 3 || Lower(text.back()) != 'p') return false;
      picture->layout = text.substr(1, text.size() - 2);
      picture->width = static_cast<int>(picture->layout.size());
      return picture->width <= kMaxPictureWidth;
    case 'd':
    case 't': {
      int number = 0;
      if (!ReadNumber(text, &pos, 99, &number) || pos != text.size()) return false;
      if (kind == 'd') {
        picture->kind = PictureKind::Date;
        picture->width = kDateWidth;
        return number == 6 || number == 17;
      }
      picture->kind = PictureKind::Time;
      picture->width = kTimeWidth;
      return number == 4 || number == 8;
    }
    default:
      return false;
  }
}

std::string Overflow(int width) { return std::string(static_cast<size_t>(width), '#'); }

std::string FitText(std::string_view text, int width) {
  std::string result(text.substr(0, static_cast<size_t>(width)));
  result.resize(static_cast<size_t>(width), ' ');
  return result;
}

// Appends `value` as at least `digits` digits with leading zeros.
void AppendDigits(int value, int digits, std::string* out) {
  std::string text = std::to_string(value);
  if (text.size() < static_cast<size_t>(digits)) {
    out->append(static_cast<size_t>(digits) - text.size(), '0');
  }
  out->append(text);
}

std::string FormatNumber(const Decimal& value, const Picture& picture) {
  const Decimal rounded = value.Rescaled(picture.places);
  if (rounded.overflowed()) return Overflow(picture.width);
  // The magnitude's digits with the point placed; ToString would drop the trailing zeros.
  const int64_t units = rounded.units();
  std::string digits =
      std::to_string(units < 0 ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units));
  if (picture.places > 0) {
    if (digits.size() <= static_cast<size_t>(picture.places)) {
      digits.insert(0, static_cast<size_t>(picture.places) - digits.size() + 1, '0');
    }
    digits.insert(digits.size() - static_cast<size_t>(picture.places), 1, '.');
  }
  const std::string sign = units < 0 ? "-" : "";
  const size_t width = static_cast<size_t>(picture.width);
  if (sign.size() + digits.size() > width) return Overflow(picture.width);
  const size_t fill = width - sign.size() - digits.size();
  if (picture.zero_fill) return sign + std::string(fill, '0') + digits;
  return std::string(fill, ' ') + sign + digits;
}

std::string FormatPattern(const Decimal& value, const Picture& picture) {
  const Decimal rounded = value.Rescaled(0);
  if (rounded.overflowed() || rounded.units() < 0) return Overflow(picture.width);
  int64_t rest = rounded.units();
  std::string result(picture.layout);
  for (size_t i = result.size(); i-- > 0;) {
    if (result[i] == '#' || result[i] == '<') {
      result[i] = static_cast<char>('0' + rest % 10);
      rest /= 10;
    }
  }
  if (rest != 0) return Overflow(picture.width);
  // A '<' shows a blank while it and every digit before it are zeros.
  for (size_t i = 0; i < result.size(); ++i) {
    const char holder = picture.layout[i];
    if (holder != '#' && holder != '<') continue;
    if (result[i] != '0') break;
    if (holder == '<') result[i] = ' ';
  }
  return result;
}

// A date or time value as an integer; false when it has a fraction or is overflowed.
bool WholeValue(const Decimal& value, int64_t* out) {
  const Decimal whole = value.Rescaled(0);
  if (whole.overflowed() || !(whole == value)) return false;
  *out = whole.units();
  return true;
}

std::string FormatDate(const Decimal& value, const Picture& picture) {
  int64_t date = 0;
  if (!WholeValue(value, &date)) return Overflow(picture.width);
  if (date == 0) return std::string(static_cast<size_t>(picture.width), ' ');
  if (date < kFirstDate || date > kLastDate) return Overflow(picture.width);
  const CivilDate civil = ToCivil(static_cast<int32_t>(date));
  std::string result;
  AppendDigits(civil.day, 2, &result);
  result += '/';
  AppendDigits(civil.month, 2, &result);
  result += '/';
  AppendDigits(civil.year, 4, &result);
  return result;
}

std::string FormatTime(const Decimal& value, const Picture& picture) {
  int64_t time = 0;
  if (!WholeValue(value, &time)) return Overflow(picture.width);
  if (time == 0) return std::string(static_cast<size_t>(picture.width), ' ');
  if (time < 1 || time > kLastTime) return Overflow(picture.width);
  const TimeOfDay parts = ToTimeOfDay(static_cast<int32_t>(time));
  std::string result;
  AppendDigits(parts.hour, 2, &result);
  result += ':';
  AppendDigits(parts.minute, 2, &result);
  result += ':';
  AppendDigits(parts.second, 2, &result);
  return result;
}

}  // namespace

std::string Format(const Decimal& value, std::string_view picture_text) {
  Picture picture;
  if (!ParsePicture(picture_text, &picture)) return std::string();
  switch (picture.kind) {
    case PictureKind::Number:
      return FormatNumber(value, picture);
    case PictureKind::String:
      return FitText(value.ToString(), picture.width);
    case PictureKind::Pattern:
      return FormatPattern(value, picture);
    case PictureKind::Date:
      return FormatDate(value, picture);
    case PictureKind::Time:
      return FormatTime(value, picture);
  }
  return std::string();
}

std::string Format(int64_t value, std::string_view picture) {
  return Format(Decimal::FromInteger(value), picture);
}

std::string FormatText(std::string_view text, std::string_view picture_text) {
  Picture picture;
  if (!ParsePicture(picture_text, &picture)) return std::string();
  if (picture.kind == PictureKind::String) return FitText(text, picture.width);
  return Format(TextToDecimal(text), picture_text);
}

bool IsValidPicture(std::string_view picture_text) {
  Picture picture;
  return ParsePicture(picture_text, &picture);
}

}  // namespace runtime
