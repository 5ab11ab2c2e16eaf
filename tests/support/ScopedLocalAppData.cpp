#include "tests/support/ScopedLocalAppData.h"

#include "sys/Handles.h"

namespace {

const wchar_t kKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const wchar_t kValue[] = L"Local AppData";

void Write(DWORD type, const std::wstring& text) {
  ScopedRegKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.receive(),
                      nullptr) == ERROR_SUCCESS)
    RegSetValueExW(key.get(), kValue, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

ScopedLocalAppData::ScopedLocalAppData(const std::wstring& folder) {
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.receive()) == ERROR_SUCCESS) {
    wchar_t text[MAX_PATH * 2] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    present_ = RegQueryValueExW(key.get(), kValue, nullptr, &type_, reinterpret_cast<BYTE*>(text),
                                &size) == ERROR_SUCCESS;
    saved_ = text;
  }
  Write(REG_EXPAND_SZ, folder);
}

ScopedLocalAppData::~ScopedLocalAppData() {
  if (present_) {
    Write(type_, saved_);
    return;
  }
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_WRITE, key.receive()) == ERROR_SUCCESS)
    RegDeleteValueW(key.get(), kValue);
}
