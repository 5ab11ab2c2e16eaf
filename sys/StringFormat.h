#pragma once

#include <string>

// printf-style formatting into a wide string. Use "%ls" for wide-string arguments: it means the
// same under every C runtime, where a bare "%s" does not.
std::wstring WFormat(const wchar_t* format, ...);

// UTF-8 <-> UTF-16 for texts that cross a file or library boundary. Invalid input is replaced,
// never rejected.
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

// The C library's reading of a decimal integer: leading white space and one sign allowed,
// parsing stops at the first non-digit, no digits give 0, out-of-range values saturate.
int ParseDecimal(const std::wstring& text);
// The same from `text` to its first non-digit.
int ParseDecimalAt(const wchar_t* text);

// UTF-16 to the system's ANSI code page; characters it lacks become its default character.
std::string WideToAnsi(const std::wstring& wide);
