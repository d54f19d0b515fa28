#include "tools/field_value.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "runtime/base/error_codes.h"
#include "runtime/values/date_time.h"
#include "runtime/values/decimal.h"
#include "runtime/values/text.h"
#include "tools/message_text.h"

namespace tools {

namespace {

using runtime::FieldDeclaration;
using runtime::FieldMeaning;
using runtime::FieldType;
using runtime::Status;

Status Problem(std::string message) { return Status(runtime::kInvalidData, std::move(message)); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Runs for every value of every row: a plain loop, where find_first_not_of searches the set of
// blanks once per character.
std::string_view Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A whole number: an optional sign and 1 to 18 digits.
bool ParseWhole(std::string_view text, int64_t* value) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 18) return false;
  int64_t result = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    result = result * 10 + (c - '0');
  }
  *value = negative ? -result : result;
  return true;
}

// Exactly `digits` decimal digits.
bool ParseDigits(std::string_view text, size_t digits, int* value) {
  if (text.size() != digits) return false;
  int result = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    result = result * 10 + (c - '0');
  }
  *value = result;
  return true;
}

void GetRange(FieldType type, int64_t* low, int64_t* high) {
  switch (type) {
    case FieldType::Byte:
      *low = 0, *high = 255;
      return;
    case FieldType::Short:
      *low = -32768, *high = 32767;
      return;
    case FieldType::UShort:
      *low = 0, *high = 65535;
      return;
    case FieldType::Long:
      *low = std::numeric_limits<int32_t>::min(), *high = std::numeric_limits<int32_t>::max();
      return;
    default:
      *low = 0, *high = std::numeric_limits<uint32_t>::max();
      return;
  }
}

