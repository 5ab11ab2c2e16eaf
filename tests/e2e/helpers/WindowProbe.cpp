// What the end-to-end test cannot see from outside Wine's virtual desktop: where the program's
// windows are. Runs in the same prefix and desktop as the program.
//   window_probe wait CLASS MS [W H]  waits up to MS for a visible top-level window of CLASS
//                                     (and of that size) and prints its screen rectangle
//                                     "left top width height"
//   window_probe gone CLASS MS        waits up to MS until no visible window of CLASS is left
//   window_probe tray MS              waits up to MS for the main window's notification icon
// Exit code 0 when the condition holds, 1 when it did not in time, 2 for a bad command line.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Search {
  const wchar_t* className;
  int width = 0;  // 0: any size
  int height = 0;
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  RECT r = {};
  GetWindowRect(hwnd, &r);
  bool sized = search->width == 0 ||
               (r.right - r.left == search->width && r.bottom - r.top == search->height);
  if (IsWindowVisible(hwnd) && sized && std::wcscmp(name, search->className) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindVisible(const wchar_t* className, int width = 0, int height = 0) {
  Search search{className, width, height};
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
  if ((argc == 4 || argc == 6) && std::wcscmp(argv[1], L"wait") == 0) {
    int width = argc == 6 ? _wtoi(argv[4]) : 0;
    int height = argc == 6 ? _wtoi(argv[5]) : 0;
    HWND hwnd = nullptr;
    if (!WaitFor([&] { return (hwnd = FindVisible(argv[2], width, height)) != nullptr; },
                 _wtoi(argv[3])))
      return 1;
    RECT r = {};
    GetWindowRect(hwnd, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (argc == 4 && std::wcscmp(argv[1], L"gone") == 0)
    return WaitFor([&] { return FindVisible(argv[2]) == nullptr; }, _wtoi(argv[3])) ? 0 : 1;
  if (argc == 3 && std::wcscmp(argv[1], L"tray") == 0) {
    // Only an icon the shell holds can be modified.
    auto inTray = [] {
      NOTIFYICONDATAW data = {};
      data.cbSize = sizeof(data);
      data.hWnd = FindWindowW(L"QuelmTask", nullptr);
      data.uFlags = NIF_TIP;
      wcscpy(data.szTip, L"Quelm定时任务");
      return data.hWnd && Shell_NotifyIconW(NIM_MODIFY, &data);
    };
    return WaitFor(inTray, _wtoi(argv[2])) ? 0 : 1;
  }
  return 2;
}
