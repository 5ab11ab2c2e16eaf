#include "sys/Privileges.h"

#include "sys/Handles.h"

bool EnablePrivilege(const std::wstring& name, bool enable) {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                        token.receive()))
    return false;
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  if (!LookupPrivilegeValueW(nullptr, name.c_str(), &privileges.Privileges[0].Luid))
    return false;
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : SE_PRIVILEGE_REMOVED;
  return AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr,
                               nullptr) != FALSE;
}

bool ExitSessionFlags(int kind, UINT* flags) {
  static_assert(EWX_LOGOFF == 0 && EWX_SHUTDOWN == 1 && EWX_REBOOT == 2,
                "session kinds are the ExitWindowsEx flags");
  if (kind < 0 || kind > 2)
    return false;
  *flags = static_cast<UINT>(kind) | EWX_FORCE;
  return true;
}

bool ExitSession(int kind) {
  UINT flags = 0;
  if (!ExitSessionFlags(kind, &flags))
    return false;
  EnablePrivilege(L"SeShutdownPrivilege", true);
  return ExitWindowsEx(flags, kExitSessionReason) != FALSE;
}
