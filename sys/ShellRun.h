#pragma once

#include <windows.h>

#include <string>

#include "sys/LaunchResult.h"

// Starts `file` (a program, a document or a web address) through the shell with `parameters`
// and working `directory`, either of which may be empty; hidden or shown normally. Does not
// wait for the program. With `elevate` it asks for administrator rights through "runas" where
// the system knows elevation; without, it starts with the rights of the user even when this
// process is elevated (LaunchAsUser), and is Skipped when that cannot be done.
LaunchResult ShellRun(const std::wstring& file,
                      const std::wstring& parameters,
                      const std::wstring& directory,
                      bool elevate,
                      bool hidden);

// Opens a document, folder or web address with the shell's "open" verb, shown normally, with
// the rights of the user (LaunchAsUser).
LaunchResult ShellOpen(const std::wstring& target);

// "runas" when elevation is asked for and the NT major version has it (Vista, 6, and later);
// "open" otherwise.
const wchar_t* ShellRunVerb(bool elevate, DWORD ntMajor);
