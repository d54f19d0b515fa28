// Exact decimal values on 64-bit scaled integers, and the packed DECIMAL field format.
#include "runtime/values/decimal.h"

#include <charconv>
#include <string>
#include <utility>

#include "runtime/values/text.h"

namespace runtime {
namespace {

// 10^0 to 10^kMaxPlaces: every shift between two valid numbers of places.
constexpr int64_t kPowersOfTen[Decimal::kMaxPlaces + 1] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// `units` * 10^`shift`; false on 64-bit overflow.
bool ScaleUp(int64_t units, int shift, int64_t* out) {
  return !__builtin_mul_overflow(units, kPowersOfTen[shift], out);
}

// `units` / 10^`shift`, rounded half away from zero. Never overflows: the quotient is smaller.
int64_t ScaleDown(int64_t units, int shift) {
  const int64_t divisor = kPowersOfTen[shift];
  const int64_t quotient = units / divisor;
  const int64_t remainder = units % divisor;
  // Round away from zero when |remainder| >= divisor / 2; each sign is compared on its own side
  // so that nothing is negated.
  if (remainder >= 0) return remainder * 2 >= divisor ? quotient + 1 : quotient;
  return remainder * -2 >= divisor ? quotient - 1 : quotient;
}

// The magnitude of `units` as unsigned, defined for INT64_MIN too.
uint64_t Magnitude(int64_t units) {
  return units < 0 ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
}

// Brings `a` and `b` to the same number of places; false when that overflows.
bool Align(const Decimal& a, const Decimal& b, int64_t* a_units, int64_t* b_units, int* places) {
  *places = a.places() > b.places() ? a.places() : b.places();
  return ScaleUp(a.units(), *places - a.places(), a_units) &&
         ScaleUp(b.units(), *places - b.places(), b_units);
}

Status OutOfRange(std::string message) { return Status(kDecimalOutOfRange, std::move(message)); }

// Reads the digits of `number` into units with `places` places; false when they need more than 64
// bits. Fraction digits past `places` must be zeros unless `round` is set, in which case the value
// is rounded half away from zero.
bool DigitsToUnits(const NumberText& number, int places, bool round, int64_t* out) {
  // Accumulate negatively so that the most negative value is reachable.
  int64_t value = 0;
  auto push = [&value](char c) {
    const int digit = c - '0';
    return !__builtin_mul_overflow(value, 10, &value) &&
           !__builtin_sub_overflow(value, digit, &value);
  };
  for (char c : number.integer_digits) {
    if (!push(c)) return false;
  }
  const std::string_view fraction = number.fraction_digits;
  for (int i = 0; i < places; ++i) {
    if (!push(i < static_cast<int>(fraction.size()) ? fraction[i] : '0')) return false;
  }
  if (fraction.size() > static_cast<size_t>(places)) {
    const std::string_view rest = fraction.substr(places);
    if (round) {
      if (rest[0] >= '5' && __builtin_sub_overflow(value, 1, &value)) return false;
    } else if (rest.find_first_not_of('0') != std::string_view::npos) {
      return false;
    }
  }
  if (number.negative) {
    *out = value;
    return true;
  }
  return !__builtin_sub_overflow(int64_t{0}, value, out);
}

}  // namespace

Status Decimal::Decode(std::string_view bytes, int places, Decimal* out) {
  if (bytes.empty()) return OutOfRange("DECIMAL of no bytes");
  if (places < 0 || places > kMaxPlaces) return OutOfRange("DECIMAL places out of range");
  int64_t units = 0;
  const size_t digits = bytes.size() * 2 - 1;
  auto invalid = [&bytes](size_t byte) {
    return Status(kInvalidDecimalData, "invalid digit in DECIMAL at byte " +
                                           std::to_string(byte + 1) + " of " +
                                           std::to_string(bytes.size()));
  };
  if (digits <= 18) {
    // Eighteen digits cannot leave 64 bits: two digits a byte, without overflow checks.
    const size_t last = bytes.size() - 1;
    for (size_t i = 0; i < last; ++i) {
      const auto byte = static_cast<unsigned char>(bytes[i]);
      const int high = byte >> 4, low = byte & 0x0F;
      if (high > 9 || low > 9) return invalid(i);
      units = units * 100 + high * 10 + low;
    }
    const int high = static_cast<unsigned char>(bytes[last]) >> 4;
    if (high > 9) return invalid(last);
    units = units * 10 + high;
    const int sign = static_cast<unsigned char>(bytes[last]) & 0x0F;
    *out = Decimal(sign == 0xD ? -units : units, places);
    return Status::Ok();
  }
  for (size_t i = 0; i < digits; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i / 2]);
    const int digit = i % 2 == 0 ? byte >> 4 : byte & 0x0F;
    if (digit > 9) return invalid(i / 2);
    if (__builtin_mul_overflow(units, 10, &units) || __builtin_add_overflow(units, digit, &units)) {
      return OutOfRange("DECIMAL value beyond 64 bits");
    }
  }
  const int sign = static_cast<unsigned char>(bytes.back()) & 0x0F;
  *out = Decimal(sign == 0xD ? -units : units, places);
  return Status::Ok();
}

