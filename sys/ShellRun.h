#pragma once

#include <windows.h>

#include <string>

// Starts `file` (a program, a document or a web address) through the shell with `parameters`
// and working `directory`, either of which may be empty. Elevated through "runas" when asked
// and the system knows elevation; hidden or shown normally. Does not wait for the program.
// True when the shell accepted the request.
bool ShellRun(const std::wstring& file,
              const std::wstring& parameters,
              const std::wstring& directory,
              bool elevate,
              bool hidden);

// Opens a document, folder or web address with the shell's "open" verb, shown normally.
bool ShellOpen(const std::wstring& target);

// "runas" when elevation is asked for and the NT major version has it (Vista, 6, and later);
// "open" otherwise.
const wchar_t* ShellRunVerb(bool elevate, DWORD ntMajor);
