#include "ui/controls/SkinMenuWnd.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sys/Handles.h"
#include "ui/controls/MenuLoader.h"
#include "ui/core/SkinBitmap.h"
#include "ui/core/UIFont.h"
#include "ui/core/UIResLoader.h"

const wchar_t kSkinMenuWndClass[] = L"QuelmSkinMenuWnd";

namespace {

constexpr UINT_PTR kSubmenuTimer = 1;
// Entries are stacked 8 pixels in from the left; highlights and separators stop as far from
// the right edge so that they stay inside the frame.
constexpr int kRightInset = 8;
constexpr int kIconBand = 26;
constexpr int kTextIndent = 28;
constexpr Gdiplus::ARGB kSeparatorColor = 0xFFB1CBB6;
constexpr Gdiplus::ARGB kHotColor = 0xFFF0F5F9;
constexpr Gdiplus::ARGB kTextColor = 0xFE66666D;
constexpr Gdiplus::ARGB kGreyTextColor = 0xFEACA899;

// The width an entry is highlighted and hit over: every entry of a level shares one band that
// ends as far from the right edge as the stack starts from the left. The widest entry's own
// width would reach into the frame.
int BandWidth(const SkinMenu& menu, const SkinMenuItem& item) {
  return menu.width - kRightInset - item.x;
}

bool Selectable(const SkinMenuItem& item) {
  return !item.Is(SkinMenuItem::kSeparator);
}

void DrawNineGrid(Gdiplus::Graphics& g, SkinBitmap* image, int w, int h) {
  int iw = static_cast<int>(image->GetWidth());
  int ih = static_cast<int>(image->GetHeight());
  int c = iw / 3;
  if (c <= 0 || ih < 2 * c || w < 2 * c || h < 2 * c)
    return;
  Gdiplus::ImageAttributes wrap;
  wrap.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  auto part = [&](int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
    if (dw > 0 && dh > 0 && sw > 0 && sh > 0)
      g.DrawImage(image, Gdiplus::Rect(dx, dy, dw, dh), sx, sy, sw, sh, Gdiplus::UnitPixel, &wrap);
  };
  int mw = iw - 2 * c, mh = ih - 2 * c;
  part(0, 0, c, c, 0, 0, c, c);
  part(w - c, 0, c, c, iw - c, 0, c, c);
  part(0, h - c, c, c, 0, ih - c, c, c);
  part(w - c, h - c, c, c, iw - c, ih - c, c, c);
  part(c, 0, w - 2 * c, c, c, 0, mw, c);
  part(c, h - c, w - 2 * c, c, c, ih - c, mw, c);
  part(0, c, c, h - 2 * c, 0, c, c, mh);
  part(w - c, c, c, h - 2 * c, iw - c, c, c, mh);
  Gdiplus::Color centre;
  if (image->GetPixel(iw / 2, ih / 2, &centre) == Gdiplus::Ok) {
    Gdiplus::SolidBrush brush(centre);
    g.FillRectangle(&brush, c, c, w - 2 * c, h - 2 * c);
  }
}

void DrawItem(Gdiplus::Graphics& g,
              const SkinMenu& menu,
              const SkinMenuItem& item,
              bool hot,
              Gdiplus::Font* font) {
  int band = BandWidth(menu, item);
  if (item.Is(SkinMenuItem::kSeparator)) {
    Gdiplus::SolidBrush line{Gdiplus::Color(kSeparatorColor)};
    g.FillRectangle(&line, item.x + 5, item.y + item.height / 2, band - 10, 1);
    return;
  }
  if (hot) {
    Gdiplus::SolidBrush fill{Gdiplus::Color(kHotColor)};
    g.FillRectangle(&fill, item.x, item.y, band, item.height);
  }
  Gdiplus::SolidBrush ink{
      Gdiplus::Color(item.Is(SkinMenuItem::kDisabled) ? kGreyTextColor : kTextColor)};
  if (font && !item.text.empty()) {
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    format.SetHotkeyPrefix(Gdiplus::HotkeyPrefixShow);
    Gdiplus::RectF box(
        static_cast<Gdiplus::REAL>(item.x + kTextIndent), static_cast<Gdiplus::REAL>(item.y + 1),
        static_cast<Gdiplus::REAL>(band - kTextIndent), static_cast<Gdiplus::REAL>(item.height));
    size_t tab = item.text.find(L'\t');
    std::wstring head = item.text.substr(0, tab);
    g.DrawString(head.c_str(), static_cast<INT>(head.size()), font, box, &format, &ink);
    if (tab != std::wstring::npos && tab + 1 < item.text.size()) {
      // What follows the tab (a shortcut) sits at the right, as in the system's menus.
      std::wstring tail = item.text.substr(tab + 1);
      box.Width -= 10;
      format.SetAlignment(Gdiplus::StringAlignmentFar);
      g.DrawString(tail.c_str(), static_cast<INT>(tail.size()), font, box, &format, &ink);
    }
  }
  if (item.Is(SkinMenuItem::kHasImage)) {
    UIResLoader* loader = GetResLoader();
    SkinBitmap* icon = loader ? loader->LoadImage(item.image) : nullptr;
    if (icon) {
      int iw = static_cast<int>(icon->GetWidth()), ih = static_cast<int>(icon->GetHeight());
      int ix = iw < kIconBand + 1 ? item.x + (kIconBand - iw) / 2 : item.x;
      int iy = ih < item.height ? item.y + (item.height - ih) / 2 : item.y;
      g.DrawImage(icon, ix, iy, iw, ih);
    }
  }
  if (item.Is(SkinMenuItem::kSubmenu)) {
    int ax = item.x + band - 14, ay = item.y + item.height / 2;
    Gdiplus::Point arrow[] = {{ax, ay - 4}, {ax + 4, ay}, {ax, ay + 4}};
    g.FillPolygon(&ink, arrow, 3);
  }
}

void DrawMenu(Gdiplus::Graphics& g, const SkinMenu& menu, int hot, SkinBitmap* background) {
  g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  if (background)
    DrawNineGrid(g, background, menu.width, menu.height);
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  Gdiplus::Font* font = DefaultUIFont();
  for (size_t i = 0; i < menu.items.size(); ++i)
    DrawItem(g, menu, menu.items[i], static_cast<int>(i) == hot, font);
}

RECT WorkAreaAt(POINT pt) {
  MONITORINFO info = {sizeof(info)};
  if (GetMonitorInfoW(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &info))
    return info.rcWork;
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return screen;
}

int Clamp(int v, int low, int high) {
  return high < low ? low : std::min(std::max(v, low), high);
}

class MenuSession {
 public:
  MenuSession(HWND owner, SkinBitmap* background) : owner_(owner), background_(background) {}
  ~MenuSession() { CloseLevelsFrom(0); }
  MenuSession(const MenuSession&) = delete;
  MenuSession& operator=(const MenuSession&) = delete;

