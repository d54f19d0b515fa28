#include "runtime/values/decimal.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "tests/testing.h"

namespace runtime {
namespace {

using std::string_literals::operator""s;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

struct PackedCase {
  const char* id;
  std::string bytes;
  int places;
  int64_t units;  // the decoded value with `places` places
};

// Packed values that decode and encode back to the same bytes.
TEST(DecimalTest, PackedRoundTrip) {
  const PackedCase cases[] = {
      {"packed-1", "\x00\x00\x00\x00\x00\x00"s, 2, 0},       // a cleared record
      {"packed-2", "\x00\x00\x01\x50\x00\x00"s, 2, 150000},  // 1500.00
      {"packed-3", "\x00\x00\x00\x00\x31\x0D"s, 2, -310},
      {"packed-4", "\x99\x99\x99\x99\x99\x90", 2, 99999999999},  // largest DECIMAL(11,2)
      {"packed-5", "\x12\x34\x56\x70", 4, 1234567},              // DECIMAL(7,4): 123.4567
      {"packed-6", "\x50", 0, 5},                                // one byte, one digit
      {"packed-7", "\x5D", 1, -5},
      {"packed-8", "\x92\x23\x37\x20\x36\x85\x47\x75\x80\x70", 0, kMax},
      {"packed-9", "\x92\x23\x37\x20\x36\x85\x47\x75\x80\x7D", 0, -kMax},
  };
  for (const PackedCase& c : cases) {
    Decimal value;
    ASSERT_OK(Decimal::Decode(c.bytes, c.places, &value));
    EXPECT_EQ(value.units(), c.units) << c.id;
    EXPECT_EQ(value.places(), c.places) << c.id;
    std::string encoded(c.bytes.size(), '\x55');
    ASSERT_OK(value.Encode(static_cast<int>(c.bytes.size()), c.places, encoded.data()));
    EXPECT_EQ(encoded, c.bytes) << c.id;
  }
}

TEST(DecimalTest, DecodeReportsInvalidData) {
  const std::pair<const char*, std::string> cases[] = {
      {"invalid-1", "\x00\x0A\x00"s},  // a digit half-byte of 10
      {"invalid-2", "\xF0\x00\x00"s},  // the first half-byte
      {"invalid-3", "\x00\x00\xE0"s},  // the last digit before the sign
  };
  for (const auto& [id, bytes] : cases) {
    Decimal value(777, 0);
    const Status status = Decimal::Decode(bytes, 2, &value);
    EXPECT_EQ(status.code(), kInvalidDecimalData) << id;
    EXPECT_EQ(value, Decimal(777, 0)) << id;  // untouched
  }
  Decimal value;
  // 19 nines do not fit 64 bits; nor do no bytes or places out of range.
  EXPECT_EQ(Decimal::Decode("\x99\x99\x99\x99\x99\x99\x99\x99\x99\x90", 0, &value).code(),
            kDecimalOutOfRange);
  EXPECT_EQ(Decimal::Decode("", 0, &value).code(), kDecimalOutOfRange);
  EXPECT_EQ(Decimal::Decode("\x10", 10, &value).code(), kDecimalOutOfRange);
  // Other sign half-bytes read as positive; 0xD with zero digits reads as zero.
  ASSERT_OK(Decimal::Decode("\x1C", 0, &value));
  EXPECT_EQ(value, Decimal(1, 0));
  ASSERT_OK(Decimal::Decode("\x0D", 0, &value));
  EXPECT_TRUE(value.IsZero());
}

struct EncodeCase {
  const char* id;
  Decimal value;
  int size;
  int places;
  std::string bytes;  // empty when the value must be refused
};

TEST(DecimalTest, EncodeRoundsAndRefusesWhatDoesNotFit) {
  const EncodeCase cases[] = {
      {"encode-1", Decimal(12345, 4), 4, 2, "\x00\x00\x12\x30"s},  // 1.2345 -> 1.23
      {"encode-2", Decimal(12355, 4), 4, 2, "\x00\x00\x12\x40"s},  // 1.2355 -> 1.24
      {"encode-3", Decimal(-125, 3), 2, 2, "\x01\x3D"},            // -0.125 -> -0.13
      {"encode-4", Decimal(-4, 3), 2, 2, "\x00\x00"s},             // rounds to 0: positive
      {"encode-5", Decimal(15, 1), 2, 2, "\x15\x00"s},
      {"encode-6", Decimal(999, 0), 2, 0, "\x99\x90"},
      {"encode-7", Decimal(1000, 0), 2, 0, ""},   // 4 digits in 3
      {"encode-8", Decimal(10, 0), 2, 2, ""},     // 10.00 in 3 digits
      {"encode-9", Decimal(kMax, 0), 10, 2, ""},  // overflows while scaling
      {"encode-10", Decimal(kMin, 0), 9, 0, ""},  // 19 digits in 17
      {"encode-11", Decimal::Overflowed(), 6, 2, ""},
      {"encode-12", Decimal(1, 0), 0, 0, ""},
      {"encode-13", Decimal(1, 0), 2, 10, ""},
  };
  for (const EncodeCase& c : cases) {
    std::string out(static_cast<size_t>(c.size > 0 ? c.size : 1), '\x77');
    const std::string before = out;
    const Status status = c.value.Encode(c.size, c.places, out.data());
    if (c.bytes.empty()) {
      EXPECT_EQ(status.code(), kDecimalOutOfRange) << c.id;
      EXPECT_EQ(out, before) << c.id;
    } else {
      EXPECT_OK(status);
      EXPECT_EQ(out, c.bytes) << c.id;
    }
  }
}

TEST(DecimalTest, Int64MinEncodesWhenTheDigitsSuffice) {
  // 9223372036854775808 has 19 digits; 10 bytes hold 19.
  std::string out(10, '\0');
  ASSERT_OK(Decimal(kMin, 0).Encode(10, 0, out.data()));
  EXPECT_EQ(out, "\x92\x23\x37\x20\x36\x85\x47\x75\x80\x8D");
}

TEST(DecimalTest, WideFieldsRoundTripWithLeadingZeros) {
  // Whatever Decode accepts, Encode writes back: 100 bytes of 199 digits, mostly zeros.
  std::string bytes(100, '\0');
  bytes[98] = '\x12';
  bytes[99] = '\x3D';
  Decimal value;
  ASSERT_OK(Decimal::Decode(bytes, 2, &value));
  EXPECT_EQ(value, Decimal(-123, 2));
  std::string out(100, '\x77');
  ASSERT_OK(value.Encode(100, 2, out.data()));
  EXPECT_EQ(out, bytes);
}

struct TextCase {
  const char* id;
  const char* text;
  int64_t units;
  int places;
  int code;  // 0 when the text parses
};

TEST(DecimalTest, ParseText) {
  const TextCase cases[] = {
      {"parse-1", "1500", 1500, 0, 0},
      {"parse-2", " -3.10 ", -310, 2, 0},
      {"parse-3", "+.25", 25, 2, 0},
      {"parse-4", "0.123456789", 123456789, 9, 0},
      {"parse-5", "1.50000000000000", 1500000000, 9, 0},  // zeros past 9 places dropped
      {"parse-6", "-9223372036854775808", kMin, 0, 0},
      {"parse-7", "0.1234567891", 0, 0, kDecimalOutOfRange},
      {"parse-8", "9223372036854775808", 0, 0, kDecimalOutOfRange},
      {"parse-9", "92233720368547758.08", 0, 0, kDecimalOutOfRange},
      {"parse-10", "1,5", 0, 0, kBadNumberText},
      {"parse-11", "", 0, 0, kBadNumberText},
      {"parse-12", "abc", 0, 0, kBadNumberText},
  };
  for (const TextCase& c : cases) {
    Decimal value(42, 0);
    const Status status = Decimal::Parse(c.text, &value);
    EXPECT_EQ(status.code(), c.code) << c.id;
    if (c.code == 0) {
      EXPECT_EQ(value.units(), c.units) << c.id;
      EXPECT_EQ(value.places(), c.places) << c.id;
    } else {
      EXPECT_EQ(value, Decimal(42, 0)) << c.id;
    }
  }
  EXPECT_EQ(TextToDecimal("0.1234567895"), Decimal(123456790, 9));
  EXPECT_EQ(TextToDecimal("-0.1234567895"), Decimal(-123456790, 9));
  EXPECT_TRUE(TextToDecimal("12,5").IsZero());
  EXPECT_TRUE(TextToDecimal("99999999999999999999").IsZero());
}

struct StringCase {
  const char* id;
  Decimal value;
  const char* text;
};

TEST(DecimalTest, ToStringIsTheShortestPlainForm) {
  const StringCase cases[] = {
      {"string-1", Decimal(150000, 2), "1500"},
      {"string-2", Decimal(150050, 2), "1500.5"},
      {"string-3", Decimal(150025, 2), "1500.25"},
      {"string-4", Decimal(25, 2), "0.25"},
      {"string-5", Decimal(-310, 2), "-3.1"},
      {"string-6", Decimal(0, 2), "0"},
      {"string-7", Decimal(-5, 4), "-0.0005"},
      {"string-8", Decimal(100, 0), "100"},
      {"string-9", Decimal(kMin, 2), "-92233720368547758.08"},
      {"string-10", Decimal(1, 9), "0.000000001"},
      {"string-11", Decimal::Overflowed(), "#"},
      {"string-12", Decimal(1, 10), "#"},  // places out of range
  };
  for (const StringCase& c : cases) {
    EXPECT_EQ(c.value.ToString(), c.text) << c.id;
  }
}

// The shortest text that reads back as the same double, as a double-to-text conversion writes it.
std::string ShortestDouble(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

TEST(DecimalTest, ToDoubleRoundTripsTwoPlaceAmounts) {
  std::mt19937_64 random(1252);
  for (int i = 0; i < 20000; ++i) {
    // Up to 13 digits, beyond the largest DECIMAL(11,2).
    const int64_t units = static_cast<int64_t>(random() % 10000000000000) - 5000000000000;
    const Decimal value(units, 2);
    ASSERT_EQ(ShortestDouble(value.ToDouble()), value.ToString()) << units;
  }
  EXPECT_EQ(ShortestDouble(Decimal(kMax, 0).ToDouble()), "9223372036854775808");
}

TEST(DecimalTest, RescaledRoundsHalfAwayFromZero) {
  EXPECT_EQ(Decimal(12345, 4).Rescaled(2), Decimal(123, 2));  // 1.2345 -> 1.23
  EXPECT_EQ(Decimal(12350, 4).Rescaled(2), Decimal(124, 2));  // 1.2350 -> 1.24
  EXPECT_EQ(Decimal(-12350, 4).Rescaled(2), Decimal(-124, 2));
  EXPECT_EQ(Decimal(-12349, 4).Rescaled(2), Decimal(-123, 2));
  EXPECT_EQ(Decimal(5, 1).Rescaled(0), Decimal(1, 0));
  EXPECT_EQ(Decimal(kMin, 1).Rescaled(0).units(), kMin / 10 - 1);  // ...5.8 -> ...6
  EXPECT_EQ(Decimal(15, 1).Rescaled(3).units(), 1500);
  EXPECT_TRUE(Decimal(kMax, 0).Rescaled(1).overflowed());
  EXPECT_TRUE(Decimal(1, 0).Rescaled(-1).overflowed());
}

TEST(DecimalTest, CompareByValueWhateverThePlaces) {
  EXPECT_EQ(Decimal(15, 1), Decimal(150, 2));
  EXPECT_LT(Decimal(-1, 0), Decimal(1, 9));
  EXPECT_LT(Decimal(kMax, 9), Decimal(kMax, 0));  // the second cannot be scaled to 9 places
  EXPECT_LT(Decimal(kMin, 0), Decimal(kMin, 9));
  EXPECT_LT(Decimal::Overflowed(), Decimal(kMin, 0));
  EXPECT_EQ(Decimal::Overflowed(), Decimal::Overflowed());
}

TEST(DecimalTest, ArithmeticOverflowIsReportedNotWrapped) {
  Decimal out;
  EXPECT_EQ(Decimal::Add(Decimal(kMax, 0), Decimal(1, 0), &out).code(), kDecimalOutOfRange);
  EXPECT_TRUE(out.overflowed());
  EXPECT_EQ(Decimal::Subtract(Decimal(kMin, 0), Decimal(1, 0), &out).code(), kDecimalOutOfRange);
  EXPECT_EQ(Decimal::Add(Decimal(kMax / 10, 0), Decimal(1, 2), &out).code(), kDecimalOutOfRange);
  EXPECT_TRUE((-Decimal(kMin, 0)).overflowed());
  // Overflow is sticky through the operators.
  Decimal sum = Decimal(kMax, 0) + Decimal(1, 0);
  sum += Decimal(-5, 0);
  EXPECT_TRUE(sum.overflowed());
  EXPECT_FALSE(sum.IsZero());
  ASSERT_OK(Decimal::Add(Decimal(kMax, 0), Decimal(kMin, 0), &out));
  EXPECT_EQ(out, Decimal(-1, 0));
}

// Arithmetic against a plain int64 model: random values at random places, summed and subtracted,
// must match the model's exact integer result or report an overflow exactly when the model's
// 128-bit result does not fit.
TEST(DecimalTest, ArithmeticMatchesIntegerModel) {
  std::mt19937_64 random(2014);
  const int64_t kPowers[] = {1,      10,      100,      1000,      10000,
                             100000, 1000000, 10000000, 100000000, 1000000000};
  for (int i = 0; i < 200000; ++i) {
    // Mix small amounts with values near the 64-bit limits.
    auto draw = [&random]() -> int64_t {
      switch (random() % 3) {
        case 0:
          return static_cast<int64_t>(random() % 2000001) - 1000000;
        case 1:
          return static_cast<int64_t>(random() >> (random() % 64));
        default:
          return static_cast<int64_t>(random());
      }
    };
    const Decimal a(draw(), static_cast<int>(random() % 10));
    const Decimal b(draw(), static_cast<int>(random() % 10));
    const int places = a.places() > b.places() ? a.places() : b.places();
    const __int128 a_model = static_cast<__int128>(a.units()) * kPowers[places - a.places()];
    const __int128 b_model = static_cast<__int128>(b.units()) * kPowers[places - b.places()];
    const bool a_fits = a_model >= kMin && a_model <= kMax;
    const bool b_fits = b_model >= kMin && b_model <= kMax;
    for (const bool subtract : {false, true}) {
      const __int128 model = subtract ? a_model - b_model : a_model + b_model;
      const bool fits = a_fits && b_fits && model >= kMin && model <= kMax;
      Decimal result;
      const Status status =
          subtract ? Decimal::Subtract(a, b, &result) : Decimal::Add(a, b, &result);
      ASSERT_EQ(status.ok(), fits) << a.ToString() << (subtract ? " - " : " + ") << b.ToString();
      if (fits) {
        ASSERT_EQ(result.places(), places);
        ASSERT_EQ(result.units(), static_cast<int64_t>(model));
      }
      ASSERT_TRUE((subtract ? a - b : a + b) == result);
    }
    ASSERT_EQ(Decimal::Compare(a, b), (a_model > b_model) - (a_model < b_model));
  }
}

}  // namespace
}  // namespace runtime
