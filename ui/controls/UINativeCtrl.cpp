#include "ui/controls/UINativeCtrl.h"

namespace {

const wchar_t kNativeProp[] = L"skinnative";

}  // namespace

UINativeCtrl::~UINativeCtrl() {
  DestroyNativeWindow();
}

bool UINativeCtrl::CreateNativeWindow() {
  if (native_)
    return true;
  HWND parent = host_ ? host_->GetHwnd() : nullptr;
  if (!parent)
    return false;
  RECT r = WindowRect();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | NativeStyle();
  if (!(GetState() & kStateHidden) && IsVisible())
    style |= WS_VISIBLE;
  if (!IsEnabled())
    style |= WS_DISABLED;
  native_ = CreateWindowExW(NativeExStyle(), NativeClassName(), text_.c_str(), style, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!native_)
    return false;
  placed_ = r;
  SetPropW(native_, kNativeProp, this);
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(native_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  OnNativeCreated();
  return true;
}

void UINativeCtrl::DestroyNativeWindow() {
  if (!native_)
    return;
  OnNativeDestroying();
  // Unhook first: this may run from the destructor, where nothing may reference the control.
  HWND window = native_;
  RemovePropW(window, kNativeProp);
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  native_ = nullptr;
  previous_ = nullptr;
  DestroyWindow(window);
}

void UINativeCtrl::RecreateNativeWindow() {
  if (!native_)
    return;
  DestroyNativeWindow();
  CreateNativeWindow();
}

LRESULT CALLBACK UINativeCtrl::SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = static_cast<UINativeCtrl*>(GetPropW(hwnd, kNativeProp));
  if (!self)
    return DefWindowProcW(hwnd, message, wparam, lparam);
  WNDPROC previous = self->previous_;
  if (message == WM_NCDESTROY) {
    // The window goes: give it back its own procedure and forget it.
    RemovePropW(hwnd, kNativeProp);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    self->native_ = nullptr;
    self->previous_ = nullptr;
    return previous ? CallWindowProcW(previous, hwnd, message, wparam, lparam)
                    : DefWindowProcW(hwnd, message, wparam, lparam);
  }
  UIRef<UIControl> keep(self);
  LRESULT result = previous ? CallWindowProcW(previous, hwnd, message, wparam, lparam)
                            : DefWindowProcW(hwnd, message, wparam, lparam);
  self->OnNativeMessage(message, wparam, lparam, result);
  return result;
}

void UINativeCtrl::FollowControl() {
  if (!native_)
    return;
  RECT r = WindowRect();
  if (!EqualRect(&r, &placed_)) {
    placed_ = r;
    SetWindowPos(native_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void UINativeCtrl::Paint(Gdiplus::Graphics& graphics) {
  UIControl::Paint(graphics);
  // A move of an ancestor reaches the child window at the next paint.
  FollowControl();
}

void UINativeCtrl::OnMessage(UIMessage& message) {
  UIControl::OnMessage(message);
  switch (message.message) {
    case WM_CREATE:
      CreateNativeWindow();
      break;
    case WM_DESTROY:
      DestroyNativeWindow();
      break;
    case WM_SIZE:
      FollowControl();
      break;
    case WM_SHOWWINDOW:
      if (native_)
        ShowWindow(native_, (GetState() & kStateHidden) ? SW_HIDE : SW_SHOWNA);
      break;
    case WM_ENABLE:
      if (native_)
        EnableWindow(native_, IsEnabled());
      break;
    case WM_SETFOCUS:
      if (native_)
        SetFocus(native_);
      break;
    default:
      break;
  }
}
