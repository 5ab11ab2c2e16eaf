#pragma once

#include <windows.h>

#include <string>

#include "sys/Handles.h"

// What the process may act as: its own elevation, and the unelevated user behind the desktop
// shell, whose token is what an elevated program lends to the things it starts or touches for
// the user. Any thread; failures give the neutral result named at each function.

// True when the process token is elevated (a full administrator token under UAC).
bool IsProcessElevated();

// A primary token of the process that owns the shell's desktop window (GetShellWindow), usable
// for CreateProcessWithTokenW and, duplicated, for impersonation; empty when there is no shell
// or its process cannot be opened.
ScopedHandle OpenShellToken();

// `file` inside the system folder ("C:\Windows\System32\xcopy.exe"); empty when the system
// folder cannot be read.
std::wstring SystemPath(const std::wstring& file);
