#include "tests/app/IdentityRegistry.h"

#include "sys/Handles.h"

namespace {

const wchar_t kProgramKey[] = L"SOFTWARE\\QuelmTask";
const wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuelmTask";

void SetValue(HKEY root,
              const wchar_t* subKey,
              const wchar_t* name,
              DWORD type,
              const void* data,
              DWORD size) {
  ScopedRegKey key;
  if (RegCreateKeyExW(root, subKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.receive(), nullptr) ==
      ERROR_SUCCESS)
    RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

void DeleteValue(HKEY root, const wchar_t* subKey, const wchar_t* name) {
  ScopedRegKey key;
  if (RegOpenKeyExW(root, subKey, 0, KEY_WRITE, key.receive()) == ERROR_SUCCESS)
    RegDeleteValueW(key.get(), name);
}

}  // namespace

ScopedIdentityRegistry::ScopedIdentityRegistry()
    : saved_{{HKEY_CURRENT_USER, kProgramKey, L"UnionId"},
             {HKEY_LOCAL_MACHINE, kProgramKey, L"UnionId"},
             {HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallDate"}} {
  for (Saved& s : saved_) {
    ScopedRegKey key;
    if (RegOpenKeyExW(s.root, s.key, 0, KEY_READ, key.receive()) == ERROR_SUCCESS) {
      DWORD size = 0;
      if (RegQueryValueExW(key.get(), s.name, nullptr, &s.type, nullptr, &size) == ERROR_SUCCESS) {
        s.data.resize(size);
        s.present = RegQueryValueExW(key.get(), s.name, nullptr, &s.type,
                                     reinterpret_cast<BYTE*>(&s.data[0]), &size) == ERROR_SUCCESS;
      }
    }
    DeleteValue(s.root, s.key, s.name);
  }
}

ScopedIdentityRegistry::~ScopedIdentityRegistry() {
  for (Saved& s : saved_) {
    DeleteValue(s.root, s.key, s.name);
    if (s.present)
      SetValue(s.root, s.key, s.name, s.type, s.data.data(), static_cast<DWORD>(s.data.size()));
  }
}

void ScopedIdentityRegistry::SetUnionId(HKEY root, DWORD value) {
  SetValue(root, kProgramKey, L"UnionId", REG_DWORD, &value, sizeof(value));
}

void ScopedIdentityRegistry::SetInstallDate(const std::wstring& text) {
  SetValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallDate", REG_SZ, text.c_str(),
           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ScopedIdentityRegistry::SetInstallDateDword(DWORD value) {
  SetValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallDate", REG_DWORD, &value, sizeof(value));
}