void StoreInteger(char* element, int size, int64_t value) {
  const uint64_t bits = static_cast<uint64_t>(value);
  for (int i = 0; i < size; ++i) element[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

int64_t LoadInteger(FieldType type, const char* element, int size) {
  uint64_t bits = 0;
  for (int i = size - 1; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(element[i]);
  switch (type) {
    case FieldType::Short:
      return static_cast<int16_t>(bits);
    case FieldType::Long:
      return static_cast<int32_t>(bits);
    default:
      return static_cast<int64_t>(bits);
  }
}

Status ParseInteger(const FieldDeclaration& field, std::string_view text, char* element) {
  int64_t value = 0;
  bool too_long = false;
  if (!text.empty() && !ParseWhole(text, &value)) {
    const std::string_view digits = text[0] == '+' || text[0] == '-' ? text.substr(1) : text;
    too_long = !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (!too_long && text.find_first_of(".,") != std::string_view::npos) {
      return Problem(Quoted(text) + " is not a whole number");
    }
    if (!too_long) return Problem(Quoted(text) + " is not a number");
  }
  int64_t low, high;
  GetRange(field.type, &low, &high);
  if (too_long || value < low || value > high) {
    return Problem(Quoted(text) + " is out of range for " + runtime::TypeName(field.type) + " (" +
                   std::to_string(low) + " to " + std::to_string(high) + ")");
  }
  StoreInteger(element, field.size, value);
  return Status::Ok();
}

// "#N": a date or time field's stored number as it is.
bool ParseRawNumber(std::string_view text, int64_t* value) {
  return text.size() > 1 && text[0] == '#' && ParseWhole(text.substr(1), value) &&
         *value >= std::numeric_limits<int32_t>::min() &&
         *value <= std::numeric_limits<int32_t>::max();
}

Status ParseDate(std::string_view text, char* element) {
  int64_t value = 0;
  if (!text.empty() && !ParseRawNumber(text, &value)) {
    int year = 0, month = 0, day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        !ParseDigits(text.substr(0, 4), 4, &year) || !ParseDigits(text.substr(5, 2), 2, &month) ||
        !ParseDigits(text.substr(8, 2), 2, &day)) {
      return Problem(Quoted(text) + " is not a date: write YYYY-MM-DD");
    }
    const int32_t date =
        month >= 1 && month <= 12 && day >= 1 ? runtime::DATE(month, day, year) : 0;
    const runtime::CivilDate check = runtime::ToCivil(date);
    if (date == 0 || check.year != year || check.month != month || check.day != day) {
      return Problem(Quoted(text) + " is not a date of the calendar (1801-01-01 to 9999-12-31)");
    }
    value = date;
  }
  StoreInteger(element, 4, value);
  return Status::Ok();
}

Status ParseTime(std::string_view text, char* element) {
  int64_t value = 0;
  if (!text.empty() && !ParseRawNumber(text, &value)) {
    int hour = 0, minute = 0, second = 0, hundredths = 0;
    const size_t colon = text.find(':');
    bool ok = colon == 1 || colon == 2;
    if (ok) ok = ParseDigits(text.substr(0, colon), colon, &hour);
    std::string_view rest = ok ? text.substr(colon + 1) : std::string_view();
    if (ok) ok = ParseDigits(rest.substr(0, 2), 2, &minute);
    if (ok && rest.size() > 2) {
      ok = rest[2] == ':' && ParseDigits(rest.substr(3, 2), 2, &second);
      if (ok && rest.size() > 5) {
        ok = rest[5] == '.' && ParseDigits(rest.substr(6), 2, &hundredths);
      }
    }
    if (!ok) return Problem(Quoted(text) + " is not a time: write HH:MM, HH:MM:SS or HH:MM:SS.cc");
    if (hour > 23 || minute > 59 || second > 59) {
      return Problem(Quoted(text) + " is not a time of day (00:00 to 23:59:59.99)");
    }
    value = runtime::MakeTime(hour, minute, second, hundredths);
  }
  StoreInteger(element, 4, value);
  return Status::Ok();
}

Status ParseDecimal(const FieldDeclaration& field, std::string_view text, char* element) {
  runtime::Decimal value(0, 0);
  if (!text.empty()) {
    Status parsed = runtime::Decimal::Parse(text, &value);
    if (parsed.code() == runtime::kBadNumberText) {
      if (text.find(',') != std::string_view::npos) {
        return Problem(Quoted(text) + " is not a number (decimals are written with a \".\" point)");
      }
      return Problem(Quoted(text) + " is not a number");
    }
    if (!parsed.ok()) {
      // The runtime's message quotes the whole text; only its reason is kept.
      const std::string reason = parsed.message().substr(0, parsed.message().find(':'));
      return Problem(Quoted(text) + " is out of range: " + reason);
    }
  }
  if (value.places() > field.places && !(value.Rescaled(field.places) == value)) {
    return Problem(Quoted(text) + " has more than the " + std::to_string(field.places) +
                   " decimal places of " + TypeText(field));
  }
  if (!value.Encode(field.size, field.places, element).ok()) {
    return Problem(Quoted(text) + " is out of range for " + TypeText(field) + " (at most " +
                   std::to_string(2 * field.size - 1 - field.places) + " digits before the point)");
  }
  return Status::Ok();
}

// Why `text` cannot be stored as Windows-1252: the first character that is not well-formed UTF-8
// or that the code page lacks.
std::string Unstorable(std::string_view text) {
  std::string ignored;
  size_t pos = 0;
  int character = 1;
  while (pos < text.size()) {
    const size_t length = Utf8CharacterLength(text, pos);
    if (length == 0) return "is not valid UTF-8 (character " + std::to_string(character) + ")";
    const std::string_view sequence = text.substr(pos, length);
    if (!runtime::Utf8ToCp1252(sequence, &ignored)) {
      return "holds " + Quoted(sequence) + " (character " + std::to_string(character) +
             "), which Windows-1252 cannot hold";
    }
    pos += length;
    ++character;
  }
  return "is not valid UTF-8";
}

Status ParseText(const FieldDeclaration& field, std::string_view text, char* element) {
  // Plain ASCII is the same in both encodings: stored as it is, without a converted copy.
  if (text.size() <= static_cast<size_t>(field.size) &&
      std::all_of(text.begin(), text.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    std::memcpy(element, text.data(), text.size());
    std::memset(element + text.size(), ' ', field.size - text.size());
    return Status::Ok();
  }
  std::string bytes;
  if (!runtime::Utf8ToCp1252(text, &bytes)) return Problem("the text " + Unstorable(text));
  if (bytes.size() > static_cast<size_t>(field.size)) {
    return Problem("text of " + std::to_string(bytes.size()) + " characters is too long for " +
                   TypeText(field));
  }
  std::memcpy(element, bytes.data(), bytes.size());
  std::memset(element + bytes.size(), ' ', field.size - bytes.size());
  return Status::Ok();
}

std::string TwoDigits(int value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02d", value % 100);
  return text;
}

}  // namespace

Status ParseFieldValue(const FieldDeclaration& field, std::string_view text, char* element) {
  if (field.type == FieldType::String) return ParseText(field, text, element);
  text = Trim(text);
  if (field.type == FieldType::Decimal) return ParseDecimal(field, text, element);
  if (field.type == FieldType::Long && field.meaning == FieldMeaning::Date) {
    return ParseDate(text, element);
  }
  if (field.type == FieldType::Long && field.meaning == FieldMeaning::Time) {
    return ParseTime(text, element);
  }
  return ParseInteger(field, text, element);
}

Status FormatFieldValue(const FieldDeclaration& field, const char* element, std::string* out) {
  out->clear();
  switch (field.type) {
    case FieldType::String:
      *out = runtime::Cp1252ToUtf8(runtime::ClipRight(std::string_view(element, field.size)));
      return Status::Ok();
    case FieldType::Decimal: {
      runtime::Decimal value;
      Status status =
          runtime::Decimal::Decode(std::string_view(element, field.size), field.places, &value);
      if (!status.ok()) return Problem("the stored value is not a packed decimal");
      *out = value.ToString();
      return Status::Ok();
    }
    default:
      break;
  }
  const int64_t value = LoadInteger(field.type, element, field.size);
  if (field.type == FieldType::Long && field.meaning == FieldMeaning::Date) {
    if (value == 0) return Status::Ok();
    const runtime::CivilDate date = runtime::ToCivil(static_cast<int32_t>(value));
    if (date.year == 0) {
      *out = "#" + std::to_string(value);
      return Status::Ok();
    }
    *out = std::to_string(date.year) + "-" + TwoDigits(date.month) + "-" + TwoDigits(date.day);
    return Status::Ok();
  }
  if (field.type == FieldType::Long && field.meaning == FieldMeaning::Time) {
    if (value == 0) return Status::Ok();
    if (value < 1 || value > runtime::kLastTime) {
      *out = "#" + std::to_string(value);
      return Status::Ok();
    }
    const runtime::TimeOfDay time = runtime::ToTimeOfDay(static_cast<int32_t>(value));
    *out = TwoDigits(time.hour) + ":" + TwoDigits(time.minute);
    if (time.second != 0 || time.hundredths != 0) *out += ":" + TwoDigits(time.second);
    if (time.hundredths != 0) *out += "." + TwoDigits(time.hundredths);
    return Status::Ok();
  }
  *out = std::to_string(value);
  return Status::Ok();
}

std::string TypeText(const FieldDeclaration& field) {
  switch (field.type) {
    case FieldType::Decimal:
      return "DECIMAL(" + std::to_string(2 * field.size - 1) + "," + std::to_string(field.places) +
             ")";
    case FieldType::String:
      return "STRING(" + std::to_string(field.size) + ")";
    default:
      return runtime::TypeName(field.type);
  }
}

std::string ElementLabel(const FieldDeclaration& field, int element) {
  return field.count == 1 ? field.label : field.label + "[" + std::to_string(element) + "]";
}

}  // namespace tools
