#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Reads the string value `valueName` of the open `key` into `buffer` of `capacity`
// characters. Only plain and expandable strings of whole, terminated characters are accepted
// (ERROR_INVALID_DATA otherwise); an empty value reads as "". On success `capacity` becomes
// the character count including the terminator and the result is ERROR_SUCCESS; other errors
// of the query come back unchanged.
LONG ReadRegistryString(HKEY key, const wchar_t* valueName, wchar_t* buffer, DWORD& capacity);

// The checks ReadRegistryString makes once the query has put `byteCount` bytes of type `type`
// into `buffer`.
LONG CheckRegistryString(DWORD type, wchar_t* buffer, DWORD byteCount, DWORD& capacity);

// Names of the subkeys of `path` under `root`, opened for reading with the view flags `view`
// (0, KEY_WOW64_32KEY or KEY_WOW64_64KEY), in enumeration order. Names are read into 255
// characters; a subkey that cannot be enumerated is skipped. Empty when the key cannot be opened.
std::vector<std::wstring> ListSubKeyNames(HKEY root, const std::wstring& path, REGSAM view);

// The string value `name` of `path` under `root` (read access plus `view`), read through
// ReadRegistryString into `capacity` characters, terminator included. False, and `text` left
// empty, when the key or the value is missing, is not a whole terminated string, or does not fit.
bool ReadRegistryText(HKEY root,
                      const std::wstring& path,
                      REGSAM view,
                      const wchar_t* name,
                      std::wstring& text,
                      DWORD capacity = 260);

// The 32-bit value "UnionId" of `subKey` under `root`; 0 when the key or the value is missing.
DWORD ReadUnionId(HKEY root, const std::wstring& subKey);

// Values of the current user's "Run" key, which Windows starts at log-on.

// The text of value `name`, read into a 260-character buffer; empty when the key or the value
// is missing or the text does not fit.
std::wstring ReadRunValue(const std::wstring& name);
// Creates the key when needed and sets `name` to `data` (REG_SZ, terminator included).
bool WriteRunValue(const std::wstring& name, const std::wstring& data);
bool DeleteRunValue(const std::wstring& name);
