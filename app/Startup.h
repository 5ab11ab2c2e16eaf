#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Decisions of the program's start-up, kept free of system calls so each rule can be checked.

// Switches are found as plain, case-sensitive substrings of the whole command line.
bool HasSwitch(const std::wstring& commandLine, const wchar_t* switchText);

// What the elevation step does before anything else runs.
struct ElevationStep {
  bool proceed = true;        // go on with start-up in this process
  bool relaunch = false;      // start the program again elevated, then end
  std::wstring parameters;    // for the relaunch: "/second", plus " /auto" when given
};
ElevationStep DecideElevation(const std::wstring& commandLine, DWORD ntMajor, bool isAdmin);

// Whether to declare DPI awareness: not when the user's applied DPI exceeds 150, so the system
// scales the windows instead.
bool WantsDpiAwareness(std::optional<DWORD> appliedDpi);

// The registered "TaskbarCreated" message; registered on first use. It must exist before the
// message filter admits it, or the filter would admit message 0.
UINT TaskbarCreatedMessage();

// Messages a non-elevated shell or program may send to the program's windows.
void AllowShellMessages();
