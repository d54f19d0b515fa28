// The runtime's clock: today's day number and the time of day (TODAY, CLOCK), from the operating
// system or, in tests, from a clock that shows what it is told.
#pragma once

#include <cstdint>

namespace runtime {

// Today's day number and the time of day (hundredths of a second after midnight, plus one),
// from the installed clock.
int32_t TODAY();
int32_t CLOCK();

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
