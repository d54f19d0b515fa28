// Day numbers and time values: calendar arithmetic and the process clock.
#include "runtime/values/date_time.h"

namespace runtime {
namespace {

// Days from 1 January 1970 to the given date of the proleptic Gregorian calendar; `month` in
// 1..12. Exact for any year that fits an int64 many times over.
constexpr int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// The inverse of DaysFromCivil.
constexpr CivilDate CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t shifted_month = (5 * day_of_year + 2) / 153;
  const int64_t day = day_of_year - (153 * shifted_month + 2) / 5 + 1;
  const int64_t month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
  const int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  return CivilDate{static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

// Day numbers count from 28 December 1800 as day 0.
constexpr int64_t kDayNumberOffset = kFirstDate - DaysFromCivil(1801, 1, 1);
static_assert(DaysFromCivil(2014, 1, 1) + kDayNumberOffset == 77801);
static_assert(DaysFromCivil(9999, 12, 31) + kDayNumberOffset == kLastDate);

// Division rounding toward minus infinity.
constexpr int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && a < 0) ? 1 : 0); }

}  // namespace

int32_t DATE(int month, int day, int year) {
  // Month overflow moves into the year; the day then counts from the first of that month, so
  // day 0 and days past the month's end move across months.
  const int64_t month_index = static_cast<int64_t>(month) - 1;
  const int64_t full_year = static_cast<int64_t>(year) + FloorDiv(month_index, 12);
  const int64_t month_of_year = month_index - FloorDiv(month_index, 12) * 12 + 1;
  const int64_t date =
      DaysFromCivil(full_year, month_of_year, 1) + kDayNumberOffset + static_cast<int64_t>(day) - 1;
  if (date < kFirstDate || date > kLastDate) return 0;
  return static_cast<int32_t>(date);
}

CivilDate ToCivil(int32_t date) {
  if (date < kFirstDate || date > kLastDate) return CivilDate{};
  return CivilFromDays(static_cast<int64_t>(date) - kDayNumberOffset);
}

int YEAR(int32_t date) { return ToCivil(date).year; }
int MONTH(int32_t date) { return ToCivil(date).month; }
int DAY(int32_t date) { return ToCivil(date).day; }

TimeOfDay ToTimeOfDay(int32_t time) {
  if (time < 1 || time > kLastTime) return TimeOfDay{};
  const int32_t hundredths = time - 1;
  return TimeOfDay{hundredths / 360000, hundredths / 6000 % 60, hundredths / 100 % 60,
                   hundredths % 100};
}

int32_t MakeTime(int hour, int minute, int second, int hundredths) {
  const int64_t value = static_cast<int64_t>(hour) * 360000 + static_cast<int64_t>(minute) * 6000 +
                        static_cast<int64_t>(second) * 100 + hundredths + 1;
  if (value < 1 || value > kLastTime) return 0;
  return static_cast<int32_t>(value);
}

}  // namespace runtime
