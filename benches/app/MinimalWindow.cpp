// The peer of the program benchmark: the least a Win32 window program does to put an 800 x 552
// window on the screen, filled with the main window's title-bar colour. Ends with its window.
#include <windows.h>

namespace {

const COLORREF kBack = RGB(0xF6, 0xFA, 0xFD);

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      HBRUSH brush = CreateSolidBrush(kBack);
      FillRect(dc, &ps.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"QuelmBenchPeer";
  if (!RegisterClassW(&windowClass))
    return 1;
  int x = (GetSystemMetrics(SM_CXSCREEN) - 800) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - 552) / 2;
  HWND hwnd = CreateWindowExW(0, windowClass.lpszClassName, L"peer", WS_POPUP | WS_VISIBLE, x, y,
                              800, 552, nullptr, nullptr, instance, nullptr);
  if (!hwnd)
    return 1;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0)
    DispatchMessageW(&message);
  return 0;
}
