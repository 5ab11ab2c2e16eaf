#include "sys/Clock.h"

#include <atomic>

namespace {

Win32Clock g_win32Clock;
std::atomic<Clock*> g_clock{nullptr};

}  // namespace

SYSTEMTIME Win32Clock::LocalTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return st;
}

uint64_t Win32Clock::MonotonicMs() {
  // The frequency is fixed at boot, so one query serves the whole process.
  static const uint64_t frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<uint64_t>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return CounterToMs(static_cast<uint64_t>(counter.QuadPart), frequency);
}

uint64_t Win32Clock::UpTimeMs() {
  return GetTickCount64();
}

Clock& SystemClock() {
  Clock* clock = g_clock.load(std::memory_order_acquire);
  return clock ? *clock : g_win32Clock;
}

Clock* SetSystemClock(Clock* clock) {
  Clock* previous = g_clock.exchange(clock, std::memory_order_acq_rel);
  return previous ? previous : &g_win32Clock;
}

ClockReading ReadClock() {
  Clock& clock = SystemClock();
  ClockReading reading;
  reading.local = clock.LocalTime();
  reading.monotonicMs = clock.MonotonicMs();
  reading.upTimeMs = clock.UpTimeMs();
  return reading;
}

namespace {

constexpr int64_t kFileTimeUnitsPerSecond = 10000000;

int64_t ToFileTimeSeconds(SYSTEMTIME time) {
  time.wMilliseconds = 0;
  FILETIME ft;
  if (!SystemTimeToFileTime(&time, &ft))
    return 0;
  ULARGE_INTEGER units;
  units.LowPart = ft.dwLowDateTime;
  units.HighPart = ft.dwHighDateTime;
  return static_cast<int64_t>(units.QuadPart / kFileTimeUnitsPerSecond);
}

}  // namespace

int64_t SecondsBetween(const SYSTEMTIME& from, const SYSTEMTIME& to) {
  return ToFileTimeSeconds(to) - ToFileTimeSeconds(from);
}

SYSTEMTIME AddSeconds(const SYSTEMTIME& time, int64_t seconds) {
  FILETIME ft;
  if (!SystemTimeToFileTime(&time, &ft))
    return time;
  ULARGE_INTEGER units;
  units.LowPart = ft.dwLowDateTime;
  units.HighPart = ft.dwHighDateTime;
  units.QuadPart += static_cast<uint64_t>(seconds * kFileTimeUnitsPerSecond);
  ft.dwLowDateTime = units.LowPart;
  ft.dwHighDateTime = units.HighPart;
  SYSTEMTIME moved = time;
  FileTimeToSystemTime(&ft, &moved);
  return moved;
}

uint64_t CounterToMs(uint64_t counter, uint64_t frequency) {
  if (frequency == 0)
    return 0;
  const uint64_t kNsPerSecond = 1000000000ull;
  uint64_t ns =
      (counter % frequency) * kNsPerSecond / frequency + (counter / frequency) * kNsPerSecond;
  return ns / 1000000ull;
}
