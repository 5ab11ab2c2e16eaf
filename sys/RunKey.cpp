#include "sys/RunKey.h"

#include <windows.h>

#include "sys/Handles.h"

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
