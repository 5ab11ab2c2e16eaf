#include "ui/core/UIHostWnd.h"

#include <windowsx.h>

#include <vector>

#include "sys/Handles.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UIGraphics.h"

namespace {

int globalTextHint = 0;
// How many modal loops are running, so that an inner one hands the quit message on.
int modalDepth = 0;

constexpr UINT kReflectedNotify = 0x204E;  // OCM_NOTIFY: WM_REFLECT + WM_NOTIFY
constexpr int kCustomDrawCode = -12;       // NM_CUSTOMDRAW

bool IsMouseButtonMessage(UINT m) {
  return (m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK) || (m >= 523 && m <= 525);
}

// The button-up that ends a press begun by `down`; 0 for other messages.
UINT ButtonUpFor(UINT down) {
  switch (down) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return WM_LBUTTONUP;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return WM_RBUTTONUP;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return WM_MBUTTONUP;
    default:
      return 0;
  }
}

// A control taken out of the tree may still be referenced (an event under way holds it); the
// window treats it as gone.
UIControl* ResolveLive(uint32_t handle) {
  UIControl* c = ResolveControl(handle);
  return c && !c->IsRemoved() ? c : nullptr;
}

bool IsFocusCandidate(UIControl* c) {
  return c->IsFocusable() && c->IsEffectivelyVisibleAndEnabled() &&
         !(c->GetState() & (UIControl::kStateDisabled | UIControl::kStateHidden));
}

void CollectPreOrder(UIControl* c, std::vector<UIControl*>& out) {
  out.push_back(c);
  for (UIControl* child : c->GetChildren())
    CollectPreOrder(child, out);
}

}  // namespace

void UIHostWnd::SetGlobalTextRenderingHint(int hint) {
  globalTextHint = hint;
}

UIHostWnd::UIHostWnd(const std::wstring& layoutPath) : layoutPath_(layoutPath) {
  root_.AttachHost(this);
}

UIHostWnd::~UIHostWnd() {
  for (ModalFrame* frame = modal_; frame; frame = frame->outer)
    frame->gone = true;
  if (hwnd_ && IsWindow(hwnd_))
    DestroyWindow(hwnd_);
  FreeBackBuffer();
  root_.AttachHost(nullptr);
}

bool UIHostWnd::IsLayered() const {
  return hwnd_ && (GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED);
}

RECT UIHostWnd::GetClientRect() const {
  RECT r = {};
  if (hwnd_)
    ::GetClientRect(hwnd_, &r);
  return r;
}

void UIHostWnd::InvalidateRect(const RECT& rect) {
  if (!hwnd_)
    return;
  RECT client = GetClientRect();
  RECT r;
  if (!IntersectRect(&r, &rect, &client))
    return;
  dirty_.Add(r, client);
  // Every rectangle goes to the system too: a window shown later finds its update region there.
  if (!building_)
    ::InvalidateRect(hwnd_, &r, FALSE);
}

void UIHostWnd::PlaceRoot(int width, int height) {
  root_.Place(0, 0, width, height);
  if (UIControl* top = root_.GetRelative(UIControl::Relative::kFirstChild))
    top->Place(0, 0, root_.GetWidth(), root_.GetHeight());
}

