#include "runtime/platform/clock.h"

#include <gtest/gtest.h>

#include "runtime/values/date_time.h"

namespace runtime {
namespace {

TEST(ClockTest, TodayAndClockComeFromTheInstalledClock) {
  FixedClock fixed(77801, MakeTime(8, 15, 0, 0));
  SetClock(&fixed);
  EXPECT_EQ(TODAY(), 77801);
  EXPECT_EQ(CLOCK(), 2970001);
  fixed.set_today(78165);
  EXPECT_EQ(TODAY(), 78165);
  SetClock(nullptr);
  // The system clock gives a real date and time.
  EXPECT_GE(YEAR(TODAY()), 2024);
  EXPECT_GE(CLOCK(), 1);
  EXPECT_LE(CLOCK(), kLastTime);
}

}  // namespace
}  // namespace runtime
