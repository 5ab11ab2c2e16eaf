#pragma once

#include <windows.h>

// A Windows auto-reset event, created non-signalled: one Signal releases one Wait.
class AutoResetEvent {
 public:
  AutoResetEvent() : handle_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~AutoResetEvent() {
    if (handle_)
      CloseHandle(handle_);
  }
  AutoResetEvent(const AutoResetEvent&) = delete;
  AutoResetEvent& operator=(const AutoResetEvent&) = delete;

  void Signal() { SetEvent(handle_); }
  // True when signalled within `ms` milliseconds, false on time-out.
  bool Wait(DWORD ms) { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }

 private:
  HANDLE handle_;
};