void UIHostWnd::OnCreateWindow() {
  root_.AttachHost(this);
  EnsureControlFactory();
  // Building places and invalidates every control; the window is painted whole afterwards.
  building_ = true;
  if (!layoutPath_.empty()) {
    UIBuilder builder(this);
    if (UIControl* top = builder.BuildFromFile(&root_, layoutPath_)) {
      SetWindowPos(hwnd_, nullptr, 0, 0, top->GetWidth(), top->GetHeight(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  RECT wr;
  GetWindowRect(hwnd_, &wr);
  root_.Place(0, 0, wr.right - wr.left, wr.bottom - wr.top);
  OnInitialized();
  if (UIControl* top = root_.GetRelative(UIControl::Relative::kFirstChild))
    top->Place(0, 0, root_.GetWidth(), root_.GetHeight());
  building_ = false;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

bool UIHostWnd::HandleMessage(HWND hwnd,
                              UINT message,
                              WPARAM wparam,
                              LPARAM lparam,
                              LRESULT* result) {
  *result = 0;
  switch (message) {
    case WM_CREATE:
      OnCreateWindow();
      return true;
    case WM_DESTROY:
      if (caretCreated_) {
        ::DestroyCaret();
        caretCreated_ = false;
      }
      root_.SendMessage(WM_DESTROY);
      capture_ = hover_ = focus_ = savedFocus_ = 0;
      tracking_.clear();
      // However the window goes (Alt+F4, the owner's destruction), its modal loop ends and the
      // owner comes back to life.
      if (modalOwner_ && IsWindow(modalOwner_))
        EnableWindow(modalOwner_, TRUE);
      modalOwner_ = nullptr;
      for (ModalFrame* frame = modal_; frame; frame = frame->outer)
        frame->running = false;
      return true;
    case WM_NCDESTROY:
      FreeBackBuffer();
      ReleaseFonts();
      return false;
    case WM_SIZE:
      if (wparam != SIZE_MINIMIZED && LOWORD(lparam) && HIWORD(lparam))
        PlaceRoot(LOWORD(lparam), HIWORD(lparam));
      return true;
    case WM_PAINT:
      OnPaintMessage();
      return true;
    case WM_ERASEBKGND:
      *result = 1;
      return true;
    case WM_SHOWWINDOW:
      if (wparam)
        root_.Invalidate();
      return true;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wparam) != WA_INACTIVE);
      return true;
    case WM_SETFOCUS:
      if (UIControl* saved = ResolveLive(savedFocus_)) {
        focus_ = savedFocus_;
        saved->SendMessage(WM_SETFOCUS, 0, 2);
      }
      savedFocus_ = 0;
      return true;
    case WM_KILLFOCUS:
      if (UIControl* focused = ResolveLive(focus_)) {
        savedFocus_ = focus_;
        focus_ = 0;
        focused->SendMessage(WM_KILLFOCUS);
      }
      return true;
    case WM_MOUSEMOVE:
      RouteMouseMove(wparam, lparam);
      return true;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      RouteWheel(message, wparam, lparam);
      return true;
    case WM_MOUSEHOVER:
      RouteMouse(message, wparam, lparam);
      return true;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return true;
    case WM_SETCURSOR:
      return OnSetCursor(lparam) ? (*result = TRUE, true) : false;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      MONITORINFO mi = {sizeof(mi)};
      if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi)) {
        RECT work = mi.rcWork;
        RECT monitor = mi.rcMonitor;
        RECT in = GetMaxInsets();
        info->ptMaxPosition = {work.left - monitor.left + in.left, work.top - monitor.top + in.top};
        info->ptMaxSize = {work.right - work.left - in.left - in.right,
                           work.bottom - work.top - in.top - in.bottom};
      }
      SIZE min = GetMinSize();
      info->ptMinTrackSize = {min.cx, min.cy};
      return true;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header && static_cast<int>(header->code) == kCustomDrawCode && header->hwndFrom) {
        *result = ::SendMessageW(header->hwndFrom, kReflectedNotify, wparam, lparam);
        return true;
      }
      return false;
    }
    case WM_NCCALCSIZE:
      return true;  // no frame: the whole window is client area
    case WM_NCHITTEST:
      *result = HitTestNonClient(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return true;
    case WM_NCACTIVATE:
      root_.Invalidate();
      *result = 1;
      return true;
    case WM_TIMER:
      if (static_cast<int32_t>(static_cast<uint32_t>(wparam)) < 0) {
        OnTimerMessage(wparam);
        return true;
      }
      return false;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != hwnd_ && capture_) {
        uint32_t holder = capture_;
        capture_ = 0;
        if (UIControl* c = ResolveLive(holder))
          c->SendMessage(WM_CAPTURECHANGED, wparam, lparam);
      }
      return true;
    case WM_GETOBJECT:
    case WM_WINDOWPOSCHANGING:
      return false;
    default:
      break;
  }
  if (IsMouseButtonMessage(message) && message != WM_MOUSEMOVE) {
    RouteMouse(message, wparam, lparam);
    return true;
  }
  if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
      (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_COMPOSITION) ||
      message == WM_IME_CHAR)
    return RouteKey(message, wparam, lparam, result);
  return false;
}

