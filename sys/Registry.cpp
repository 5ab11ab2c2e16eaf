#include "sys/Registry.h"

#include <cwchar>

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

std::vector<std::wstring> ListSubKeyNames(HKEY root, const std::wstring& path, REGSAM view) {
  std::vector<std::wstring> names;
  ScopedRegKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.receive()) != ERROR_SUCCESS)
    return names;
  DWORD count = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  // Bounded by the count as well, so that an index failing for good cannot loop forever.
  for (DWORD index = 0; index <= count; ++index) {
    wchar_t name[256] = {};
    DWORD length = 255;
    const LONG result =
        RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS)
      break;
    if (result == ERROR_SUCCESS)
      names.emplace_back(name, length);
  }
  return names;
}

bool ReadRegistryText(HKEY root,
                      const std::wstring& path,
                      REGSAM view,
                      const wchar_t* name,
                      std::wstring& text,
                      DWORD capacity) {
  text.clear();
  ScopedRegKey key;
  if (capacity == 0 ||
      RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.receive()) != ERROR_SUCCESS)
    return false;
  std::vector<wchar_t> buffer(capacity, L'\0');
  DWORD length = capacity;
  if (ReadRegistryString(key.get(), name, buffer.data(), length) != ERROR_SUCCESS)
    return false;
  text.assign(buffer.data(), wcsnlen(buffer.data(), length));
  return true;
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

namespace {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

std::wstring ReadRunValue(const std::wstring& name) {
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
    return std::wstring();
  // 260 characters; one more zero stays behind them for a value stored without terminator.
  wchar_t buffer[261] = {};
  DWORD bytes = 260 * sizeof(wchar_t);
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                       &bytes) != ERROR_SUCCESS)
    return std::wstring();
  return buffer;
}

bool WriteRunValue(const std::wstring& name, const std::wstring& data) {
  ScopedRegKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.receive(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
}

bool DeleteRunValue(const std::wstring& name) {
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE, key.receive()) != ERROR_SUCCESS)
    return false;
  return RegDeleteValueW(key.get(), name.c_str()) == ERROR_SUCCESS;
}
