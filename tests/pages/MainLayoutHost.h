#pragma once

#include "ui/core/UIControl.h"
#include "ui/core/UIHostWnd.h"

// The shipped main layout in a window of its own, for tests of the pages in it. Never shown:
// Wine takes seconds to unmap a window that was.
class MainLayoutHost : public UIHostWnd {
 public:
  MainLayoutHost() : UIHostWnd(L"xml\\main.xml") {
    Create(nullptr, WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 100, 100);
  }
  ~MainLayoutHost() override {
    if (hwnd())
      DestroyWindow(hwnd());
  }
  SIZE GetMinSize() const override { return {0, 0}; }
  // Presses and releases the left button over the control's centre.
  void Click(UIControl* control) {
    RECT r = control->WindowRect();
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, at);
    SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(hwnd(), WM_LBUTTONUP, 0, at);
  }
  // What is to be repainted (window coordinates); PaintNow empties it.
  RECT Dirty() const { return pendingInvalid_; }
};