// --- Painting.

void UIHostWnd::OnPaintMessage() {
  RECT area = {};
  bool layered = IsLayered();
  if (layered)
    GetUpdateRect(hwnd_, &area, FALSE);
  PAINTSTRUCT ps;
  BeginPaint(hwnd_, &ps);
  if (!layered)
    area = ps.rcPaint;
  else if (IsRectEmpty(&area))
    area = GetClientRect();
  EndPaint(hwnd_, &ps);
  PaintArea(area);
}

void UIHostWnd::PaintNow() {
  if (!hwnd_)
    return;
  RECT area = {};
  GetUpdateRect(hwnd_, &area, FALSE);
  ValidateRect(hwnd_, nullptr);
  PaintArea(area);
}

void UIHostWnd::PaintArea(RECT area) {
  RECT client = GetClientRect();
  dirty_.Add(area, client);
  area = dirty_.Take(client);
  if (EnsureBackBuffer())
    area = client;
  if (!bufferImage_ || IsRectEmpty(&area))
    return;
  {
    Gdiplus::Graphics graphics(bufferImage_.get());
    ScopedDirectSurface direct(graphics, bufferBits_, bufferWidth_, bufferHeight_);
    PaintTo(graphics, area);
  }
  Present(area);
}

void UIHostWnd::PaintTo(Gdiplus::Graphics& graphics, const RECT& area) {
  if (globalTextHint)
    graphics.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(globalTextHint));
  if (textHint_)
    graphics.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(textHint_));
  // The surface's own edges bound a whole-window pass: under no clip at all, children that
  // cannot spill are painted without one of their own.
  RECT client = GetClientRect();
  if (!EqualRect(&area, &client)) {
    graphics.SetClip(
        Gdiplus::Rect(area.left, area.top, area.right - area.left, area.bottom - area.top));
  }
  graphics.Clear(Gdiplus::Color(0x00FFFFFF));
  Paint(graphics);
}

void UIHostWnd::Paint(Gdiplus::Graphics& graphics) {
  if (caretDrawn_)
    InvertCaret();
  UIContainer::Paint(graphics);
  graphics.Flush(Gdiplus::FlushIntentionSync);
  if (caretShown_ && caretPhaseOn_ && !CaretOwnerGone())
    InvertCaret();
}

bool UIHostWnd::EnsureBackBuffer() {
  RECT client = GetClientRect();
  int w = client.right - client.left;
  int h = client.bottom - client.top;
  if (bufferImage_ && w == bufferWidth_ && h == bufferHeight_)
    return false;
  FreeBackBuffer();
  if (w <= 0 || h <= 0)
    return false;
  BITMAPINFO bi = TopDownDibInfo(w, h);
  void* bits = nullptr;
  bufferDc_ = CreateCompatibleDC(ScopedScreenDc(GetDC(nullptr)).get());
  bufferBitmap_ = CreateDIBSection(bufferDc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bufferDc_ || !bufferBitmap_ || !bits) {
    FreeBackBuffer();
    return false;
  }
  bufferOldBitmap_ = SelectObject(bufferDc_, bufferBitmap_);
  bufferBits_ = static_cast<uint32_t*>(bits);
  bufferWidth_ = w;
  bufferHeight_ = h;
  bufferImage_ = std::make_unique<Gdiplus::Bitmap>(w, h, w * 4, PixelFormat32bppPARGB,
                                                   static_cast<BYTE*>(bits));
  caretDrawn_ = false;
  return true;
}

