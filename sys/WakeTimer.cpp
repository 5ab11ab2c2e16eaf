#include "sys/WakeTimer.h"

WakeTimer::WakeTimer() : timer_(CreateWaitableTimerW(nullptr, TRUE, nullptr)) {}

bool WakeTimer::ArmAt(const SYSTEMTIME& at) {
  // The time zone's rules for that date, so that a moment across a change of summer time
  // still falls on the right wall-clock second.
  SYSTEMTIME utc;
  FILETIME due;
  if (!timer_ || !TzSpecificLocalTimeToSystemTime(nullptr, &at, &utc) ||
      !SystemTimeToFileTime(&utc, &due))
    return false;
  LARGE_INTEGER when;
  when.LowPart = due.dwLowDateTime;
  when.HighPart = static_cast<LONG>(due.dwHighDateTime);
  // A system without wake support still arms the timer; it answers success and sets
  // ERROR_NOT_SUPPORTED, which changes nothing here.
  return SetWaitableTimer(timer_.get(), &when, 0, nullptr, nullptr, TRUE) != FALSE;
}

void WakeTimer::Cancel() {
  if (timer_)
    CancelWaitableTimer(timer_.get());
}

bool WakeTimer::IsSignalled() const {
  return timer_ && WaitForSingleObject(timer_.get(), 0) == WAIT_OBJECT_0;
}

void KeepSystemAwakeBriefly() {
  SetThreadExecutionState(ES_SYSTEM_REQUIRED);
}
