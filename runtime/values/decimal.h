// Exact decimal values and the packed DECIMAL field format of the records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/base/error_codes.h"
#include "runtime/base/status.h"

namespace runtime {

// Status codes of the value layer, from the runtime's one table of codes.
inline constexpr int kInvalidDecimalData = kInvalidData;  // a half-byte that is not a digit
inline constexpr int kDecimalOutOfRange = kOutOfRange;    // a value does not fit where it must go
inline constexpr int kBadNumberText = kNotANumber;        // text that does not read as a number

// A value `units` * 10^-places, exact; never binary floating point. Holds 18 significant digits
// (any 64-bit `units`), with 0 to kMaxPlaces places.
//
// Arithmetic that cannot be held exactly (64-bit overflow, places out of range) gives an
// overflowed value instead of a wrong one: it stays overflowed through further arithmetic, Encode
// refuses it, ToString shows "#", and it compares below every other value. The checked forms
// (Add, Subtract) report it as a status. A plain value type; safe to copy between threads.
class Decimal {
 public:
  static constexpr int kMaxPlaces = 9;

  Decimal() = default;
  // An overflowed value when `places` is outside 0..kMaxPlaces.
  Decimal(int64_t units, int places)
      : units_(places >= 0 && places <= kMaxPlaces ? units : 0),
        places_(places >= 0 && places <= kMaxPlaces ? places : kOverflowed) {}
  static Decimal FromInteger(int64_t value) { return Decimal(value, 0); }
  static Decimal Overflowed() { return Decimal(0, kOverflowed); }

  // Decodes a packed DECIMAL of `bytes.size()` bytes with `places` places: 2b-1 digits, most
  // significant first, two per byte, the last half-byte the sign (0xD negative, any other sign
  // half-byte positive). A digit half-byte above 9 gives kInvalidDecimalData; a value beyond 64
  // bits, no bytes or places outside 0..kMaxPlaces give kDecimalOutOfRange. `out` is untouched
  // on error.
  static Status Decode(std::string_view bytes, int places, Decimal* out);
  // Encodes into `size` bytes with `places` places, rounding half away from zero to `places`.
  // kDecimalOutOfRange (and `out` untouched) when the value does not fit the 2*size-1 digits,
  // is overflowed, or `size` or `places` is out of range. Zero is written with the positive sign.
  Status Encode(int size, int places, char* out) const;

  // Text: an optional sign, digits with at most one decimal point, blanks around; error status
  // otherwise (kBadNumberText), and kDecimalOutOfRange when the value needs more than 64 bits or
  // more than kMaxPlaces places that are not zeros. `out` is untouched on error.
  static Status Parse(std::string_view text, Decimal* out);

  int64_t units() const { return units_; }
  int places() const { return places_; }
  bool IsZero() const { return units_ == 0 && !overflowed(); }
  bool overflowed() const { return places_ == kOverflowed; }

  // The value with `places` places: more places are exact; fewer round half away from zero.
  // Overflowed when the value cannot be held with that many places.
  Decimal Rescaled(int places) const;
  // The shortest plain text: "1500", "1500.5", "0.25", "-3.1", "0"; "#" when overflowed.
  std::string ToString() const;
  // The nearest double (0 when overflowed); printing it with the shortest form that reads back
  // the same double gives ToString() again for values of up to 15 significant digits.
  double ToDouble() const;

  // Exact sum and difference at the larger number of places; kDecimalOutOfRange (and `out`
  // overflowed) when they cannot be held.
  static Status Add(const Decimal& a, const Decimal& b, Decimal* out);
  static Status Subtract(const Decimal& a, const Decimal& b, Decimal* out);

  Decimal operator+(const Decimal& other) const;
  Decimal operator-(const Decimal& other) const;
  Decimal operator-() const;
  Decimal& operator+=(const Decimal& other) { return *this = *this + other; }
  Decimal& operator-=(const Decimal& other) { return *this = *this - other; }
  friend bool operator==(const Decimal& a, const Decimal& b) { return Compare(a, b) == 0; }
  friend bool operator<(const Decimal& a, const Decimal& b) { return Compare(a, b) < 0; }
  // -1, 0 or 1 by value, whatever the places: 1.5 equals 1.50.
  static int Compare(const Decimal& a, const Decimal& b);

 private:
  static constexpr int kOverflowed = -1;

  int64_t units_ = 0;
  int places_ = 0;
};

// Text read as a number, as TextToInteger reads it but keeping the fraction (rounded half away
// from zero to kMaxPlaces places); anything else, or a value beyond 64 bits, yields 0.
Decimal TextToDecimal(std::string_view text);

}  // namespace runtime
