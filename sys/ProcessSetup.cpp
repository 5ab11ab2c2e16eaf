#include "sys/ProcessSetup.h"

#include "sys/Exports.h"
#include "sys/Handles.h"
#include "sys/UserToken.h"

namespace {

const wchar_t kInstanceMutex[] = L"Global\\{6ADBDD42-9B15-4ADD-96A9-1A6FB5E8CCCE}";

// Never closed by the program: it marks this process as the running one.
HANDLE g_instanceMutex = nullptr;

}  // namespace

void LimitLibrarySearchToSystemFolder() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  if (auto f =
          FindExport<SetDirectories>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))
    f(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

bool IsUserAdministrator() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &admins))
    return false;
  BOOL member = FALSE;
  bool ok = CheckTokenMembership(nullptr, admins, &member) != FALSE;
  FreeSid(admins);
  return ok && member;
}

bool ClaimSingleInstance() {
  ScopedHandle mutex(CreateMutexW(nullptr, FALSE, kInstanceMutex));
  DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED || !mutex)
    return false;
  g_instanceMutex = mutex.release();
  return true;
}

void ReleaseSingleInstanceForTesting() {
  ScopedHandle mutex(g_instanceMutex);
  g_instanceMutex = nullptr;
}

bool PostToWindowClass(const wchar_t* windowClass, UINT message) {
  HWND window = FindWindowW(windowClass, nullptr);
  return window && PostMessageW(window, message, 0, 0);
}

std::optional<DWORD> ReadAppliedDpi() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics", 0, KEY_READ,
                    &key) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD value = 0, size = sizeof(value), type = 0;
  LONG r =
      RegQueryValueExW(key, L"AppliedDPI", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  // An opened key with a missing value counts as 0, which never exceeds the threshold.
  return (r == ERROR_SUCCESS && type == REG_DWORD) ? value : 0;
}

void DeclareDpiAware() {
  {
    ScopedLibrary shcore(LoadLibraryW(SystemPath(L"Shcore.dll").c_str()));
    using SetAwareness = HRESULT(WINAPI*)(int);
    if (auto f = FindExport<SetAwareness>(shcore.get(), "SetProcessDpiAwareness")) {
      f(1);
      return;
    }
  }
  using SetAware = BOOL(WINAPI*)();
  if (auto f = FindExport<SetAware>(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware"))
    f();
}

void AllowWindowMessage(UINT message) {
  using Filter = BOOL(WINAPI*)(UINT, DWORD);
  static const Filter filter =
      FindExport<Filter>(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter");
  if (filter && message != 0)
    filter(message, 1 /* MSGFLT_ADD */);
}