void UIHostWnd::FreeBackBuffer() {
  bufferImage_.reset();
  if (bufferDc_) {
    if (bufferOldBitmap_)
      SelectObject(bufferDc_, bufferOldBitmap_);
    DeleteDC(bufferDc_);
  }
  if (bufferBitmap_)
    DeleteObject(bufferBitmap_);
  bufferDc_ = nullptr;
  bufferBitmap_ = nullptr;
  bufferOldBitmap_ = nullptr;
  bufferBits_ = nullptr;
  bufferWidth_ = bufferHeight_ = 0;
  caretDrawn_ = false;
}

void UIHostWnd::Present(const RECT& area) {
  lastPushed_ = area;
  ++pushCount_;
  GdiFlush();
  if (IsLayered()) {
    POINT source = {0, 0};
    SIZE size = {bufferWidth_, bufferHeight_};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha_, AC_SRC_ALPHA};
    // Only the painted area is handed over; the rest of the window keeps what it shows.
    UPDATELAYEREDWINDOWINFO info = {sizeof(info)};
    info.psize = &size;
    info.hdcSrc = bufferDc_;
    info.pptSrc = &source;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = &area;
    if (!UpdateLayeredWindowIndirect(hwnd_, &info)) {
      info.prcDirty = nullptr;
      UpdateLayeredWindowIndirect(hwnd_, &info);
    }
  } else {
    HDC dc = GetDC(hwnd_);
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, bufferDc_,
           area.left, area.top, SRCCOPY);
    ReleaseDC(hwnd_, dc);
  }
}

uint32_t UIHostWnd::BackBufferPixelForTesting(int x, int y) const {
  if (!bufferBits_ || x < 0 || y < 0 || x >= bufferWidth_ || y >= bufferHeight_)
    return 0;
  return bufferBits_[y * bufferWidth_ + x];
}

// --- Caret.

bool UIHostWnd::CaretOwnerGone() const {
  return caretOwner_ && !ResolveLive(caretOwner_);
}

RECT UIHostWnd::CaretRect() const {
  return {caretPos_.x, caretPos_.y, caretPos_.x + caretSize_.cx, caretPos_.y + caretSize_.cy};
}

void UIHostWnd::InvertCaret() {
  caretDrawn_ = !caretDrawn_;
  if (!bufferBits_)
    return;
  RECT r = CaretRect();
  RECT all = {0, 0, bufferWidth_, bufferHeight_};
  IntersectRect(&r, &r, &all);
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      uint32_t& p = bufferBits_[y * bufferWidth_ + x];
      uint32_t a = p >> 24;
      // Premultiplied: a channel c of alpha a inverts to a - c.
      uint32_t b = a - (p & 0xFF), g = a - ((p >> 8) & 0xFF), rr = a - ((p >> 16) & 0xFF);
      p = (a << 24) | (rr << 16) | (g << 8) | b;
    }
  }
}

bool UIHostWnd::CreateCaret(UIControl* owner, HBITMAP bitmap, int width, int height) {
  if (!hwnd_)
    return false;
  ::CreateCaret(hwnd_, bitmap, width, height);  // kept hidden; for input-method placement
  caretCreated_ = true;
  caretOwner_ = owner ? owner->GetHandle() : 0;
  caretSize_ = {width, height};
  return true;
}

void UIHostWnd::ShowCaret(bool on) {
  if (on == caretShown_)
    return;
  caretShown_ = on;
  caretPhaseOn_ = on;
  if (on)
    root_.SetTimer(kCaretTimerIndex, GetCaretBlinkTime());
  else
    root_.KillTimer(kCaretTimerIndex);
  RECT r = CaretRect();
  InvalidateRect(r);
}

void UIHostWnd::SetCaretPos(int x, int y) {
  RECT old = CaretRect();
  caretPos_ = {x, y};
  if (caretCreated_)
    ::SetCaretPos(x, y);
  if (caretShown_) {
    InvalidateRect(old);
    RECT now = CaretRect();
    InvalidateRect(now);
  }
}

