// The system clock on POSIX systems: local date and time of day from the operating system.
#include <sys/time.h>

#include <ctime>

#include "runtime/platform/clock.h"
#include "runtime/values/date_time.h"

namespace runtime {
namespace {

class PosixClock : public Clock {
 public:
  int32_t Today() const override {
    struct tm local {};
    if (!Now(&local, nullptr)) return 0;
    return DATE(local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
  }

  int32_t TimeOfDay() const override {
    struct tm local {};
    long microseconds = 0;
    if (!Now(&local, &microseconds)) return 0;
    // A leap second (tm_sec 60) is held at the last hundredth of the minute.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    const int hundredths = local.tm_sec > 59 ? 99 : static_cast<int>(microseconds / 10000);
    return MakeTime(local.tm_hour, local.tm_min, second, hundredths);
  }

 private:
  // Breaks the current time into local calendar parts; false when the system cannot tell.
  static bool Now(struct tm* local, long* microseconds) {
    struct timeval now {};
    if (gettimeofday(&now, nullptr) != 0) return false;
    const time_t seconds = now.tv_sec;
    if (localtime_r(&seconds, local) == nullptr) return false;
    if (microseconds != nullptr) *microseconds = static_cast<long>(now.tv_usec);
    return true;
  }
};

}  // namespace

const Clock& SystemClock() {
  static const PosixClock clock;
  return clock;
}

}  // namespace runtime
