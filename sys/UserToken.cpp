#include "sys/UserToken.h"

bool IsProcessElevated() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive()))
    return false;
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size))
    return false;
  return elevation.TokenIsElevated != 0;
}

ScopedHandle OpenShellToken() {
  HWND shell = GetShellWindow();
  DWORD pid = 0;
  if (!shell || !GetWindowThreadProcessId(shell, &pid) || pid == 0)
    return ScopedHandle();
  ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process)
    return ScopedHandle();
  ScopedHandle token;
  if (!OpenProcessToken(process.get(), TOKEN_DUPLICATE | TOKEN_QUERY, token.receive()))
    return ScopedHandle();
  ScopedHandle primary;
  const DWORD access = TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY |
                       TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID | TOKEN_IMPERSONATE;
  if (!DuplicateTokenEx(token.get(), access, nullptr, SecurityImpersonation, TokenPrimary,
                        primary.receive()))
    return ScopedHandle();
  return primary;
}

std::wstring SystemPath(const std::wstring& file) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return std::wstring();
  std::wstring path(folder, length);
  if (path.back() != L'\\')
    path += L'\\';
  return path + file;
}
