// What the end-to-end test cannot see from outside Wine's virtual desktop: where the program's
// windows are. Runs in the same prefix and desktop as the program.
//   window_probe wait CLASS MS    waits up to MS for a visible top-level window of CLASS and
//                                 prints its screen rectangle "left top width height"
//   window_probe gone CLASS MS    waits up to MS until no visible window of CLASS is left
//   window_probe tray             whether the main window's notification icon is in the tray
// Exit code 0 when the condition holds, 1 when it did not in time, 2 for a bad command line.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Search {
  const wchar_t* className;
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  if (IsWindowVisible(hwnd) && std::wcscmp(name, search->className) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindVisible(const wchar_t* className) {
  Search search{className};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls `holds` every 50 ms for up to `limitMs`.
template <typename Condition>
bool WaitFor(Condition holds, DWORD limitMs) {
  const ULONGLONG end = GetTickCount64() + limitMs;
  for (;;) {
    if (holds())
      return true;
    if (GetTickCount64() >= end)
      return false;
    Sleep(50);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wcscmp(argv[1], L"wait") == 0) {
    HWND hwnd = nullptr;
    if (!WaitFor([&] { return (hwnd = FindVisible(argv[2])) != nullptr; }, _wtoi(argv[3])))
      return 1;
    RECT r = {};
    GetWindowRect(hwnd, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (argc == 4 && std::wcscmp(argv[1], L"gone") == 0)
    return WaitFor([&] { return FindVisible(argv[2]) == nullptr; }, _wtoi(argv[3])) ? 0 : 1;
  if (argc == 2 && std::wcscmp(argv[1], L"tray") == 0) {
    // Only an icon the shell holds can be modified.
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = FindWindowW(L"QuelmTask", nullptr);
    data.uFlags = NIF_TIP;
    wcscpy(data.szTip, L"Quelm定时任务");
    return data.hWnd && Shell_NotifyIconW(NIM_MODIFY, &data) ? 0 : 1;
  }
  return 2;
}