Status Decimal::Encode(int size, int places, char* out) const {
  if (overflowed()) return OutOfRange("overflowed value cannot be stored");
  if (size < 1) return OutOfRange("DECIMAL of no bytes");
  if (places < 0 || places > kMaxPlaces) return OutOfRange("DECIMAL places out of range");
  const Decimal value = Rescaled(places);
  if (value.overflowed()) return OutOfRange("value " + ToString() + " too large for DECIMAL");
  uint64_t magnitude = Magnitude(value.units_);
  const int digits = size * 2 - 1;
  // The nibbles from the last (the sign) backwards.
  std::string packed(static_cast<size_t>(size), '\0');
  int nibble = digits;  // index of the sign nibble
  auto put = [&packed](int index, int value) {
    char& byte = packed[static_cast<size_t>(index / 2)];
    byte = static_cast<char>(index % 2 == 0 ? (byte & 0x0F) | (value << 4) : (byte & 0xF0) | value);
  };
  put(nibble, value.units_ < 0 ? 0xD : 0);
  while (--nibble >= 0) {
    put(nibble, static_cast<int>(magnitude % 10));
    magnitude /= 10;
  }
  if (magnitude != 0) {
    return OutOfRange("value " + ToString() + " does not fit " + std::to_string(digits) +
                      " digits");
  }
  packed.copy(out, packed.size());
  return Status::Ok();
}

Status Decimal::Parse(std::string_view text, Decimal* out) {
  NumberText number;
  if (!SplitNumberText(text, &number)) {
    return Status(kBadNumberText, "not a number: \"" + std::string(text) + "\"");
  }
  // Places beyond kMaxPlaces are allowed while they are zeros.
  size_t places = number.fraction_digits.size();
  while (places > static_cast<size_t>(kMaxPlaces) && number.fraction_digits[places - 1] == '0') {
    --places;
  }
  if (places > static_cast<size_t>(kMaxPlaces)) {
    return OutOfRange("more than " + std::to_string(kMaxPlaces) + " decimal places: \"" +
                      std::string(text) + "\"");
  }
  int64_t units = 0;
  if (!DigitsToUnits(number, static_cast<int>(places), false, &units)) {
    return OutOfRange("number too large: \"" + std::string(text) + "\"");
  }
  *out = Decimal(units, static_cast<int>(places));
  return Status::Ok();
}

Decimal TextToDecimal(std::string_view text) {
  NumberText number;
  if (!SplitNumberText(text, &number)) return Decimal();
  const int places = number.fraction_digits.size() > static_cast<size_t>(Decimal::kMaxPlaces)
                         ? Decimal::kMaxPlaces
                         : static_cast<int>(number.fraction_digits.size());
  int64_t units = 0;
  if (!DigitsToUnits(number, places, true, &units)) return Decimal();
  return Decimal(units, places);
}

