#pragma once

#include <windows.h>

#include <string>

// Enables (or, with `enable` false, removes from the token) one privilege of the current
// process, such as "SeDebugPrivilege" or "SeShutdownPrivilege". True when the adjustment call
// succeeded; a privilege the token does not hold is not detected.
bool EnablePrivilege(const std::wstring& name, bool enable);

// Ends the Windows session, forced: 0 log off, 1 shut down, 2 restart. Any other kind does
// nothing and gives false. Enables "SeShutdownPrivilege" first.
bool ExitSession(int kind);

// The ExitWindowsEx flags for a session kind; false for a kind that is not one.
bool ExitSessionFlags(int kind, UINT* flags);

// Major reason "application" of a planned session end.
constexpr DWORD kExitSessionReason = 0x00040000;
