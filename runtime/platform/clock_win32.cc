// The system clock on Windows: local date and time of day from GetLocalTime.
#include "runtime/platform/clock.h"
#include "runtime/platform/windows_api_internal.h"
#include "runtime/values/date_time.h"

namespace runtime {
namespace {

class Win32Clock : public Clock {
 public:
  int32_t Today() const override {
    SYSTEMTIME local;
    GetLocalTime(&local);
    return DATE(local.wMonth, local.wDay, local.wYear);
  }

  int32_t TimeOfDay() const override {
    SYSTEMTIME local;
    GetLocalTime(&local);
    return MakeTime(local.wHour, local.wMinute, local.wSecond, local.wMilliseconds / 10);
  }
};

}  // namespace

const Clock& SystemClock() {
  static const Win32Clock clock;
  return clock;
}

}  // namespace runtime
