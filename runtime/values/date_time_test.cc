#include "runtime/values/date_time.h"

#include <gtest/gtest.h>

namespace runtime {
namespace {

struct DateCase {
  const char* id;
  int month;
  int day;
  int year;
  int32_t expected;
};

// DATE with plain and out-of-range parts.
constexpr DateCase kDateCases[] = {
    {"date-1", 1, 1, 1801, 4},
    {"date-2", 1, 1, 2014, 77801},
    {"date-3", 12, 31, 9999, 2994626},
    {"date-4", 12, 31, 2014, 78165},
    {"date-5", 2, 29, 2000, 72746},  // leap century
    {"date-6", 2, 29, 1900, 36222},  // not a leap year: 1 March 1900
    {"date-7", 3, 1, 1900, 36222},
    {"date-8", 13, 1, 2014, 78166},    // month 13 is January of the next year
    {"date-9", 0, 1, 2014, 77770},     // month 0 is December of the year before
    {"date-10", 1, 0, 2014, 77800},    // day 0 is the last day of the month before
    {"date-11", 3, 0, 2016, 78590},    // 29 February 2016
    {"date-12", 1, 32, 2014, 77832},   // 1 February 2014
    {"date-13", 25, 1, 2012, 77801},   // two years of months
    {"date-14", -11, 1, 2015, 77801},  // negative months count back
    {"date-15", 1, 366, 2013, 77801},  // day of the year
    {"date-16", 12, 31, 1800, 0},      // before the calendar
    {"date-17", 1, 0, 1801, 0},
    {"date-18", 1, 1, 10000, 0},  // after it
    {"date-19", 13, 1, 9999, 0},
    {"date-20", 1, 1, 0, 0},  // no year
    {"date-21", 0, 0, 0, 0},
    {"date-22", 2147483647, 2147483647, 2147483647, 0},  // no overflow on extreme parts
    {"date-23", -2147483647 - 1, -2147483647 - 1, -2147483647 - 1, 0},
};

TEST(DateTimeTest, DateNormalisesParts) {
  for (const DateCase& c : kDateCases) {
    EXPECT_EQ(DATE(c.month, c.day, c.year), c.expected) << c.id;
  }
}

struct CivilCase {
  const char* id;
  int32_t date;
  int year;
  int month;
  int day;
};

constexpr CivilCase kCivilCases[] = {
    {"civil-1", 4, 1801, 1, 1},
    {"civil-2", 77801, 2014, 1, 1},
    {"civil-3", 2994626, 9999, 12, 31},
    {"civil-4", 72746, 2000, 2, 29},
    {"civil-5", 0, 0, 0, 0},
    {"civil-6", 3, 0, 0, 0},
    {"civil-7", 2994627, 0, 0, 0},
    {"civil-8", -5, 0, 0, 0},
};

TEST(DateTimeTest, YearMonthDayOfDayNumbers) {
  for (const CivilCase& c : kCivilCases) {
    EXPECT_EQ(YEAR(c.date), c.year) << c.id;
    EXPECT_EQ(MONTH(c.date), c.month) << c.id;
    EXPECT_EQ(DAY(c.date), c.day) << c.id;
  }
}

TEST(DateTimeTest, EveryDayRoundTripsAndFollowsTheDayBefore) {
  CivilDate previous = ToCivil(kFirstDate);
  for (int32_t date = kFirstDate + 1; date <= kLastDate; ++date) {
    const CivilDate civil = ToCivil(date);
    ASSERT_EQ(DATE(civil.month, civil.day, civil.year), date);
    // The next day is either the next day of the month or the first of the next month.
    const bool next_day = civil.day == previous.day + 1 && civil.month == previous.month;
    const bool next_month =
        civil.day == 1 &&
        (civil.month == previous.month + 1 ||
         (civil.month == 1 && previous.month == 12 && civil.year == previous.year + 1));
    ASSERT_TRUE(next_day || next_month) << date;
    previous = civil;
  }
}

struct TimeCase {
  const char* id;
  int hour;
  int minute;
  int second;
  int hundredths;
  int32_t expected;
};

constexpr TimeCase kTimeCases[] = {
    {"time-1", 0, 0, 0, 0, 1},  // midnight
    {"time-2", 0, 0, 0, 1, 2},
    {"time-3", 12, 30, 15, 50, 4501551},
    {"time-4", 23, 59, 59, 99, kLastTime},
    {"time-5", 24, 0, 0, 0, 0},                   // past the day
    {"time-6", 0, 0, 0, -1, 0},                   // before it
    {"time-7", 2147483647, 2147483647, 0, 0, 0},  // no overflow
};

TEST(DateTimeTest, TimeValues) {
  for (const TimeCase& c : kTimeCases) {
    EXPECT_EQ(MakeTime(c.hour, c.minute, c.second, c.hundredths), c.expected) << c.id;
    if (c.expected == 0) continue;
    const TimeOfDay parts = ToTimeOfDay(c.expected);
    EXPECT_EQ(parts.hour, c.hour) << c.id;
    EXPECT_EQ(parts.minute, c.minute) << c.id;
    EXPECT_EQ(parts.second, c.second) << c.id;
    EXPECT_EQ(parts.hundredths, c.hundredths) << c.id;
  }
  EXPECT_EQ(ToTimeOfDay(0).hour + ToTimeOfDay(0).minute, 0);
  EXPECT_EQ(ToTimeOfDay(kLastTime + 1).hour, 0);
}

}  // namespace
}  // namespace runtime