// --- Timers.

void UIHostWnd::OnTimerMessage(WPARAM id) {
  uint32_t handle = static_cast<uint32_t>(id) & 0xFFFFFF;
  int index = (static_cast<uint32_t>(id) >> 24) & 0x7F;
  UIControl* control = ResolveLive(handle);
  if (!control) {
    ::KillTimer(hwnd_, id);
    return;
  }
  if (control != &root_) {
    control->SendMessage(WM_TIMER, index);
    return;
  }
  if (index == kCaretTimerIndex) {
    if (CaretOwnerGone()) {
      ShowCaret(false);
      return;
    }
    caretPhaseOn_ = !caretPhaseOn_;
    RECT r = CaretRect();
    InvalidateRect(r);
    return;
  }
  OnTimer(index);
}

// --- Mouse.

bool UIHostWnd::SetCapture(uint32_t handle) {
  UIControl* c = ResolveLive(handle);
  if (!c || !c->IsEnabled() || !hwnd_)
    return false;
  ::SetCapture(hwnd_);
  capture_ = handle;
  return true;
}

void UIHostWnd::ReleaseCapture() {
  capture_ = 0;
  if (hwnd_ && GetCapture() == hwnd_)
    ::ReleaseCapture();
  POINT p;
  if (hwnd_ && GetCursorPos(&p)) {
    ScreenToClient(hwnd_, &p);
    PostMessageW(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  }
}

void UIHostWnd::SetHoverControl(UIControl* control) {
  uint32_t handle = control ? control->GetHandle() : 0;
  if (handle == hover_)
    return;
  // The leave handler may rebuild the tree.
  UIRef<UIControl> keep(control);
  UIControl* previous = ResolveLive(hover_);
  hover_ = handle;
  if (previous && !previous->IsTracking())
    previous->SendMessage(WM_MOUSELEAVE);
  if (!control || hover_ != handle || control->IsRemoved())
    return;
  if (control->IsTracking())
    AddTracking(handle);
  control->SendMessage(WM_MOUSEHOVER);
}

void UIHostWnd::RouteMouseMove(WPARAM wparam, LPARAM lparam) {
  if (!trackingArmed_) {
    TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE | TME_HOVER, hwnd_, HOVER_DEFAULT};
    trackingArmed_ = TrackMouseEvent(&tme) != FALSE;
  }
  lastMouseMessage_ = WM_MOUSEMOVE;
  lastMouseWparam_ = wparam;
  lastMouseLparam_ = lparam;
  POINT pt = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  UIControl* target = ResolveLive(capture_);
  if (!target)
    target = root_.ControlFromPoint(pt.x, pt.y);
  UIRef<UIControl> keep(target);
  SetHoverControl(target);
  if (target && !target->IsRemoved())
    target->SendMessage(WM_MOUSEMOVE, wparam, lparam);
  ForEachTracked([&](UIControl* t) {
    if (!t->IsVisible())
      return;
    bool inside = false;
    if (target) {
      for (UIControl* c = target; c; c = c->GetParent()) {
        if (c == t) {
          inside = true;
          break;
        }
      }
    } else {
      inside = t->HitTest(pt);
    }
    bool hovered = (t->GetState() & UIControl::kStateHover) != 0;
    if (inside && !hovered)
      t->SendMessage(WM_MOUSEHOVER);
    else if (!inside && hovered)
      t->SendMessage(WM_MOUSELEAVE);
  });
}

void UIHostWnd::ForEachTracked(const std::function<void(UIControl*)>& visit) {
  std::vector<uint32_t> tracked = tracking_;
  for (uint32_t h : tracked) {
    if (UIControl* t = ResolveLive(h))
      visit(t);
    else
      RemoveTracking(h);
  }
}

