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
  return text.empty() ? fallback : ParseDecimal(text);
}

bool IniFile::WriteInt(const std::wstring& key, int value) const {
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), WFormat(L"%d", value).c_str(),
                                    path.c_str()) != FALSE;
}

