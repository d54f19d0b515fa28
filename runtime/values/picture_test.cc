#include "runtime/values/picture.h"

#include <gtest/gtest.h>

#include "runtime/values/date_time.h"

namespace runtime {
namespace {

struct NumberCase {
  const char* id;
  Decimal value;
  const char* picture;
  const char* expected;
};

TEST(PictureTest, Numbers) {
  const NumberCase cases[] = {
      {"n-1", Decimal(12, 0), "n-14", "            12"},
      {"n-2", Decimal(-12, 0), "n-14", "           -12"},
      {"n-3", Decimal(1234567, 0), "n-14", "       1234567"},  // no thousands separators
      {"n-4", Decimal(0, 0), "n-14", "             0"},
      {"n-5", Decimal(150050, 2), "n-15.2", "        1500.50"},
      {"n-6", Decimal(-310, 2), "n-15.2", "          -3.10"},
      {"n-7", Decimal(25, 2), "n-15.2", "           0.25"},
      {"n-8", Decimal(0, 2), "n-15.2", "           0.00"},
      {"n-9", Decimal(5, 3), "n-10.2", "      0.01"},  // 0.005 rounds away from zero
      {"n-10", Decimal(-5, 3), "n-10.2", "     -0.01"},
      {"n-11", Decimal(-4, 3), "n-10.2", "      0.00"},      // rounds to zero: no minus
      {"n-12", Decimal(123456, 4), "n-10.2", "     12.35"},  // DECIMAL(7,4) brought to 2 places
      {"n-13", Decimal(15, 0), "n-10.2", "     15.00"},
      {"n-14", Decimal(999999999, 2), "n-10.2", "9999999.99"},   // exactly the width
      {"n-15", Decimal(-999999999, 2), "n-10.2", "##########"},  // one too wide
      {"n-16", Decimal(12345678901234, 0), "n014", "12345678901234"},
      {"n-17", Decimal(191, 0), "n014", "00000000000191"},
      {"n-18", Decimal(123456789012345, 0), "n014", "##############"},
      {"n-19", Decimal(-123, 0), "n014", "-0000000000123"},
      {"n-20", Decimal(125, 1), "n014", "00000000000013"},
      {"n-21", Decimal::Overflowed(), "n-14", "##############"},
      {"n-22", Decimal(9223372036854775807, 0), "n-15.2", "###############"},  // no room to scale
      {"n-23", Decimal(12, 0), "@N-14", "            12"},
      {"n-24", Decimal(-12, 0), "n5", "  -12"},  // a negative value keeps its sign
      {"n-25", Decimal(125, 2), "n05.1", "001.3"},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(Format(c.value, c.picture), c.expected) << c.id;
  }
  EXPECT_EQ(Format(int64_t{-9223372036854775807 - 1}, "n-20"), "-9223372036854775808");
  EXPECT_EQ(Format(int64_t{-9223372036854775807 - 1}, "n-19"), "###################");
}

struct PatternCase {
  const char* id;
  int64_t value;
  const char* picture;
  const char* expected;
};

TEST(PictureTest, Patterns) {
  const PatternCase cases[] = {
      {"p-1", 12345678901, "p###.###.###-##p", "123.456.789-01"},
      {"p-2", 1234567890, "p###.###.###-##p", "012.345.678-90"},
      {"p-3", 0, "p###.###.###-##p", "000.000.000-00"},
      {"p-4", 123456789012, "p###.###.###-##p", "##############"},
      {"p-5", 12, "p########p", "00000012"},
      {"p-6", 99999999, "p########p", "99999999"},
      {"p-7", 100000000, "p########p", "########"},
      {"p-8", 2014, "p####p", "2014"},
      {"p-9", 7, "p####p", "0007"},
      {"p-10", -7, "p####p", "####"},
      {"p-11", 42, "p<<<#p", "  42"},
      {"p-12", 0, "p<<#p", "  0"},
      {"p-13", 305, "P<<<.<##P", "   .305"},
      {"p-14", 12, "@P####P", "0012"},
  };
  for (const PatternCase& c : cases) {
    EXPECT_EQ(Format(c.value, c.picture), c.expected) << c.id;
  }
  EXPECT_EQ(Format(Decimal(125, 1), "p####p"), "0013");
}

TEST(PictureTest, StringsCutOrPad) {
  EXPECT_EQ(FormatText("ACME LTDA", "s12"), "ACME LTDA   ");
  EXPECT_EQ(FormatText("ACME LTDA", "s4"), "ACME");
  EXPECT_EQ(FormatText("", "s3"), "   ");
  EXPECT_EQ(FormatText("Jo\xE3o", "@S5"), "Jo\xE3o ");
  EXPECT_EQ(Format(Decimal(150050, 2), "s8"), "1500.5  ");
  EXPECT_EQ(FormatText(std::string(300, 'x'), "s255"), std::string(255, 'x'));
}

// Text with a number picture is read as a number first: a CPF or CNPJ shown with its pattern,
// and both sides of a CNPJ comparison brought to 14 digits.
TEST(PictureTest, TextReadAsNumberForNumberPictures) {
  EXPECT_EQ(FormatText("12345678901", "p###.###.###-##p"), "123.456.789-01");
  EXPECT_EQ(FormatText("01234567890", "p###.###.###-##p"), "012.345.678-90");
  EXPECT_EQ(FormatText("           ", "p###.###.###-##p"), "000.000.000-00");
  EXPECT_EQ(FormatText("123.456.789-01", "p###.###.###-##p"), "000.000.000-00");
  EXPECT_EQ(FormatText("191", "n014"), FormatText("00000000000191", "n014"));
  EXPECT_EQ(FormatText("  191  ", "n014"), "00000000000191");
  EXPECT_EQ(FormatText("1500.5", "n-15.2"), "        1500.50");
}

TEST(PictureTest, DatesAndTimes) {
  const int32_t date = DATE(3, 7, 2014);
  const int32_t time = MakeTime(9, 5, 3, 99);
  EXPECT_EQ(Format(date, "d6"), "07/03/2014");
  EXPECT_EQ(Format(date, "@D17"), "07/03/2014");
  EXPECT_EQ(Format(kFirstDate, "d6"), "01/01/1801");
  EXPECT_EQ(Format(kLastDate, "d17"), "31/12/9999");
  EXPECT_EQ(Format(0, "d6"), "          ");  // no date
  EXPECT_EQ(Format(kLastDate + 1, "d6"), "##########");
  EXPECT_EQ(Format(Decimal(778015, 1), "d6"), "##########");  // a fraction is no day
  EXPECT_EQ(Format(time, "t4"), "09:05:03");
  EXPECT_EQ(Format(time, "@T8"), "09:05:03");
  EXPECT_EQ(Format(1, "t8"), "00:00:00");
  EXPECT_EQ(Format(kLastTime, "t8"), "23:59:59");
  EXPECT_EQ(Format(0, "t8"), "        ");  // no time
  EXPECT_EQ(Format(kLastTime + 1, "t8"), "########");
  EXPECT_EQ(Format(-1, "t4"), "########");
}

TEST(PictureTest, UnsupportedPicturesGiveNothing) {
  for (const char* picture :
       {"",   "@",    "n",  "n-", "n0",  "n-14x", "n10.", "n10.10", "n1025", "s",
        "s0", "s12a", "p#", "pp", "p##", "d5",    "d",    "t1",     "x10",   "@@n5"}) {
    EXPECT_FALSE(IsValidPicture(picture)) << picture;
    EXPECT_EQ(Format(int64_t{1}, picture), "") << picture;
    EXPECT_EQ(FormatText("1", picture), "") << picture;
  }
  for (const char* picture : {"n-14", "n-15.2", "n-10.2", "n014", "s40", "s50", "p###.###.###-##p",
                              "p########p", "p####p", "d17", "t8", "n1024", "p-p"}) {
    EXPECT_TRUE(IsValidPicture(picture)) << picture;
  }
}

}  // namespace
}  // namespace runtime
