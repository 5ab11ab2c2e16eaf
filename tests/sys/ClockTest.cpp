#include "sys/Clock.h"

#include <gtest/gtest.h>

#include "tests/support/FakeClock.h"

TEST(CounterToMs, ScalesWithoutOverflow) {
  EXPECT_EQ(CounterToMs(0, 10000000), 0u);
  EXPECT_EQ(CounterToMs(10000000, 10000000), 1000u);
  EXPECT_EQ(CounterToMs(12345678, 10000000), 1234u);
  // A counter a naive count * 1e9 would overflow: about 29 years at 10 MHz.
  const uint64_t counter = 9223372036854775ull;
  EXPECT_EQ(CounterToMs(counter, 10000000), counter / 10000);
  EXPECT_EQ(CounterToMs(3000000001ull, 3000000000ull), 1000u);
  EXPECT_EQ(CounterToMs(5, 0), 0u) << "a missing frequency must not divide by zero";
}

TEST(SystemClock, FakeClockReplacesAndRestoresTheWin32Clock) {
  Clock* before = &SystemClock();
  {
    FakeClock fake;
    fake.SetLocal(2024, 12, 31, 23, 59, 59);
    EXPECT_EQ(&SystemClock(), &fake);
    fake.AdvanceSeconds(1);
    SYSTEMTIME t = SystemClock().LocalTime();
    EXPECT_EQ(t.wYear, 2025);
    EXPECT_EQ(t.wMonth, 1);
    EXPECT_EQ(t.wDay, 1);
    EXPECT_EQ(t.wHour, 0);
    EXPECT_EQ(t.wSecond, 0);
  }
  EXPECT_EQ(&SystemClock(), before);
  uint64_t a = SystemClock().MonotonicMs();
  Sleep(20);
  uint64_t b = SystemClock().MonotonicMs();
  EXPECT_GE(b - a, 10u);
  EXPECT_LT(b - a, 5000u);
}