void UIHostWnd::RouteMouse(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_MOUSEHOVER) {
    lastMouseMessage_ = message;
    lastMouseWparam_ = wparam;
    lastMouseLparam_ = lparam;
  }
  UINT delivered = (nonClientMode_ && message != WM_MOUSEHOVER) ? message - 352 : message;
  if (UIControl* holder = ResolveLive(capture_)) {
    holder->SendMessage(delivered, wparam, lparam);
    return;
  }
  UIControl* target = root_.ControlFromPoint(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
  // Every send below may rebuild the tree. The hover moves with leave and hover notices: after a
  // menu or a modal loop a click can arrive with no move before it.
  UIRef<UIControl> keep(target);
  SetHoverControl(target);
  if (message == WM_LBUTTONDOWN && focus_ && (!target || target->GetHandle() != focus_))
    SetFocusControl(0);
  if (target && !target->IsRemoved() && target->IsEnabled())
    target->SendMessage(delivered, wparam, lparam);
}

void UIHostWnd::RouteWheel(UINT message, WPARAM wparam, LPARAM lparam) {
  POINT pt = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  ScreenToClient(hwnd_, &pt);
  UIControl* target = ResolveLive(capture_);
  if (!target)
    target = root_.ControlFromPoint(pt.x, pt.y);
  if (!target)
    target = ResolveLive(focus_);
  if (!target || !target->IsEnabled())
    return;
  UIRef<UIControl> keep(target);
  SetHoverControl(target);
  if (!target->IsRemoved())
    target->SendMessage(message, wparam, MAKELPARAM(pt.x, pt.y));
}

void UIHostWnd::OnMouseLeave() {
  trackingArmed_ = false;
  if (UIControl* holder = ResolveLive(capture_))
    holder->SendMessage(WM_MOUSELEAVE);
  UIControl* hovered = ResolveLive(hover_);
  hover_ = 0;
  if (hovered)
    hovered->SendMessage(WM_MOUSELEAVE);
  ForEachTracked([](UIControl* t) {
    if ((t->GetState() & UIControl::kStateHover) && t->IsEnabled())
      t->SendMessage(WM_MOUSELEAVE);
  });
}

bool UIHostWnd::OnSetCursor(LPARAM lparam) {
  int code = LOWORD(lparam);
  if (code == HTCLIENT) {
    UIControl* c = ResolveLive(capture_);
    if (!c)
      c = ResolveLive(hover_);
    if (c && c->IsEnabled())
      c->ApplyCursor();
    else
      ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return true;
  }
  if (resizable_) {
    LPCWSTR cursor = nullptr;
    if (code == HTLEFT || code == HTRIGHT)
      cursor = IDC_SIZEWE;
    else if (code == HTTOP || code == HTBOTTOM)
      cursor = IDC_SIZENS;
    else if (code == HTTOPLEFT || code == HTBOTTOMRIGHT)
      cursor = IDC_SIZENWSE;
    else if (code == HTTOPRIGHT || code == HTBOTTOMLEFT)
      cursor = IDC_SIZENESW;
    if (cursor) {
      ::SetCursor(LoadCursorW(nullptr, cursor));
      return true;
    }
  }
  return false;
}

LRESULT UIHostWnd::HitTestNonClient(int x, int y) {
  POINT pt = {x, y};
  ScreenToClient(hwnd_, &pt);
  RECT client = GetClientRect();
  if (resizable_ && !IsZoomed(hwnd_)) {
    RECT b = GetBorderWidths();
    bool left = pt.x < client.left + b.left;
    bool right = pt.x >= client.right - b.right;
    bool top = pt.y < client.top + b.top;
    bool bottom = pt.y >= client.bottom - b.bottom;
    if (bottom && right)
      return HTBOTTOMRIGHT;
    if (top && right)
      return HTTOPRIGHT;
    if (right)
      return HTRIGHT;
    if (bottom && left)
      return HTBOTTOMLEFT;
    if (top && left)
      return HTTOPLEFT;
    if (left)
      return HTLEFT;
    if (bottom)
      return HTBOTTOM;
    if (top)
      return HTTOP;
  }
  if (dragByBackground_ && root_.ControlFromPoint(pt.x, pt.y) == &root_)
    return HTCAPTION;
  return HTCLIENT;
}

