#include "sys/Registry.h"

#include "sys/Handles.h"

LONG ReadRegistryString(HKEY key, const wchar_t* valueName, wchar_t* buffer, DWORD& capacity) {
  DWORD type = REG_NONE;
  DWORD byteCount = capacity * sizeof(wchar_t);
  LONG result =
      RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &byteCount);
  if (result != ERROR_SUCCESS)
    return result;
  return CheckRegistryString(type, buffer, byteCount, capacity);
}

LONG CheckRegistryString(DWORD type, wchar_t* buffer, DWORD byteCount, DWORD& capacity) {
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    return ERROR_INVALID_DATA;
  if (byteCount == 0) {
    if (capacity > 0)
      buffer[0] = L'\0';
  } else if (byteCount % sizeof(wchar_t) != 0 || buffer[byteCount / sizeof(wchar_t) - 1] != L'\0') {
    return ERROR_INVALID_DATA;
  }
  capacity = byteCount / sizeof(wchar_t);
  return ERROR_SUCCESS;
}

DWORD ReadUnionId(HKEY root, const std::wstring& subKey) {
  ScopedRegKey key;
  if (RegOpenKeyW(root, subKey.c_str(), key.receive()) != ERROR_SUCCESS)
    return 0;
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExW(key.get(), L"UnionId", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS)
    return 0;
  return value;
}
