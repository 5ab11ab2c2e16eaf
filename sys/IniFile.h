#pragma once

#include <string>

// Reads and writes the keys of one section of one INI file. Holds no open handle; every call
// goes to the file. A missing file or section reads as missing keys.
struct IniFile {
  std::wstring path;
  std::wstring section;

  // At most 1,023 characters of the value; `fallback` for a missing key.
  std::wstring ReadString(const std::wstring& key, const std::wstring& fallback) const;
  // The value as a decimal integer with the C library's rules; `fallback` only for a missing
  // or empty value.
  int ReadInt(const std::wstring& key, int fallback) const;
  bool WriteInt(const std::wstring& key, int value) const;
};

// Characters of the INI read buffer, terminator included.
constexpr unsigned kIniValueBufferSize = 1024;
