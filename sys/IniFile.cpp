#include "sys/IniFile.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cwchar>

#include "sys/StringFormat.h"

std::wstring IniFile::ReadString(const std::wstring& key, const std::wstring& fallback) const {
  wchar_t buffer[kIniValueBufferSize] = {};
  DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                          kIniValueBufferSize, path.c_str());
  return std::wstring(buffer, length);
}

int IniFile::ReadInt(const std::wstring& key, int fallback) const {
  std::wstring text = ReadString(key, std::wstring());
  return text.empty() ? fallback : ParseIniInt(text);
}

bool IniFile::WriteInt(const std::wstring& key, int value) const {
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), WFormat(L"%d", value).c_str(),
                                    path.c_str()) != FALSE;
}

int ParseIniInt(const std::wstring& text) {
  long value = std::wcstol(text.c_str(), nullptr, 10);
  if (value > INT_MAX)
    return INT_MAX;
  if (value < INT_MIN)
    return INT_MIN;
  return static_cast<int>(value);
}
