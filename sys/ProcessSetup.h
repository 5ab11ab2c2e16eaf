#pragma once

#include <windows.h>

#include <optional>

// The process-level preparations of start-up. All are best effort: a missing system function
// makes them do nothing. First thread only.

// Makes the system folder the only place libraries are loaded from by name, for every later
// load and delay-load of the process (SetDefaultDllDirectories, looked up: a Windows 7 without
// its update lacks it). The program's own folder is no longer searched. Before anything else.
void LimitLibrarySearchToSystemFolder();

// Whether the current token is a member of the built-in Administrators group; false when the
// group's SID cannot be built or the test fails.
bool IsUserAdministrator();

// Creates (or opens) the machine-wide single-instance mutex and keeps it open for the life of
// the process. False when another instance already holds it (or it is not ours to open); the
// handle is then closed again.
bool ClaimSingleInstance();
// Closes the mutex a ClaimSingleInstance of this process holds, so that a test may start the
// program itself.
void ReleaseSingleInstanceForTesting();

// Posts `message` with both parameters 0 to the top-level window of class `windowClass`; false
// when there is no such window.
bool PostToWindowClass(const wchar_t* windowClass, UINT message);

// The user's "AppliedDPI" under "Control Panel\Desktop\WindowMetrics", when the key opens.
std::optional<DWORD> ReadAppliedDpi();
// Declares the process system-DPI aware: Shcore's SetProcessDpiAwareness(1) when it exists,
// else user32's SetProcessDPIAware.
void DeclareDpiAware();

// Lets a non-elevated process send `message` to this elevated one (ChangeWindowMessageFilter,
// looked up once). Nothing happens where the function is missing.
void AllowWindowMessage(UINT message);
