#include "runtime/values/text.h"

#include <gtest/gtest.h>

#include <string>

namespace runtime {
namespace {

TEST(TextTest, UpperCaseMapsAccentedLettersToo) {
  const std::pair<const char*, const char*> cases[] = {
      {"abc xyz 019", "ABC XYZ 019"},
      {"\xE0\xE7\xE3\xE9\xF5\xFE", "\xC0\xC7\xC3\xC9\xD5\xDE"},  // à ç ã é õ þ
      {"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},                  // š œ ž ÿ
      {"\xF7\xDF\xB5\xAA", "\xF7\xDF\xB5\xAA"},  // ÷ ß µ ª have no capital of their own
      {"\xC0\x8A ABC", "\xC0\x8A ABC"},          // capitals stay
  };
  for (const auto& [text, upper] : cases) EXPECT_EQ(UpperCp1252(text), upper) << text;
  EXPECT_EQ(UpperCp1252('\xE7'), '\xC7');
}

TEST(TextTest, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  std::string back;
  ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), &back));
  EXPECT_EQ(back, all);
}

struct Utf8Case {
  const char* id;
  std::string cp1252;
  std::string utf8;
};

TEST(TextTest, ConvertsToUtf8) {
  const Utf8Case cases[] = {
      {"utf8-1", "Jos\xE9", "Jos\xC3\xA9"},
      {"utf8-2", "\x80", "\xE2\x82\xAC"},  // euro sign
      {"utf8-3", "\x9F", "\xC5\xB8"},      // Y with diaeresis
      {"utf8-4", "\x81", "\xC2\x81"},      // undefined byte as its control character
      {"utf8-5", std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.id;
    std::string back;
    EXPECT_TRUE(Utf8ToCp1252(c.utf8, &back)) << c.id;
    EXPECT_EQ(back, c.cp1252) << c.id;
  }
}

TEST(TextTest, RefusesWhatTheCodePageCannotHoldAndBadUtf8) {
  const std::pair<const char*, std::string> cases[] = {
      {"refuse-1", "\xE2\x82\xB9"},      // rupee sign: not in the code page
      {"refuse-2", "\xC2\x80"},          // U+0080: 0x80 is the euro sign, not this
      {"refuse-3", "\xF0\x9F\x98\x80"},  // outside the Basic Multilingual Plane
      {"refuse-4", "\xC3"},              // cut short
      {"refuse-5", "\xC3\x28"},          // bad continuation
      {"refuse-6", "\xC0\xAF"},          // overlong '/'
      {"refuse-7", "\xE0\x80\xAF"},      // overlong '/'
      {"refuse-8", "\xED\xA0\x80"},      // surrogate
      {"refuse-9", "\xF4\x90\x80\x80"},  // past U+10FFFF
      {"refuse-10", "\xFF"},             // never a lead byte
      {"refuse-11", "\x80"},             // stray continuation
  };
  for (const auto& [id, utf8] : cases) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1252(utf8, &out)) << id;
  }
}

TEST(TextTest, ClipRightRemovesTrailingBlanksOnly) {
  EXPECT_EQ(ClipRight("  ab  "), "  ab");
  EXPECT_EQ(ClipRight("    "), "");
  EXPECT_EQ(ClipRight(""), "");
}

struct NumberCase {
  const char* id;
  const char* text;
  int64_t integer;
  double real;
};

constexpr NumberCase kNumberCases[] = {
    {"num-1", "123", 123, 123},
    {"num-2", "  -45  ", -45, -45},
    {"num-3", "+7", 7, 7},
    {"num-4", "12.75", 12, 12.75},
    {"num-5", "-12.75", -12, -12.75},
    {"num-6", ".5", 0, 0.5},
    {"num-7", "5.", 5, 5},
    {"num-8", "\t42\t", 42, 42},
    {"num-9", "12345678901234", 12345678901234, 12345678901234},  // a CNPJ needs 64 bits
    {"num-10", "00012345678901", 12345678901, 12345678901},
    {"num-11", "9223372036854775807", 9223372036854775807, 9223372036854775807.0},
    {"num-12", "-9223372036854775808", -9223372036854775807 - 1, -9223372036854775808.0},
    {"num-13", "9223372036854775808", 0, 9223372036854775808.0},  // beyond 64 bits
    {"num-14", "", 0, 0},
    {"num-15", "   ", 0, 0},
    {"num-16", "-", 0, 0},
    {"num-17", ".", 0, 0},
    {"num-18", "1.2.3", 0, 0},
    {"num-19", "12.345.678/0001-90", 0, 0},  // a punctuated CNPJ
    {"num-20", "1 234", 0, 0},
    {"num-21", "12a", 0, 0},
    {"num-22", "- 5", 0, 0},
    {"num-23", "1e5", 0, 0},
    {"num-24", "0x10", 0, 0},
    {"num-25", "--5", 0, 0},
};

TEST(TextTest, TextReadAsNumber) {
  for (const NumberCase& c : kNumberCases) {
    EXPECT_EQ(TextToInteger(c.text), c.integer) << c.id;
    EXPECT_EQ(TextToDouble(c.text), c.real) << c.id;
  }
}

}  // namespace
}  // namespace runtime
