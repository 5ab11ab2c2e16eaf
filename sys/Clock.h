#pragma once

#include <windows.h>

#include <cstdint>

// The clocks that schedules run on. Everything time-dependent reads them through
// SystemClock(), so a test can install its own clock and drive time without sleeping.
class Clock {
 public:
  virtual ~Clock() = default;
  // Current local wall-clock time.
  virtual SYSTEMTIME LocalTime() = 0;
  // Milliseconds of a monotonic clock with an arbitrary origin; only differences mean anything.
  virtual uint64_t MonotonicMs() = 0;
  // Milliseconds since the computer started.
  virtual uint64_t UpTimeMs() = 0;
};

// The operating system's clocks.
class Win32Clock : public Clock {
 public:
  SYSTEMTIME LocalTime() override;
  uint64_t MonotonicMs() override;
  uint64_t UpTimeMs() override;
};

// One reading of the three clocks, so that everything decided in one moment sees one time.
struct ClockReading {
  SYSTEMTIME local = {};
  uint64_t monotonicMs = 0;
  uint64_t upTimeMs = 0;
};

// The clock in force: the Win32 clock unless a test installed another one.
Clock& SystemClock();
// Installs `clock` (borrowed; it must outlive its installation) and returns the previous one.
// nullptr reinstalls the Win32 clock. Install before any thread reads the clock.
Clock* SetSystemClock(Clock* clock);
// Reads all three clocks of SystemClock().
ClockReading ReadClock();

// Whole seconds from `from` to `to` (negative when `to` is earlier); milliseconds are ignored.
int64_t SecondsBetween(const SYSTEMTIME& from, const SYSTEMTIME& to);
// `time` moved by `seconds`, rolling over minutes, days, months and years.
SYSTEMTIME AddSeconds(const SYSTEMTIME& time, int64_t seconds);

// Milliseconds from a performance-counter reading and its frequency; whole seconds and the
// remainder are scaled apart so that the product never overflows 64 bits.
uint64_t CounterToMs(uint64_t counter, uint64_t frequency);
