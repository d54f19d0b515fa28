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

// The clock under TODAY and CLOCK; tests install a fixed one. Implementations must be safe to call
// from any thread.
class Clock {
 public:
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;
  virtual ~Clock() = default;
  // Today's day number and the time of day (a time value, 1 = midnight), both in local time.
  virtual int32_t Today() const = 0;
  virtual int32_t TimeOfDay() const = 0;
};

// The operating system's clock in local time; lives for the whole process.
const Clock& SystemClock();

// A clock that shows what it is told; for tests. Not thread-safe while being set.
class FixedClock : public Clock {
 public:
  FixedClock(int32_t today, int32_t time) : today_(today), time_(time) {}
  int32_t Today() const override { return today_; }
  int32_t TimeOfDay() const override { return time_; }
  void set_today(int32_t today) { today_ = today; }
  void set_time(int32_t time) { time_ = time; }

 private:
  int32_t today_;
  int32_t time_;
};

// Installs `clock` for the process (null restores the system clock). `clock` must outlive its use.
void SetClock(const Clock* clock);

}  // namespace runtime
