#include "sys/StringFormat.h"

#include <windows.h>

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cwchar>
#include <vector>

std::wstring WFormat(const wchar_t* format, ...) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    va_list args;
    va_start(args, format);
    int n = vswprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    if (n >= 0 && static_cast<size_t>(n) < buffer.size())
      return std::wstring(buffer.data(), n);
    // Some runtimes report truncation only as -1, so grow until it fits.
    if (buffer.size() >= (1u << 24))
      return std::wstring();
    buffer.resize(buffer.size() * 4);
  }
}

std::wstring Utf8ToWide(const std::string& utf8) {
  if (utf8.empty())
    return std::wstring();
  // UTF-8 never needs more UTF-16 units than it has bytes, so one pass into a buffer of that
  // size suffices; layouts are converted on every window build.
  std::wstring out(utf8.size(), L'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                              static_cast<int>(out.size()));
  out.resize(n > 0 ? n : 0);
  return out;
}

std::string WideToUtf8(const std::wstring& wide) {
  if (wide.empty())
    return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

int ParseDecimalAt(const wchar_t* text) {
  // Layouts read thousands of numbers; the C library is left the white space it defines.
  const wchar_t* p = text;
  if (*p <= L' ' || *p >= 0x80) {
    long value = std::wcstol(text, nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
  }
  bool negative = *p == L'-';
  if (*p == L'-' || *p == L'+')
    ++p;
  long long value = 0;
  for (; *p >= L'0' && *p <= L'9'; ++p) {
    if (value <= INT_MAX)
      value = value * 10 + (*p - L'0');
  }
  if (negative)
    value = -value;
  return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

int ParseDecimal(const std::wstring& text) {
  return ParseDecimalAt(text.c_str());
}

std::string WideToAnsi(const std::wstring& wide) {
  if (wide.empty())
    return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}
