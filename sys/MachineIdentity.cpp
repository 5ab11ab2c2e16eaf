#include "sys/MachineIdentity.h"

#include <windows.h>

#include "sys/Handles.h"
#include "sys/Registry.h"
#include "sys/StringFormat.h"

std::wstring MachineIdentityText() {
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", 0,
                    KEY_READ | KEY_WOW64_64KEY, key.receive()) == ERROR_SUCCESS) {
    wchar_t buffer[260] = {};
    DWORD capacity = 260;
    if (ReadRegistryString(key.get(), L"MachineGuid", buffer, capacity) == ERROR_SUCCESS &&
        buffer[0] != L'\0')
      return buffer;
  }
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD nameLength = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &nameLength))
    name[0] = L'\0';
  wchar_t windows[MAX_PATH] = {};
  DWORD serial = 0;
  UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  if (length >= 3 && length < MAX_PATH) {
    windows[3] = L'\0';  // "C:\"
    if (!GetVolumeInformationW(windows, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
      serial = 0;
  }
  if (name[0] == L'\0' && serial == 0)
    return std::wstring();
  return WFormat(L"%ls|%08lX", name, static_cast<unsigned long>(serial));
}
