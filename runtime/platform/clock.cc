// The clock under TODAY and CLOCK: the installed one, else the operating system's.
#include "runtime/platform/clock.h"

#include <atomic>

namespace runtime {
namespace {

std::atomic<const Clock*> installed_clock{nullptr};

const Clock& CurrentClock() {
  const Clock* clock = installed_clock.load(std::memory_order_acquire);
  return clock != nullptr ? *clock : SystemClock();
}

}  // namespace

int32_t TODAY() { return CurrentClock().Today(); }
int32_t CLOCK() { return CurrentClock().TimeOfDay(); }

void SetClock(const Clock* clock) { installed_clock.store(clock, std::memory_order_release); }

}  // namespace runtime