Decimal Decimal::Rescaled(int places) const {
  if (overflowed() || places < 0 || places > kMaxPlaces) return Overflowed();
  if (places >= places_) {
    int64_t units = 0;
    if (!ScaleUp(units_, places - places_, &units)) return Overflowed();
    return Decimal(units, places);
  }
  return Decimal(ScaleDown(units_, places_ - places), places);
}

std::string Decimal::ToString() const {
  if (overflowed()) return "#";
  std::string digits = std::to_string(Magnitude(units_));
  int places = places_;
  // Trailing zeros of the fraction go; so does the point when nothing follows it.
  while (places > 0 && digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
    --places;
  }
  if (digits == "0") return "0";
  if (places > 0) {
    if (digits.size() <= static_cast<size_t>(places)) {
      digits.insert(0, static_cast<size_t>(places) - digits.size() + 1, '0');
    }
    digits.insert(digits.size() - static_cast<size_t>(places), 1, '.');
  }
  if (units_ < 0) digits.insert(0, 1, '-');
  return digits;
}

double Decimal::ToDouble() const {
  if (overflowed()) return 0;
  // Both operands are exact doubles below 2^53, and IEEE division rounds correctly.
  constexpr int64_t kExactLimit = int64_t{1} << 53;
  if (units_ > -kExactLimit && units_ < kExactLimit) {
    return static_cast<double>(units_) / static_cast<double>(kPowersOfTen[places_]);
  }
  const std::string text = ToString();
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

Status Decimal::Add(const Decimal& a, const Decimal& b, Decimal* out) {
  int64_t a_units = 0;
  int64_t b_units = 0;
  int places = 0;
  int64_t sum = 0;
  if (a.overflowed() || b.overflowed() || !Align(a, b, &a_units, &b_units, &places) ||
      __builtin_add_overflow(a_units, b_units, &sum)) {
    *out = Overflowed();
    return OutOfRange("sum of " + a.ToString() + " and " + b.ToString() + " out of range");
  }
  *out = Decimal(sum, places);
  return Status::Ok();
}

Status Decimal::Subtract(const Decimal& a, const Decimal& b, Decimal* out) {
  int64_t a_units = 0;
  int64_t b_units = 0;
  int places = 0;
  int64_t difference = 0;
  if (a.overflowed() || b.overflowed() || !Align(a, b, &a_units, &b_units, &places) ||
      __builtin_sub_overflow(a_units, b_units, &difference)) {
    *out = Overflowed();
    return OutOfRange("difference of " + a.ToString() + " and " + b.ToString() + " out of range");
  }
  *out = Decimal(difference, places);
  return Status::Ok();
}

Decimal Decimal::operator+(const Decimal& other) const {
  Decimal result;
  static_cast<void>(Add(*this, other, &result));  // an overflow leaves `result` overflowed
  return result;
}

Decimal Decimal::operator-(const Decimal& other) const {
  Decimal result;
  static_cast<void>(Subtract(*this, other, &result));
  return result;
}

Decimal Decimal::operator-() const { return Decimal() - *this; }

int Decimal::Compare(const Decimal& a, const Decimal& b) {
  if (a.overflowed() || b.overflowed()) {
    return static_cast<int>(!a.overflowed()) - static_cast<int>(!b.overflowed());
  }
  int64_t a_units = 0;
  int64_t b_units = 0;
  int places = 0;
  if (!Align(a, b, &a_units, &b_units, &places)) {
    // One side scaled past 64 bits, so its magnitude exceeds the other's: its sign decides.
    int64_t unused = 0;
    const bool a_large = !ScaleUp(a.units(), places - a.places(), &unused);
    const int64_t large_units = a_large ? a.units() : b.units();
    const int sign = large_units < 0 ? -1 : 1;
    return a_large ? sign : -sign;
  }
  return (a_units > b_units) - (a_units < b_units);
}

}  // namespace runtime
