#pragma once

#include <windows.h>

#include "sys/Handles.h"

// A Windows auto-reset event, created non-signalled: one Signal releases one Wait.
class AutoResetEvent {
 public:
  AutoResetEvent() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

  void Signal() { SetEvent(event_.get()); }
  // True when signalled within `ms` milliseconds, false on time-out.
  bool Wait(DWORD ms) { return WaitForSingleObject(event_.get(), ms) == WAIT_OBJECT_0; }
  // As Wait, but dispatches the calling thread's messages meanwhile, so that windows COM or the
  // shell created on a single-threaded apartment thread keep answering.
  bool WaitPumpingMessages(DWORD ms);

 private:
  ScopedHandle event_;
};