void UIHostWnd::OnActivate(bool active) {
  if (active) {
    ::SetFocus(hwnd_);
    return;
  }
  UINT up = ButtonUpFor(lastMouseMessage_);
  if (!up)
    return;
  lastMouseMessage_ = 0;
  // The press never completes: the holder loses capture first, so the button-up that follows
  // leaves it unpressed without a click.
  if (UIControl* holder = ResolveLive(capture_)) {
    UIRef<UIControl> keep(holder);
    capture_ = 0;
    if (GetCapture() == hwnd_)
      ::ReleaseCapture();
    holder->SendMessage(WM_CAPTURECHANGED);
    holder->SendMessage(WM_MOUSELEAVE);
  }
  ::SendMessageW(hwnd_, up, lastMouseWparam_, lastMouseLparam_);
}

// --- Keyboard and focus.

void UIHostWnd::SetFocusControl(uint32_t handle) {
  UIControl* next = ResolveLive(handle);
  if (next) {
    if (UIControl* target = next->GetFocusTarget())
      next = target;
  }
  // Focus changes of the window and the kill-focus handler may rebuild the tree.
  UIRef<UIControl> keep(next);
  uint32_t nextHandle = next ? next->GetHandle() : 0;
  if (next && hwnd_ && GetFocus() != hwnd_ &&
      !(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
    savedFocus_ = 0;
    ::SetFocus(hwnd_);
  }
  if (nextHandle == focus_)
    return;
  UIControl* previous = ResolveLive(focus_);
  focus_ = nextHandle;
  if (previous)
    previous->SendMessage(WM_KILLFOCUS);
  if (!next || focus_ != nextHandle)
    return;
  if (next->IsRemoved())
    focus_ = 0;
  else
    next->SendMessage(WM_SETFOCUS);
}

bool UIHostWnd::MoveFocusByTab(bool backwards) {
  std::vector<UIControl*> order;
  CollectPreOrder(&root_, order);
  int n = static_cast<int>(order.size());
  int at = -1;
  for (int i = 0; i < n; ++i) {
    if (order[i]->GetHandle() == focus_)
      at = i;
  }
  for (int step = 1; step <= n; ++step) {
    int i = backwards ? ((at < 0 ? n : at) - step) : (at + step);
    i = ((i % n) + n) % n;
    if (i == at)
      break;
    if (IsFocusCandidate(order[i])) {
      SetFocusControl(order[i]->GetHandle());
      return true;
    }
  }
  return false;
}

bool UIHostWnd::MoveFocusByArrow(UIControl* focused, WPARAM key) {
  UIControl* parent = focused->GetParent();
  if (!parent)
    return false;
  bool back = key == VK_LEFT || key == VK_UP;
  const auto& siblings = parent->GetChildren();
  int n = static_cast<int>(siblings.size());
  int at = focused->IndexInParent();
  for (int step = 1; step < n; ++step) {
    int i = (((back ? at - step : at + step) % n) + n) % n;
    if (IsFocusCandidate(siblings[i])) {
      SetFocusControl(siblings[i]->GetHandle());
      return true;
    }
  }
  return false;
}

bool UIHostWnd::RouteKey(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  UIControl* focused = ResolveLive(focus_);
  if (message == WM_KEYDOWN) {
    if (wparam == VK_TAB && !(GetKeyState(VK_CONTROL) & 0x8000) &&
        !(focused && (focused->GetKeyWants() & UIControl::kWantsTab))) {
      if (MoveFocusByTab((GetKeyState(VK_SHIFT) & 0x8000) != 0))
        return true;
    }
    if ((wparam == VK_LEFT || wparam == VK_RIGHT || wparam == VK_UP || wparam == VK_DOWN) &&
        focused && focused->UsesArrowNavigation() && MoveFocusByArrow(focused, wparam))
      return true;
  }
  if (message == WM_SYSCHAR)
    wparam = reinterpret_cast<WPARAM>(CharUpperW(reinterpret_cast<LPWSTR>(wparam)));
  if (!focused)
    return false;
  UIRef<UIControl> keep(focused);
  *result = focused->SendMessage(message, wparam, lparam);
  return true;
}

// --- Events and the modal loop.

int UIHostWnd::FireEvent(UIControl* sender, const char* name, int param1, int param2) {
  UIEvent event;
  event.sender = sender;
  event.name = name;
  event.id = sender ? sender->GetId() : std::wstring();
  event.param1 = param1;
  event.param2 = param2;
  return OnEvent(event);
}

int UIHostWnd::OnEvent(UIEvent& event) {
  if (event.id == L"btnclose" || event.id == L"btncancel")
    EndModal(0);
  else if (event.id == L"btnok")
    EndModal(1);
  else if (event.id == L"btnmini" && hwnd_)
    ShowWindow(hwnd_, SW_MINIMIZE);
  return 1;
}

int UIHostWnd::RunModal(HWND owner) {
  if (!hwnd_)
    return modalResult_;
  // The loop's state lives here: a window may delete its object when it is destroyed.
  ModalFrame frame;
  frame.result = modalResult_;
  frame.outer = modal_;
  modal_ = &frame;
  if (owner && IsWindow(owner)) {
    EnableWindow(owner, FALSE);
    modalOwner_ = owner;
  }
  ++modalDepth;
  bool quit = false;
  WPARAM quitCode = 0;
  MSG msg;
  while (!frame.gone && frame.running && hwnd_) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      quitCode = msg.wParam;
      break;
    }
    if (got == -1)
      break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  --modalDepth;
  if (!frame.gone) {
    modal_ = frame.outer;
    if (modalOwner_ && IsWindow(modalOwner_))
      EnableWindow(modalOwner_, TRUE);
    modalOwner_ = nullptr;
    if (hwnd_)
      ShowWindow(hwnd_, SW_HIDE);
    if (hwnd_)
      DestroyWindow(hwnd_);  // may delete this object
  }
  if (quit && modalDepth > 0)
    PostQuitMessage(static_cast<int>(quitCode));
  return frame.result;
}

