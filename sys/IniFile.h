#pragma once

#include <string>

// Reads and writes the keys of one section of one INI file. Holds no open handle; every call
// goes to the file. A missing file or section reads as missing keys. A write rebuilds the file's
// bytes and replaces it through PinnedFolder (never writing through a link), changing nothing
// but the one key's line.
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

// `file` (the bytes of an INI file, empty for none) with `key` of `section` set to `value`, as
// the system's profile functions would write it: the key's line is rewritten (its spelling
// kept), or added after the section's last line, or the section is added at the end as
// "[section]\r\nkey=value\r\n". Sections and keys compare ignoring case; a UTF-16 file
// stays UTF-16 and every other byte stays as it was.
std::string WithIniValue(const std::string& file,
                         const std::wstring& section,
                         const std::wstring& key,
                         const std::wstring& value);

// Characters of the INI read buffer, terminator included.
constexpr unsigned kIniValueBufferSize = 1024;
