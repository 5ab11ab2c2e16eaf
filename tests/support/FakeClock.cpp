#include "tests/support/FakeClock.h"

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  st.wSecond = static_cast<WORD>(second);
  // Fill in the day of the week the way GetLocalTime would.
  FILETIME ft;
  if (SystemTimeToFileTime(&st, &ft))
    FileTimeToSystemTime(&ft, &st);
  return st;
}

FakeClock::FakeClock() {
  local_ = MakeTime(2024, 5, 1, 12, 0, 0);
  previous_ = SetSystemClock(this);
}

FakeClock::~FakeClock() {
  SetSystemClock(previous_);
}

void FakeClock::SetLocal(int year, int month, int day, int hour, int minute, int second) {
  std::lock_guard<std::mutex> lock(mutex_);
  local_ = MakeTime(year, month, day, hour, minute, second);
}

void FakeClock::SetMonotonicMs(uint64_t ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  monotonic_ = ms;
}

void FakeClock::SetUpTimeMs(uint64_t ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  upTime_ = ms;
}

void FakeClock::AdvanceMs(uint64_t ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  FILETIME ft;
  SystemTimeToFileTime(&local_, &ft);
  ULARGE_INTEGER ticks;
  ticks.LowPart = ft.dwLowDateTime;
  ticks.HighPart = ft.dwHighDateTime;
  ticks.QuadPart += ms * 10000;  // FILETIME counts 100 ns units
  ft.dwLowDateTime = ticks.LowPart;
  ft.dwHighDateTime = ticks.HighPart;
  FileTimeToSystemTime(&ft, &local_);
  monotonic_ += ms;
  upTime_ += ms;
}

SYSTEMTIME FakeClock::LocalTime() {
  std::lock_guard<std::mutex> lock(mutex_);
  return local_;
}

uint64_t FakeClock::MonotonicMs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return monotonic_;
}

uint64_t FakeClock::UpTimeMs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return upTime_;
}