void UIHostWnd::EndModal(int result) {
  modalResult_ = result;
  if (modal_) {
    modal_->result = result;
    modal_->running = false;
  }
  if (hwnd_)
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void UIHostWnd::Close() {
  if (modal_)
    modal_->running = false;
  if (hwnd_) {
    ShowWindow(hwnd_, SW_HIDE);
    if (hwnd_)
      DestroyWindow(hwnd_);
  }
}

void UIHostWnd::CenterWindow() {
  if (!hwnd_)
    return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  RECT around;
  MONITORINFO mi = {sizeof(mi)};
  GetMonitorInfoW(
      MonitorFromWindow(owner && IsWindowVisible(owner) ? owner : hwnd_, MONITOR_DEFAULTTONEAREST),
      &mi);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner))
    GetWindowRect(owner, &around);
  else
    around = mi.rcWork;
  int x = around.left + (around.right - around.left - w) / 2;
  int y = around.top + (around.bottom - around.top - h) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepWindowInsideWorkArea(hwnd_);
}

bool UIHostWnd::CreateCentered(HWND owner) {
  if (!Create(owner, kDialogStyle & ~WS_VISIBLE, kDialogExStyle, 0, 0, 200, 200))
    return false;
  CenterWindow();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  return true;
}

void UIHostWnd::BringToFront() {
  if (!hwnd_)
    return;
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  using SwitchFn = void(WINAPI*)(HWND, BOOL);
  static SwitchFn switchTo = reinterpret_cast<SwitchFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SwitchToThisWindow")));
  if (switchTo)
    switchTo(hwnd_, TRUE);
  SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

UIControl* UIHostWnd::GetFocusControl() const {
  return ResolveLive(focus_);
}

UIControl* UIHostWnd::GetHoverControl() const {
  return ResolveLive(hover_);
}
