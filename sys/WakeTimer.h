#pragma once

#include <windows.h>

#include "sys/Handles.h"

// One waitable timer of this process, armed with resume: when it falls due while the computer
// sleeps, the system wakes it (where the hardware and the power options allow wake timers;
// where they do not, the timer still falls due, at the latest when the computer is woken by
// other means). Nothing waits on it: waking is all it is for. Any thread; the system serialises
// the calls.
class WakeTimer {
 public:
  WakeTimer();
  WakeTimer(const WakeTimer&) = delete;
  WakeTimer& operator=(const WakeTimer&) = delete;

  // Arms the timer at the local time `at`, replacing any earlier moment, and makes it
  // non-signalled until then. False when the time cannot be converted or the system refused.
  bool ArmAt(const SYSTEMTIME& at);
  // Nothing falls due any more; the signalled state stays as it was.
  void Cancel();
  // Whether the moment last armed has come.
  bool IsSignalled() const;

 private:
  ScopedHandle timer_;
};

// Resets the system's idle timer once, so that a computer that a timer woke without a user
// does not go back to sleep before the task it woke for has run.
void KeepSystemAwakeBriefly();
