// Field values in their CSV forms: each type read and written back, and the problems reported.

#include "tools/field_value.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tools/message_text.h"
#include "tools/test_entries.h"

namespace tools {
namespace {

using runtime::FieldDeclaration;
using runtime::FieldMeaning;
using runtime::FieldType;

const FieldDeclaration kByte = TestField(FieldType::Byte, 1);
const FieldDeclaration kShort = TestField(FieldType::Short, 2);
const FieldDeclaration kULong = TestField(FieldType::ULong, 4);
const FieldDeclaration kLong = TestField(FieldType::Long, 4);
const FieldDeclaration kDate = TestField(FieldType::Long, 4, 0, FieldMeaning::Date);
const FieldDeclaration kTime = TestField(FieldType::Long, 4, 0, FieldMeaning::Time);
const FieldDeclaration kMoney = TestField(FieldType::Decimal, 6, 2);
const FieldDeclaration kShare = TestField(FieldType::Decimal, 4, 4);
const FieldDeclaration kText = TestField(FieldType::String, 5);

struct GoodCase {
  const char* id;
  const FieldDeclaration& field;
  const char* text;
  const char* written;  // what FormatFieldValue gives back
};

TEST(FieldValueTest, ReadsEachFormAndWritesItBack) {
  const GoodCase cases[] = {
      {"byte-max", kByte, "255", "255"},
      {"byte-empty", kByte, "", "0"},
      {"byte-blanks", kByte, " 7 ", "7"},
      {"short-min", kShort, "-32768", "-32768"},
      {"ulong-max", kULong, "4294967295", "4294967295"},
      {"long-plus", kLong, "+12", "12"},
      {"date-first", kDate, "1801-01-01", "1801-01-01"},
      {"date-last", kDate, "9999-12-31", "9999-12-31"},
      {"date-leap", kDate, "2016-02-29", "2016-02-29"},
      {"date-empty", kDate, "", ""},
      {"date-raw", kDate, "#-5", "#-5"},
      {"date-raw-before-calendar", kDate, "#3", "#3"},
      {"time-midnight", kTime, "00:00", "00:00"},
      {"time-one-digit-hour", kTime, "8:30", "08:30"},
      {"time-seconds", kTime, "13:05:09", "13:05:09"},
      {"time-last", kTime, "23:59:59.99", "23:59:59.99"},
      {"time-hundredths-only", kTime, "10:00:00.05", "10:00:00.05"},
      {"time-empty", kTime, "", ""},
      {"time-raw", kTime, "#8640001", "#8640001"},
      {"money", kMoney, "1500.50", "1500.5"},
      {"money-negative", kMoney, "-0.25", "-0.25"},
      {"money-max", kMoney, "999999999.99", "999999999.99"},
      {"money-point-only", kMoney, "5.", "5"},
      {"money-empty", kMoney, "", "0"},
      {"share", kShare, "50.2525", "50.2525"},
      {"text-accents", kText, "S\xC3\xA3o J", "S\xC3\xA3o J"},
      {"text-trailing-blanks-dropped", kText, "ab  ", "ab"},
      {"text-leading-blanks-kept", kText, "  ab", "  ab"},
      {"text-euro-sign", kText,
       "\xE2\x82\xAC"
       "5",
       "\xE2\x82\xAC"
       "5"},
  };
  for (const GoodCase& c : cases) {
    char element[8] = {};
    ASSERT_TRUE(ParseFieldValue(c.field, c.text, element).ok()) << c.id;
    std::string written;
    ASSERT_TRUE(FormatFieldValue(c.field, element, &written).ok()) << c.id;
    EXPECT_EQ(written, c.written) << c.id;
  }
}

TEST(FieldValueTest, StoresTheRecordsOwnForms) {
  char element[8] = {};
  ASSERT_TRUE(ParseFieldValue(kDate, "2014-01-01", element).ok());
  int32_t day = 0;
  std::memcpy(&day, element, 4);
  EXPECT_EQ(day, 77801);
  ASSERT_TRUE(ParseFieldValue(kTime, "00:00:00.01", element).ok());
  int32_t time = 0;
  std::memcpy(&time, element, 4);
  EXPECT_EQ(time, 2);
  ASSERT_TRUE(ParseFieldValue(kMoney, "-12.5", element).ok());
  EXPECT_EQ(std::string(element, 6), std::string("\x00\x00\x00\x01\x25\x0D", 6));
  ASSERT_TRUE(ParseFieldValue(kText, "\xC3\xA7", element).ok());
  EXPECT_EQ(std::string(element, 5), "\xE7    ");
}

struct BadCase {
  const char* id;
  const FieldDeclaration& field;
  const char* text;
  const char* problem;
};

TEST(FieldValueTest, RefusesValuesThatDoNotFit) {
  const BadCase cases[] = {
      {"byte-over", kByte, "256", "\"256\" is out of range for BYTE (0 to 255)"},
      {"byte-negative", kByte, "-1", "\"-1\" is out of range for BYTE (0 to 255)"},
      {"short-over", kShort, "32768", "\"32768\" is out of range for SHORT (-32768 to 32767)"},
      {"ulong-over", kULong, "4294967296",
       "\"4294967296\" is out of range for ULONG (0 to 4294967295)"},
      {"huge", kLong, "99999999999999999999",
       "\"99999999999999999999\" is out of range for LONG (-2147483648 to 2147483647)"},
      {"letters", kLong, "12a", "\"12a\" is not a number"},
      {"fraction", kLong, "1.5", "\"1.5\" is not a whole number"},
      {"date-slashes", kDate, "01/02/2014", "\"01/02/2014\" is not a date: write YYYY-MM-DD"},
      {"date-plain-number", kDate, "20140101", "\"20140101\" is not a date: write YYYY-MM-DD"},
      {"date-feb-30", kDate, "2014-02-30",
       "\"2014-02-30\" is not a date of the calendar (1801-01-01 to 9999-12-31)"},
      {"date-not-leap", kDate, "2015-02-29",
       "\"2015-02-29\" is not a date of the calendar (1801-01-01 to 9999-12-31)"},
      {"date-before-calendar", kDate, "1800-12-31",
       "\"1800-12-31\" is not a date of the calendar (1801-01-01 to 9999-12-31)"},
      {"date-month-13", kDate, "2014-13-01",
       "\"2014-13-01\" is not a date of the calendar (1801-01-01 to 9999-12-31)"},
      {"time-24", kTime, "24:00", "\"24:00\" is not a time of day (00:00 to 23:59:59.99)"},
      {"time-minutes", kTime, "10:60", "\"10:60\" is not a time of day (00:00 to 23:59:59.99)"},
      {"time-one-hundredth-digit", kTime, "10:00:00.5",
       "\"10:00:00.5\" is not a time: write HH:MM, HH:MM:SS or HH:MM:SS.cc"},
      {"time-words", kTime, "noon", "\"noon\" is not a time: write HH:MM, HH:MM:SS or HH:MM:SS.cc"},
      {"money-comma", kMoney, "1,50",
       "\"1,50\" is not a number (decimals are written with a \".\" point)"},
      {"money-places", kMoney, "1.005",
       "\"1.005\" has more than the 2 decimal places of DECIMAL(11,2)"},
      {"money-over", kMoney, "1000000000",
       "\"1000000000\" is out of range for DECIMAL(11,2) (at most 9 digits before the point)"},
      {"money-words", kMoney, "abc", "\"abc\" is not a number"},
      {"text-long", kText,
       "\xC3\xA1"
       "bcdef",
       "text of 6 characters is too long for STRING(5)"},
      {"text-not-cp1252", kText, "a\xE2\x88\x9E",
       "the text holds \"\xE2\x88\x9E\" (character 2), which Windows-1252 cannot hold"},
      {"text-broken-utf8", kText, "ab\xC3", "the text is not valid UTF-8 (character 3)"},
      // A UTF-16 surrogate written as UTF-8 is no character (it used to pass as one).
      {"text-surrogate", kText, "a\xED\xA0\x80", "the text is not valid UTF-8 (character 2)"},
      {"text-overlong", kText, "\xE0\x80\xAF", "the text is not valid UTF-8 (character 1)"},
      {"text-c1-control", kText, "\xC2\x85",
       "the text holds \"\\u0085\" (character 1), which Windows-1252 cannot hold"},
  };
  for (const BadCase& c : cases) {
    char element[8] = {};
    const runtime::Status status = ParseFieldValue(c.field, c.text, element);
    EXPECT_FALSE(status.ok()) << c.id;
    EXPECT_EQ(status.message(), c.problem) << c.id;
  }
}

TEST(FieldValueTest, AProblemQuotesAtMostAFewDozenCharactersOnOneLine) {
  const std::string digits(10000000, '7');
  const std::string head = "\"" + std::string(kQuotedCharacters, '7') + "\"... (10000000 bytes)";
  const struct {
    const char* id;
    const FieldDeclaration& field;
    std::string text;
    std::string problem;
  } cases[] = {
      {"long-number", kLong, digits,
       head + " is out of range for LONG (-2147483648 to 2147483647)"},
      {"long-decimal", kMoney, digits, head + " is out of range: number too large"},
      {"long-date", kDate, digits, head + " is not a date: write YYYY-MM-DD"},
      {"line-breaks", kByte, "1\r\n\t2", "\"1\\r\\n\\t2\" is not a number"},
  };
  for (const auto& c : cases) {
    char element[8] = {};
    EXPECT_EQ(ParseFieldValue(c.field, c.text, element).message(), c.problem) << c.id;
  }
}

TEST(FieldValueTest, ADamagedPackedDecimalIsReportedNotGuessed) {
  const char element[6] = {0x00, 0x00, 0x00, 0x0A, 0x00, 0x00};
  std::string out;
  EXPECT_FALSE(FormatFieldValue(kMoney, element, &out).ok());
}

}  // namespace
}  // namespace tools
