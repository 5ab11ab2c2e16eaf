#include "sys/AutoResetEvent.h"

bool AutoResetEvent::WaitPumpingMessages(DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  HANDLE handle = event_.get();
  for (;;) {
    ULONGLONG now = GetTickCount64();
    DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0)
      return true;
    if (result != WAIT_OBJECT_0 + 1)
      return false;  // time-out or failure
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}
