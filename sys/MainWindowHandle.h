#pragma once

#include <windows.h>

// The main window's handle, published once the window exists and cleared after its loop ends;
// the engine's dialogs use it as their owner. Null outside that span. UI thread only.
HWND MainWindowHandle();
void SetMainWindowHandle(HWND hwnd);
