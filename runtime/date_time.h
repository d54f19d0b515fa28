// Dates and times as the records keep them: day numbers of the standard calendar and hundredths
// of a second after midnight. 0 means "no date" / "no time".
#pragma once

#include <cstdint>

namespace runtime {

// Day 4 is 1 January 1801; day 77801 is 1 January 2014; day 2994626 is 31 December 9999.
// Out-of-range parts are normalised the classic way: month 13 of 2014 is January 2015, day 0 is
// the last day of the month before. Years outside 1801..9999 give 0.
int32_t DATE(int month, int day, int year);
// Year, month (1-12) and day of the month of a day number; 0 for 0 or a day out of range.
int YEAR(int32_t date);
int MONTH(int32_t date);
int DAY(int32_t date);
// Today's day number and the time of day (hundredths of a second after midnight, plus one),
// from the runtime's clock.
int32_t TODAY();
int32_t CLOCK();

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
};
// The calendar date of a day number; all zero for 0 or a day out of range.
CivilDate ToCivil(int32_t date);
// Hours, minutes, seconds and hundredths of a time value; 1 is midnight.
struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int hundredths = 0;
};
TimeOfDay ToTimeOfDay(int32_t time);
int32_t MakeTime(int hour, int minute, int second, int hundredths);

// The clock under TODAY and CLOCK; tests install a fixed one.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual int32_t Today() const = 0;
  virtual int32_t TimeOfDay() const = 0;
};
// Installs `clock` for the process (null restores the system clock). `clock` must outlive its use.
void SetClock(const Clock* clock);

}  // namespace runtime
