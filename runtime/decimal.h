// Exact decimal values and the packed DECIMAL field format of the records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/status.h"

namespace runtime {

// A value `units` * 10^-places, exact; never binary floating point. Holds 18 significant digits.
class Decimal {
 public:
  static constexpr int kMaxPlaces = 9;

  Decimal() = default;
  Decimal(int64_t units, int places) : units_(units), places_(places) {}
  static Decimal FromInteger(int64_t value) { return Decimal(value, 0); }

  // Decodes a packed DECIMAL of `bytes.size()` bytes with `places` places: 2b-1 digits, most
  // significant first, two per byte, the last half-byte the sign (0xD negative, any other sign
  // half-byte positive). A digit half-byte above 9 gives an error status.
  static Status Decode(std::string_view bytes, int places, Decimal* out);
  // Encodes into `size` bytes with `places` places, rounding half away from zero to `places`.
  // Error status (and `out` untouched) when the value does not fit.
  Status Encode(int size, int places, char* out) const;

  // Text: an optional sign, digits with at most one decimal point, blanks around; error status
  // otherwise.
  static Status Parse(std::string_view text, Decimal* out);

  int64_t units() const { return units_; }
  int places() const { return places_; }
  bool IsZero() const { return units_ == 0; }

  // The value with `places` places: more places are exact; fewer round half away from zero.
  Decimal Rescaled(int places) const;
  // The shortest plain text: "1500", "1500.5", "0.25", "-3.1", "0".
  std::string ToString() const;
  double ToDouble() const;

  Decimal operator+(const Decimal& other) const;
  Decimal operator-(const Decimal& other) const;
  Decimal& operator+=(const Decimal& other) { return *this = *this + other; }
  friend bool operator==(const Decimal& a, const Decimal& b) { return Compare(a, b) == 0; }
  friend bool operator<(const Decimal& a, const Decimal& b) { return Compare(a, b) < 0; }
  static int Compare(const Decimal& a, const Decimal& b);

 private:
  int64_t units_ = 0;
  int places_ = 0;
};

}  // namespace runtime
