#include "ui/core/UIWindowImp.h"

#include <set>
#include <string>

namespace {
const wchar_t kProperty[] = L"skinobj";
}  // namespace

void KeepWindowInsideWorkArea(HWND hwnd) {
  RECT r;
  if (!GetWindowRect(hwnd, &r))
    return;
  MONITORINFO mi = {sizeof(mi)};
  if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi))
    return;
  const RECT& work = mi.rcWork;
  int x = r.left, y = r.top;
  if (r.right > work.right)
    x -= r.right - work.right;
  if (r.bottom > work.bottom)
    y -= r.bottom - work.bottom;
  if (x < work.left)
    x = work.left;
  if (y < work.top)
    y = work.top;
  if (x != r.left || y != r.top)
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UIWindowImp::~UIWindowImp() {
  if (hwnd_ && IsWindow(hwnd_)) {
    RemovePropW(hwnd_, kProperty);
    DestroyWindow(hwnd_);
  }
}

void UIWindowImp::FillWindowClass(WNDCLASSEXW& wc) {
  wc.cbSize = sizeof(wc);
  wc.style = GetClassStyle();
  wc.lpfnWndProc = &UIWindowImp::WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(6));
  wc.lpszClassName = GetWindowClassName();
}

void UIWindowImp::OnMessageHook(const MSG& msg, HookPhase phase) {
  if (phase == HookPhase::kAfter && msg.message == WM_EXITSIZEMOVE)
    KeepWindowInsideWorkArea(msg.hwnd);
}

HWND UIWindowImp::Create(HWND parent,
                         DWORD style,
                         DWORD exStyle,
                         int x,
                         int y,
                         int width,
                         int height) {
  WNDCLASSEXW wc = {};
  FillWindowClass(wc);
  static std::set<std::wstring> registered;
  if (!registered.count(wc.lpszClassName)) {
    if (RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
      registered.insert(wc.lpszClassName);
  }
  destroyed_ = false;
  return CreateWindowExW(exStyle, wc.lpszClassName, L"", style, x, y, width, height, parent,
                         nullptr, wc.hInstance, this);
}

LRESULT CALLBACK UIWindowImp::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<UIWindowImp*>(cs->lpCreateParams);
    if (self) {
      self->hwnd_ = hwnd;
      SetPropW(hwnd, kProperty, self);
    }
  }
  auto* self = static_cast<UIWindowImp*>(GetPropW(hwnd, kProperty));
  if (!self)
    return DefWindowProcW(hwnd, message, wparam, lparam);

  MSG msg = {hwnd, message, wparam, lparam, 0, {0, 0}};
  ++self->depth_;
  self->OnMessageHook(msg, HookPhase::kBefore);
  LRESULT result = 0;
  bool handled = self->HandleMessage(hwnd, message, wparam, lparam, &result);
  self->OnMessageHook(msg, HookPhase::kAfter);
  if (!handled)
    result = DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    RemovePropW(hwnd, kProperty);
    self->destroyed_ = true;
  }
  if (--self->depth_ == 0 && self->destroyed_) {
    self->destroyed_ = false;
    self->hwnd_ = nullptr;
    bool deleteNow = self->deleteWhenDone_;
    self->OnFinalMessage(hwnd);
    if (deleteNow)
      delete self;
  }
  return result;
}

void UIWindowImp::DestroyAndDelete() {
  if (hwnd_ && IsWindow(hwnd_)) {
    deleteWhenDone_ = true;
    DestroyWindow(hwnd_);  // its final message deletes the object, now or later
  } else if (depth_ > 0) {
    deleteWhenDone_ = true;
  } else {
    delete this;
  }
}
