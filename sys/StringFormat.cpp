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

int ParseDecimal(const std::wstring& text) {
  long value = std::wcstol(text.c_str(), nullptr, 10);
  if (value > INT_MAX)
    return INT_MAX;
  if (value < INT_MIN)
    return INT_MIN;
  return static_cast<int>(value);
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
