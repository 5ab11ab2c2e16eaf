#include "ui/controls/UICaption.h"

#include "ui/core/UIValueParse.h"

namespace {

constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE | HTCAPTION
constexpr WPARAM kMaximiseByCaption = 0xF032;
constexpr WPARAM kRestoreByCaption = 0xF122;

}  // namespace

bool UICaption::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name != L"drag")
    return UIControl::ApplyAttribute(name, value);
  dragEnabled_ = ParseBool(value);
  return true;
}

void UICaption::OnMessage(UIMessage& message) {
  IUIContainer* host = GetHost();
  HWND hwnd = host ? host->GetHwnd() : nullptr;
  switch (message.message) {
    case WM_LBUTTONDOWN:
      if (host && IsFocusable())
        host->SetFocusControl(GetHandle());
      if (!hwnd)
        return;
      if (IsZoomed(hwnd)) {
        maximisedPress_ = true;
      } else if (dragEnabled_) {
        ::SendMessageW(hwnd, WM_SYSCOMMAND, kMoveByCaption, 0);
        ::SendMessageW(hwnd, WM_LBUTTONUP, 0, message.lparam);
      }
      return;
    case WM_LBUTTONUP:
      maximisedPress_ = false;
      return;
    case WM_LBUTTONDBLCLK: {
      if (!hwnd)
        return;
      LONG style = GetWindowLongW(hwnd, GWL_STYLE);
      if ((style & WS_THICKFRAME) && (style & WS_MAXIMIZEBOX))
        ::SendMessageW(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? kRestoreByCaption : kMaximiseByCaption,
                       0);
      return;
    }
    default:
      UIControl::OnMessage(message);
  }
}
