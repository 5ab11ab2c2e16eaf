#pragma once

#include <windows.h>

#include <functional>

// Dispatches the calling thread's messages until `done` holds or `limitMs` pass; false on
// time-out. For jobs posted to the UI thread and for effects of other processes and threads.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 10000);
