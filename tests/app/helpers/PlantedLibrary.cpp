// A library planted beside a copy of the program under the names of system libraries: when
// anything loads it, it leaves "<its own path>.loaded" beside itself. It exports nothing, so a
// program bound to it fails at its first call; the mark is made before that.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH)
    return TRUE;
  wchar_t path[MAX_PATH + 16] = {};
  const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return TRUE;
  lstrcpyW(path + length, L".loaded");
  HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (mark != INVALID_HANDLE_VALUE)
    CloseHandle(mark);
  return TRUE;
}
