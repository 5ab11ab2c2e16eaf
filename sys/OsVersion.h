#pragma once

#include <windows.h>

#include <string>

// The version numbers the kernel reports, without the compatibility shims of GetVersionEx.
struct NtVersion {
  DWORD major = 0;
  DWORD minor = 0;
  // Low 16 bits only; the kernel sets flag bits above them.
  DWORD build = 0;
};

// All zero when ntdll or its export is missing.
NtVersion GetNtVersion();

// "Windows 10 x64" and the like: the name Windows is sold under for `version`, then the
// bitness of the system.
std::wstring OsVersionText(const NtVersion& version, bool x64);
// OsVersionText of this machine.
std::wstring GetOsVersionText();

// True on 64-bit Windows: the program is itself 64-bit, or a 32-bit build runs under WOW64.
bool IsOn64BitWindows();
