#pragma once

#include <mutex>

#include "sys/Clock.h"

// A clock that tests move by hand. Installed as the system clock for its lifetime; safe to read
// from the scheduler thread while the test advances it.
class FakeClock : public Clock {
 public:
  FakeClock();
  ~FakeClock() override;
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  void SetLocal(int year, int month, int day, int hour, int minute, int second);
  void SetMonotonicMs(uint64_t ms);
  void SetUpTimeMs(uint64_t ms);
  // Moves all three clocks forward together; local time rolls over days, months and years.
  void AdvanceMs(uint64_t ms);
  void AdvanceSeconds(uint64_t seconds) { AdvanceMs(seconds * 1000); }

  SYSTEMTIME LocalTime() override;
  uint64_t MonotonicMs() override;
  uint64_t UpTimeMs() override;

 private:
  std::mutex mutex_;
  SYSTEMTIME local_ = {};
  uint64_t monotonic_ = 1000000;
  uint64_t upTime_ = 3600000;
  Clock* previous_ = nullptr;
};

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second);
