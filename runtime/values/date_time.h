// Dates and times as the records keep them: day numbers of the standard calendar and hundredths
// of a second after midnight. 0 means "no date" / "no time".
#pragma once

#include <cstdint>

namespace runtime {

// The first and last day numbers of the calendar: 1 January 1801 and 31 December 9999.
inline constexpr int32_t kFirstDate = 4;
inline constexpr int32_t kLastDate = 2994626;
// The last time value of a day: 23:59:59.99 (1 is midnight).
inline constexpr int32_t kLastTime = 24 * 360000;

// Day 4 is 1 January 1801; day 77801 is 1 January 2014; day 2994626 is 31 December 9999.
// Out-of-range parts are normalised the classic way: month 13 of 2014 is January 2015, month 0 is
// December of the year before, day 0 is the last day of the month before and day 32 of January is
// 1 February. A result outside 1801..9999 gives 0.
int32_t DATE(int month, int day, int year);
// Year, month (1-12) and day of the month of a day number; 0 for 0 or a day out of range.
int YEAR(int32_t date);
int MONTH(int32_t date);
int DAY(int32_t date);
struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
};
// The calendar date of a day number; all zero for 0 or a day out of range.
CivilDate ToCivil(int32_t date);
// Hours, minutes, seconds and hundredths of a time value; 1 is midnight. All zero for 0 or a
// value past the end of a day.
struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int hundredths = 0;
};
TimeOfDay ToTimeOfDay(int32_t time);
// The time value of a time of day; 0 when the parts add up to a time outside one day.
int32_t MakeTime(int hour, int minute, int second, int hundredths);

}  // namespace runtime