  int Run(SkinMenu* menu, int x, int y);

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  struct Level {
    SkinMenu* menu = nullptr;
    HWND hwnd = nullptr;
    RECT rect = {};  // screen
    int hot = -1;
    int opener = -1;  // the entry of the level below that opened this one
  };

  bool OpenLevel(SkinMenu* menu, int x, int y, int opener);
  void CloseLevelsFrom(size_t first);
  void Paint(const Level& level);
  int LevelAt(POINT pt) const;
  int ItemAt(const Level& level, POINT pt) const;
  void SetHot(size_t level, int item);
  void OpenSubmenu(size_t level, bool selectFirst);
  void ArmTimer(size_t level);
  void OnTimer();
  bool HandleInput(const MSG& msg);
  void OnMouseMove(POINT pt);
  void OnButtonDown(POINT pt);
  void OnButtonUp(POINT pt);
  void OnKey(WPARAM key);
  void MoveHot(int step);
  bool IsOurs(HWND hwnd) const;
  void Finish(int id) {
    done_ = true;
    result_ = id;
  }

  HWND owner_;
  SkinBitmap* background_;
  std::vector<Level> levels_;
  bool done_ = false;
  bool closing_ = false;
  int result_ = 0;
  size_t timerLevel_ = 0;
  bool timerArmed_ = false;
};

void RegisterMenuClass() {
  static bool registered = false;
  if (registered)
    return;
  WNDCLASSEXW wc = {sizeof(wc)};
  wc.lpfnWndProc = MenuSession::WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kSkinMenuWndClass;
  registered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK MenuSession::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* session = reinterpret_cast<MenuSession*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_TIMER:
      if (session && wp == kSubmenuTimer)
        session->OnTimer();
      return 0;
    case WM_CANCELMODE:
      if (session)
        session->Finish(0);
      return 0;
    case WM_CAPTURECHANGED:
      if (session && !session->closing_ && !session->IsOurs(reinterpret_cast<HWND>(lp)))
        session->Finish(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

bool MenuSession::IsOurs(HWND hwnd) const {
  for (const Level& level : levels_)
    if (level.hwnd == hwnd)
      return true;
  return false;
}

bool MenuSession::OpenLevel(SkinMenu* menu, int x, int y, int opener) {
  RegisterMenuClass();
  POINT at = {x, y};
  RECT work = WorkAreaAt(at);
  Level level;
  level.menu = menu;
  level.opener = opener;
  level.rect.left = Clamp(x, work.left, work.right - menu->width);
  level.rect.top = Clamp(y, work.top, work.bottom - menu->height);
  level.rect.right = level.rect.left + menu->width;
  level.rect.bottom = level.rect.top + menu->height;
  level.hwnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kSkinMenuWndClass,
                               L"", WS_POPUP, level.rect.left, level.rect.top, 100, 100, owner_,
                               nullptr, GetModuleHandleW(nullptr), this);
  if (!level.hwnd)
    return false;
  levels_.push_back(level);
  Paint(levels_.back());
  SetWindowPos(level.hwnd, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return true;
}

void MenuSession::CloseLevelsFrom(size_t first) {
  if (first >= levels_.size())
    return;
  if (timerArmed_ && timerLevel_ >= first) {
    KillTimer(levels_[0].hwnd, kSubmenuTimer);
    timerArmed_ = false;
  }
  closing_ = first == 0;
  if (closing_ && GetCapture() == levels_[0].hwnd)
    ReleaseCapture();
  while (levels_.size() > first) {
    DestroyWindow(levels_.back().hwnd);
    levels_.pop_back();
  }
}

void MenuSession::Paint(const Level& level) {
  int w = level.menu->width, h = level.menu->height;
  if (w <= 0 || h <= 0)
    return;
  BITMAPINFO bi = TopDownDibInfo(w, h);
  void* bits = nullptr;
  ScopedGdiObject dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ScopedMemoryDc mem(CreateCompatibleDC(nullptr));
  if (!dib || !bits || !mem)
    return;
  HGDIOBJ old = SelectObject(mem.get(), dib.get());
  {
    // The canvas draws straight into the section's pixels, premultiplied as the layered
    // window wants them.
    Gdiplus::Bitmap canvas(w, h, w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
    Gdiplus::Graphics g(&canvas);
    DrawMenu(g, *level.menu, level.hot, background_);
  }
  POINT src = {0, 0};
  POINT dst = {level.rect.left, level.rect.top};
  SIZE size = {w, h};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(level.hwnd, nullptr, &dst, &size, mem.get(), &src, 0, &blend, ULW_ALPHA);
  SelectObject(mem.get(), old);
}

int MenuSession::LevelAt(POINT pt) const {
  for (size_t i = levels_.size(); i-- > 0;)
    if (PtInRect(&levels_[i].rect, pt))
      return static_cast<int>(i);
  return -1;
}

int MenuSession::ItemAt(const Level& level, POINT pt) const {
  int x = pt.x - level.rect.left, y = pt.y - level.rect.top;
  const auto& items = level.menu->items;
  for (size_t i = 0; i < items.size(); ++i) {
    const SkinMenuItem& item = items[i];
    if (x >= item.x && x < item.x + BandWidth(*level.menu, item) && y >= item.y &&
        y < item.y + item.height)
      return Selectable(item) ? static_cast<int>(i) : -1;
  }
  return -1;
}

void MenuSession::SetHot(size_t level, int item) {
  if (levels_[level].hot == item)
    return;
  levels_[level].hot = item;
  Paint(levels_[level]);
}

void MenuSession::ArmTimer(size_t level) {
  UINT delay = 400;
  SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
  timerLevel_ = level;
  timerArmed_ = true;
  SetTimer(levels_[0].hwnd, kSubmenuTimer, std::max<UINT>(delay, USER_TIMER_MINIMUM), nullptr);
}

void MenuSession::OnTimer() {
  KillTimer(levels_[0].hwnd, kSubmenuTimer);
  if (!timerArmed_ || timerLevel_ >= levels_.size())
    return;
  timerArmed_ = false;
  size_t level = timerLevel_;
  CloseLevelsFrom(level + 1);
  OpenSubmenu(level, false);
}

void MenuSession::OpenSubmenu(size_t level, bool selectFirst) {
  Level& parent = levels_[level];
  if (parent.hot < 0)
    return;
  SkinMenuItem& item = parent.menu->items[parent.hot];
  if (!item.Is(SkinMenuItem::kSubmenu) || !item.submenu || item.submenu->items.empty())
    return;
  if (level + 1 < levels_.size() && levels_[level + 1].opener == parent.hot)
    return;
  CloseLevelsFrom(level + 1);
  SkinMenu* sub = item.submenu.get();
  RECT from = parent.rect;
  int y = from.top + item.y - 10;  // its first entry level with the opener
  POINT probe = {from.right, y};
  RECT work = WorkAreaAt(probe);
  int x = from.right - kRightInset;
  if (x + sub->width > work.right)
    x = std::max(static_cast<int>(work.left),
                 static_cast<int>(from.left) + kRightInset - sub->width);
  int opener = parent.hot;
  if (!OpenLevel(sub, x, y, opener))
    return;
  if (selectFirst) {
    levels_.back().hot = -1;
    MoveHot(1);
  }
}

void MenuSession::MoveHot(int step) {
  Level& level = levels_.back();
  const auto& items = level.menu->items;
  int n = static_cast<int>(items.size());
  int i = level.hot;
  for (int tries = 0; tries < n; ++tries) {
    if (i < 0)
      i = step > 0 ? 0 : n - 1;
    else
      i = (i + step + n) % n;
    if (Selectable(items[i])) {
      SetHot(levels_.size() - 1, i);
      return;
    }
  }
}

void MenuSession::OnMouseMove(POINT pt) {
  int li = LevelAt(pt);
  if (li < 0) {
    // Leaving every level keeps an open submenu's entry lit, like the system's menus.
    size_t last = levels_.size() - 1;
    if (timerArmed_ && timerLevel_ == last) {
      KillTimer(levels_[0].hwnd, kSubmenuTimer);
      timerArmed_ = false;
    }
    SetHot(last, -1);
    return;
  }
  size_t level = static_cast<size_t>(li);
  if (level > 0) {
    // Reaching a submenu cancels a pending switch in the levels below it.
    if (timerArmed_ && timerLevel_ < level) {
      KillTimer(levels_[0].hwnd, kSubmenuTimer);
      timerArmed_ = false;
    }
    for (size_t i = level; i > 0; --i)
      SetHot(i - 1, levels_[i].opener);
  }
  int item = ItemAt(levels_[level], pt);
  if (item == levels_[level].hot)
    return;
  SetHot(level, item);
  bool opensSubmenu = item >= 0 && levels_[level].menu->items[item].Is(SkinMenuItem::kSubmenu);
  if (level + 1 < levels_.size() || opensSubmenu)
    ArmTimer(level);
}

void MenuSession::OnButtonDown(POINT pt) {
  int li = LevelAt(pt);
  if (li < 0) {
    Finish(0);
    return;
  }
  int item = ItemAt(levels_[li], pt);
  if (item >= 0 && levels_[li].menu->items[item].Is(SkinMenuItem::kSubmenu)) {
    SetHot(li, item);
    OpenSubmenu(li, false);
  }
}

void MenuSession::OnButtonUp(POINT pt) {
  int li = LevelAt(pt);
  if (li < 0)
    return;
  int item = ItemAt(levels_[li], pt);
  if (item >= 0 && levels_[li].menu->items[item].Choosable())
    Finish(levels_[li].menu->items[item].id);
}

void MenuSession::OnKey(WPARAM key) {
  size_t last = levels_.size() - 1;
  Level& level = levels_[last];
  const SkinMenuItem* hot = level.hot >= 0 ? &level.menu->items[level.hot] : nullptr;
  switch (key) {
    case VK_DOWN:
      MoveHot(1);
      break;
    case VK_UP:
      MoveHot(-1);
      break;
    case VK_RIGHT:
      if (hot && hot->Is(SkinMenuItem::kSubmenu))
        OpenSubmenu(last, true);
      break;
    case VK_LEFT:
      if (last > 0)
        CloseLevelsFrom(last);
      break;
    case VK_RETURN:
      if (hot && hot->Is(SkinMenuItem::kSubmenu))
        OpenSubmenu(last, true);
      else if (hot && hot->Choosable())
        Finish(hot->id);
      break;
    case VK_ESCAPE:
      if (last > 0)
        CloseLevelsFrom(last);
      else
        Finish(0);
      break;
    case VK_MENU:
    case VK_F10:
      Finish(0);
      break;
    default:
      break;
  }
}

bool MenuSession::HandleInput(const MSG& msg) {
  switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP: {
      POINT pt = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      bool client = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
      if (client && msg.hwnd)
        ClientToScreen(msg.hwnd, &pt);
      switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
          OnMouseMove(pt);
          break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_NCLBUTTONUP:
        case WM_NCRBUTTONUP:
          OnButtonUp(pt);
          break;
        case WM_MBUTTONUP:
          break;
        default:
          OnButtonDown(pt);
          break;
      }
      return true;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      OnKey(msg.wParam);
      return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_MOUSEWHEEL:
      return true;
    default:
      return false;
  }
}

int MenuSession::Run(SkinMenu* menu, int x, int y) {
  if (!menu || menu->items.empty() || !OpenLevel(menu, x, y, -1))
    return 0;
  SetCapture(levels_[0].hwnd);
  // Dismissal on lost activation only applies when the owner had it to begin with.
  bool watchForeground = GetForegroundWindow() == owner_;
  while (!done_) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      Finish(0);
      break;
    }
    if (!CallMsgFilterW(&msg, MSGF_MENU) && !HandleInput(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (watchForeground && !done_) {
      HWND foreground = GetForegroundWindow();
      if (foreground != owner_ && !IsOurs(foreground))
        Finish(0);
    }
  }
  CloseLevelsFrom(0);
  return result_;
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> RenderSkinMenuForTesting(const SkinMenu& menu,
                                                          int hot,
                                                          SkinBitmap* background) {
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(menu.width, menu.height, PixelFormat32bppARGB);
  Gdiplus::Graphics g(bitmap.get());
  DrawMenu(g, menu, hot, background);
  return bitmap;
}

int RunSkinMenu(HWND owner, SkinMenu* menu, int x, int y, SkinBitmap* background) {
  MenuSession session(owner, background);
  return session.Run(menu, x, y);
}
