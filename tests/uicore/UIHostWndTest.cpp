#include "ui/core/UIHostWnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/PumpUntil.h"
#include "tests/uicore/PaintCanvas.h"
#include "tests/uicore/UITestSkin.h"
#include "ui/core/UIBuilder.h"
#include "ui/core/UIFont.h"

namespace {

// Presses like a push button: capture and the pressed look on left-down; a click on left-up
// only when it still holds the capture and the pointer is inside.
class Probe : public UIControl {
 public:
  Probe() { SetFocusable(true); }
  void OnMessage(UIMessage& m) override {
    if (IsRemoved())
      ++afterRemoval;
    if (onMessage)
      onMessage(m.message);
    IUIContainer* host = GetHost();
    switch (m.message) {
      case WM_LBUTTONDOWN:
        host->SetFocusControl(GetHandle());
        host->SetCapture(GetHandle());
        SetState(GetState() | kStatePressed);
        Invalidate();
        return;
      case WM_LBUTTONUP: {
        bool click = false;
        if (host->GetCaptureHandle() == GetHandle()) {
          click = HitTest({m.x, m.y});
          host->ReleaseCapture();
        }
        SetState(GetState() & ~kStatePressed);
        Invalidate();
        if (click)
          FireEvent("click");
        return;
      }
      case WM_CAPTURECHANGED:
        SetState(GetState() & ~kStatePressed);
        return;
      case WM_TIMER:
        ++ticks;
        return;
      default:
        UIControl::OnMessage(m);
    }
  }
  int ticks = 0;
  int afterRemoval = 0;
  std::function<void(UINT)> onMessage;  // runs first, as an application's handler would
};

class TestHost : public UIHostWnd {
 public:
  using UIHostWnd::UIHostWnd;
  int OnEvent(UIEvent& e) override {
    events.push_back(e.name + ":" + std::string(e.id.begin(), e.id.end()));
    return UIHostWnd::OnEvent(e);
  }
  bool HandleMessage(HWND hwnd,
                     UINT message,
                     WPARAM wparam,
                     LPARAM lparam,
                     LRESULT* result) override {
    if (message == WM_TIMER && wparam == watchedTimer)
      ++watchedTicks;
    if (message == WM_APP && onApp) {
      onApp();
      return true;
    }
    return UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
  }
  UIControl* Find(const wchar_t* id) { return root_.FindById(id); }
  std::vector<std::string> events;
  std::function<void()> onApp;
  UINT_PTR watchedTimer = 0;
  int watchedTicks = 0;
};

const char kDialog[] =
    "<UIWnd pos='0,0,460,300' hit='false' back='clr:clr=#80204060' id='bg'>"
    "  <Probe id='p1' pos='10,10,40,20' back='clr:clrn=#ffff0000|clrh=#ff00ff00|clrp=#ff0000ff|"
    "border=#ff000000|round=4'/>"
    "  <Probe id='p2' pos='60,10,40,20'/>"
    "  <UIWnd id='tracker' pos='110,10,60,40' track='1'><Probe id='p3' pos='5,5,20,20'/></UIWnd>"
    "  <Probe id='hiddenbyattr' pos='0,100,10,10' visible='false'/>"
    "  <Probe id='disabled' pos='20,100,10,10' enable='false'/>"
    "  <UIWnd pos='40,100,50,50' visible='false'><Probe id='inhidden' pos='0,0,10,10'/></UIWnd>"
    "  <UIWnd pos='100,100,50,50' enable='false'><Probe id='indisabled' pos='0,0,10,10'/></UIWnd>"
    "  <Probe id='p4' pos='200,100,30,30'/>"
    "  <UIWnd id='label' pos='300,10,50,20' hit='false' txt='标签'/>"
    "  <Probe id='btnok' pos='300,200,40,20'/>"
    "</UIWnd>";

LPARAM At(int x, int y) {
  return MAKELPARAM(x, y);
}

class UIHostWndTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterControlClass(L"Probe", [] { return static_cast<UIControl*>(new Probe); });
  }
  void SetUp() override {
    skin_ = std::make_unique<UITestSkin>(std::vector<PackFile>{{L"xml\\dlg.xml", kDialog}});
  }
  void TearDown() override {
    host_.reset();
    skin_.reset();
  }
  TestHost& Open(DWORD exStyle = UIHostWnd::kDialogExStyle,
                 const wchar_t* layout = L"xml\\dlg.xml") {
    host_ = std::make_unique<TestHost>(layout);
    HWND hwnd = host_->Create(nullptr, UIHostWnd::kDialogStyle, exStyle, 0, 0, 200, 200);
    EXPECT_NE(hwnd, nullptr);
    return *host_;
  }
  LRESULT Send(UINT m, WPARAM w, LPARAM l) { return SendMessageW(host_->GetHwnd(), m, w, l); }
  Probe* P(const wchar_t* id) { return static_cast<Probe*>(host_->Find(id)); }

  std::unique_ptr<UITestSkin> skin_;
  std::unique_ptr<TestHost> host_;
};

}  // namespace

TEST_F(UIHostWndTest, DialogTakesItsLayoutSize) {
  TestHost& host = Open();
  RECT r;
  GetWindowRect(host.GetHwnd(), &r);
  EXPECT_EQ(r.right - r.left, 460);
  EXPECT_EQ(r.bottom - r.top, 300);
  UIControl* bg = host.Find(L"bg");
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->GetWidth(), 460);
  EXPECT_EQ(bg->GetHeight(), 300);
  EXPECT_STREQ(host.GetRoot()->GetClassName(), "UIHostWnd");
}

TEST_F(UIHostWndTest, PressAndReleaseInsideClicksAndDraggingOffDoesNot) {
  TestHost& host = Open();
  Probe* p1 = P(L"p1");
  Send(WM_MOUSEMOVE, 0, At(20, 20));
  EXPECT_TRUE(p1->GetState() & UIControl::kStateHover);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  EXPECT_EQ(host.GetCaptureHandle(), p1->GetHandle());
  EXPECT_EQ(host.GetFocusControl(), p1);
  // While captured, moves and the release go to p1 wherever the pointer is.
  Send(WM_MOUSEMOVE, MK_LBUTTON, At(70, 20));
  EXPECT_EQ(host.GetHoverControl(), p1);
  Send(WM_LBUTTONUP, 0, At(70, 20));
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(host.GetCaptureHandle(), 0u);
  EXPECT_FALSE(p1->GetState() & UIControl::kStatePressed);

  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  Send(WM_LBUTTONUP, 0, At(21, 21));
  EXPECT_EQ(host.events, std::vector<std::string>{"click:p1"});
}

TEST_F(UIHostWndTest, DeactivationMidPressLeavesNothingPressedAndFiresNoClick) {
  TestHost& host = Open();
  Probe* p1 = P(L"p1");
  Send(WM_MOUSEMOVE, 0, At(20, 20));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  ASSERT_TRUE(p1->GetState() & UIControl::kStatePressed);
  Send(WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(p1->GetState() & UIControl::kStatePressed);
  EXPECT_EQ(host.GetCaptureHandle(), 0u);
  EXPECT_TRUE(host.events.empty());
}

TEST_F(UIHostWndTest, HoverMovesBetweenControlsAndTrackedParentsKeepTheirs) {
  TestHost& host = Open();
  Probe* p1 = P(L"p1");
  Probe* p2 = P(L"p2");
  UIControl* tracker = host.Find(L"tracker");
  Send(WM_MOUSEMOVE, 0, At(20, 20));
  Send(WM_MOUSEMOVE, 0, At(70, 20));
  EXPECT_FALSE(p1->GetState() & UIControl::kStateHover);
  EXPECT_TRUE(p2->GetState() & UIControl::kStateHover);
  Send(WM_MOUSEMOVE, 0, At(112, 12));  // the tracker itself
  Send(WM_MOUSEMOVE, 0, At(120, 20));  // its child
  EXPECT_TRUE(tracker->GetState() & UIControl::kStateHover);
  EXPECT_TRUE(P(L"p3")->GetState() & UIControl::kStateHover);
  Send(WM_MOUSEMOVE, 0, At(250, 250));
  EXPECT_FALSE(tracker->GetState() & UIControl::kStateHover);
  Send(WM_MOUSEMOVE, 0, At(70, 20));
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(p2->GetState() & UIControl::kStateHover);
  EXPECT_EQ(host.GetHoverControl(), nullptr);
}

TEST_F(UIHostWndTest, DestroyedCaptureHolderIsForgottenAndMiceRouteByPosition) {
  TestHost& host = Open();
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  P(L"p1")->Remove();
  Send(WM_LBUTTONUP, 0, At(20, 20));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(70, 20));
  EXPECT_EQ(host.GetCaptureHandle(), P(L"p2")->GetHandle());
  Send(WM_LBUTTONUP, 0, At(70, 20));
  EXPECT_EQ(host.events, std::vector<std::string>{"click:p2"});
}

TEST_F(UIHostWndTest, TabSkipsControlsHiddenOrDisabledOnThemselvesOrAnAncestor) {
  TestHost& host = Open();
  std::vector<std::wstring> order;
  for (int i = 0; i < 6; ++i) {
    Send(WM_KEYDOWN, VK_TAB, 0);
    UIControl* f = host.GetFocusControl();
    order.push_back(f ? f->GetId() : L"-");
  }
  EXPECT_EQ(order, (std::vector<std::wstring>{L"p1", L"p2", L"p3", L"p4", L"btnok", L"p1"}));
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  Send(WM_KEYDOWN, VK_TAB, 0);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(host.GetFocusControl()->GetId(), L"btnok");
}

TEST_F(UIHostWndTest, TimerOfADestroyedControlIsKilledAtItsNextTick) {
  TestHost& host = Open();
  Probe* p2 = P(L"p2");
  ASSERT_TRUE(p2->SetTimer(3, 1));
  ASSERT_TRUE(PumpUntil([&] { return p2->ticks > 0; }));
  host.watchedTimer = UIControl::TimerId(p2->GetHandle(), 3);
  p2->Remove();
  int seen = host.watchedTicks;
  ASSERT_TRUE(PumpUntil([&] { return host.watchedTicks > seen; }));
  // The host killed it at that tick: there is nothing left to kill.
  EXPECT_FALSE(KillTimer(host.GetHwnd(), host.watchedTimer));
}

TEST_F(UIHostWndTest, HidingAControlRepaintsTheAreaItLeaves) {
  TestHost& host = Open(0);
  HWND hwnd = host.GetHwnd();
  UpdateWindow(hwnd);
  ValidateRect(hwnd, nullptr);
  P(L"p2")->SetVisible(false);
  RECT update = {};
  ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
  RECT expected = {60, 10, 100, 30};
  RECT both;
  IntersectRect(&both, &update, &expected);
  EXPECT_TRUE(EqualRect(&both, &expected));
}

TEST_F(UIHostWndTest, BackgroundDragsTheWindowButControlsDoNot) {
  TestHost& host = Open();
  struct Case {
    int x, y;
    LRESULT code;
  } cases[] = {{5, 250, HTCAPTION}, {310, 15, HTCAPTION}, {20, 20, HTCLIENT}};
  POINT origin = {0, 0};
  ClientToScreen(host.GetHwnd(), &origin);
  for (const Case& c : cases) {
    EXPECT_EQ(Send(WM_NCHITTEST, 0, MAKELPARAM(origin.x + c.x, origin.y + c.y)), c.code)
        << c.x << "," << c.y;
  }
}

TEST_F(UIHostWndTest, BackBufferShowsStateColoursARoundedBorderAndClearCorners) {
  TestHost& host = Open();
  host.PaintNow();
  auto px = [&](int x, int y) { return host.BackBufferPixelForTesting(x, y); };
  ASSERT_EQ(host.BackBufferSizeForTesting().cx, 460);
  EXPECT_EQ(px(30, 20), 0xFFFF0000u);
  // The background is half transparent, stored premultiplied.
  uint32_t bg = px(5, 250);
  EXPECT_EQ(bg >> 24, 0x80u);
  EXPECT_LE(bg & 0xFF, 0x80u);
  // The border is stroked on the control's last column and row, not beyond it.
  EXPECT_EQ(px(49, 20) & 0x00FFFFFF, 0x000000u);
  EXPECT_EQ(px(50, 20), bg);
  EXPECT_EQ(px(30, 29) & 0x00FFFFFF, 0x000000u);
  EXPECT_EQ(px(30, 30), bg);
  // Rounded corners let the background through at the very corner pixel.
  EXPECT_EQ(px(10, 10), bg);

  Send(WM_MOUSEMOVE, 0, At(30, 20));
  host.PaintNow();
  EXPECT_EQ(px(30, 20), 0xFF00FF00u);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(30, 20));
  host.PaintNow();
  EXPECT_EQ(px(30, 20), 0xFF0000FFu);
  Send(WM_LBUTTONUP, 0, At(30, 20));
}

TEST_F(UIHostWndTest, ModalLoopEndsByEventByDestructionAndByQuit) {
  {
    TestHost& host = Open();
    PostMessageW(host.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(310, 210));
    PostMessageW(host.GetHwnd(), WM_LBUTTONUP, 0, At(310, 210));
    EXPECT_EQ(host.RunModal(), 1);
    EXPECT_EQ(host.GetHwnd(), nullptr);
  }
  {
    UIHostWnd owner;
    ASSERT_TRUE(owner.Create(nullptr, WS_POPUP, 0, 0, 0, 50, 50));
    TestHost& host = Open();
    PostMessageW(host.GetHwnd(), WM_CLOSE, 0, 0);  // the default procedure destroys it
    host.RunModal(owner.GetHwnd());
    EXPECT_EQ(host.GetHwnd(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.GetHwnd()));
  }
  {
    TestHost& outer = Open();
    TestHost inner(L"xml\\dlg.xml");
    ASSERT_TRUE(
        inner.Create(nullptr, UIHostWnd::kDialogStyle, UIHostWnd::kDialogExStyle, 0, 0, 200, 200));
    bool innerReturned = false;
    outer.onApp = [&] {
      PostQuitMessage(3);
      inner.RunModal(outer.GetHwnd());
      innerReturned = true;
    };
    PostMessageW(outer.GetHwnd(), WM_APP, 0, 0);
    outer.RunModal();
    EXPECT_TRUE(innerReturned);
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  }
}

TEST_F(UIHostWndTest, CaretInvertsItsRectangleWhileShownAndMovesWithItsPosition) {
  TestHost& host = Open();
  host.PaintNow();
  uint32_t before = host.BackBufferPixelForTesting(30, 20);  // opaque red
  ASSERT_TRUE(host.CreateCaret(P(L"p1"), nullptr, 2, 10));
  host.SetCaretPos(30, 15);
  host.ShowCaret(true);
  host.PaintNow();
  EXPECT_EQ(host.BackBufferPixelForTesting(30, 20), 0xFF00FFFFu);
  EXPECT_EQ(host.BackBufferPixelForTesting(32, 20), before);
  host.SetCaretPos(40, 15);
  host.PaintNow();
  EXPECT_EQ(host.BackBufferPixelForTesting(30, 20), before);
  EXPECT_EQ(host.BackBufferPixelForTesting(40, 20), 0xFF00FFFFu);
  host.ShowCaret(false);
  host.PaintNow();
  EXPECT_EQ(host.BackBufferPixelForTesting(40, 20), before);
}

TEST_F(UIHostWndTest, FontsAndBackBufferGoWithTheWindow) {
  TestHost& host = Open();
  host.PaintNow();
  Gdiplus::Font* f = host.GetFont(L"14b");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(host.GetFont(L"14b"), f);
  EXPECT_EQ(host.GetFont(L""), DefaultUIFont());
  EXPECT_EQ(host.CachedFontCountForTesting(), 1u);
  DestroyWindow(host.GetHwnd());
  EXPECT_EQ(host.GetHwnd(), nullptr);
  EXPECT_EQ(host.CachedFontCountForTesting(), 0u);
  EXPECT_EQ(host.BackBufferSizeForTesting().cx, 0);
}

TEST_F(UIHostWndTest, WindowRectIsInClientCoordinatesAndScreenRectOnTheScreen) {
  TestHost& host = Open();
  SetWindowPos(host.GetHwnd(), nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  POINT origin = {0, 0};
  ClientToScreen(host.GetHwnd(), &origin);
  ASSERT_NE(origin.x, 0);
  struct Case {
    const wchar_t* id;
    RECT window;
  } cases[] = {{L"p1", {10, 10, 50, 30}}, {L"p3", {115, 15, 135, 35}}};
  for (const Case& c : cases) {
    RECT window = P(c.id)->WindowRect();
    RECT screen = P(c.id)->ScreenRect();
    RECT expected = c.window;
    EXPECT_TRUE(EqualRect(&window, &expected)) << c.id;
    OffsetRect(&expected, origin.x, origin.y);
    EXPECT_TRUE(EqualRect(&screen, &expected)) << c.id;
    // Mouse messages carry client coordinates: the window rectangle's centre clicks the control.
    host.events.clear();
    LPARAM centre = At((window.left + window.right) / 2, (window.top + window.bottom) / 2);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, centre);
    Send(WM_LBUTTONUP, 0, centre);
    std::wstring id = c.id;
    EXPECT_EQ(host.events, std::vector<std::string>{"click:" + std::string(id.begin(), id.end())});
  }
}

TEST_F(UIHostWndTest, WindowsComeBackInsideTheWorkAreaAndCentreOnIt) {
  TestHost& host = Open();
  HWND hwnd = host.GetHwnd();
  MONITORINFO mi = {sizeof(mi)};
  GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi);
  SetWindowPos(hwnd, nullptr, mi.rcWork.right - 100, -50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Send(WM_EXITSIZEMOVE, 0, 0);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.right, mi.rcWork.right);
  EXPECT_EQ(r.top, mi.rcWork.top);
  EXPECT_EQ(r.right - r.left, 460);
  host.CenterWindow();
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, mi.rcWork.left + (mi.rcWork.right - mi.rcWork.left - 460) / 2);
  EXPECT_EQ(r.top, mi.rcWork.top + (mi.rcWork.bottom - mi.rcWork.top - 300) / 2);
}

TEST_F(UIHostWndTest, InvalidatedLayeredWindowRepaintsFromItsMessageQueue) {
  TestHost& host = Open();
  host.PaintNow();
  Send(WM_MOUSEMOVE, 0, At(30, 20));
  EXPECT_TRUE(
      PumpUntil([&] { return host.BackBufferPixelForTesting(30, 20) == 0xFF00FF00u; }, 5000));
}

namespace {

// A 9 x 9 PNG: 3 x 3 corners red, green, blue and yellow (clockwise from the top left), grey
// edges and a white centre.
std::string NineGridPng() {
  Gdiplus::Bitmap bmp(9, 9, PixelFormat32bppARGB);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 9; ++x) {
      bool left = x < 3, right = x >= 6, top = y < 3, bottom = y >= 6;
      Gdiplus::ARGB c = 0xFF808080;
      if (top && left)
        c = 0xFFFF0000;
      else if (top && right)
        c = 0xFF00FF00;
      else if (bottom && right)
        c = 0xFFFFFF00;
      else if (bottom && left)
        c = 0xFF0000FF;
      else if (!left && !right && !top && !bottom)
        c = 0xFFFFFFFF;
      bmp.SetPixel(x, y, Gdiplus::Color(c));
    }
  }
  return EncodePng(bmp);
}

}  // namespace

TEST(UIHostWndPaint, NineGridKeepsItsCornersAndStretchesTheRest) {
  GdiplusSession gdiplus;
  std::string png = NineGridPng();
  ASSERT_FALSE(png.empty());
  UITestSkin skin({{L"img\\ng.png", png},
                   {L"xml\\ng.xml",
                    "<UIWnd pos='0,0,100,60'><UIWnd pos='10,10,40,30' "
                    "back='img:file=img\\ng.png|type=3'/></UIWnd>"}});
  UIHostWnd host(L"xml\\ng.xml");
  ASSERT_TRUE(
      host.Create(nullptr, UIHostWnd::kDialogStyle, UIHostWnd::kDialogExStyle, 0, 0, 10, 10));
  host.PaintNow();
  struct Case {
    int x, y;
    uint32_t argb;
  } cases[] = {
      {10, 10, 0xFFFF0000}, {12, 12, 0xFFFF0000}, {49, 10, 0xFF00FF00}, {47, 12, 0xFF00FF00},
      {49, 39, 0xFFFFFF00}, {47, 37, 0xFFFFFF00}, {10, 39, 0xFF0000FF}, {12, 37, 0xFF0000FF},
      {30, 11, 0xFF808080}, {11, 25, 0xFF808080}, {30, 25, 0xFFFFFFFF}, {9, 9, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(host.BackBufferPixelForTesting(c.x, c.y), c.argb) << c.x << "," << c.y;
  }
}

namespace {

// Sends its window one message from its destructor, as a control that closes a window of its
// own does (focus and activation move back to the host).
class Pumping : public UIControl {
 public:
  ~Pumping() override {
    ++deaths;
    if (HWND window = std::exchange(pumpTo, nullptr))
      ::SendMessageW(window, pumped, MAKEWPARAM(0, -120), MAKELPARAM(5, 5));
  }
  static inline HWND pumpTo = nullptr;
  static inline UINT pumped = 0;
  static inline int deaths = 0;
};

}  // namespace

TEST_F(UIHostWndTest, DyingControlsAndTheirSubtreesNoLongerResolve) {
  struct Case {
    const char* what;
    bool childHoldsCapture;
    UINT pumped;
  } cases[] = {
      {"a captured control dies with its window", false, WM_MOUSEMOVE},
      {"the captured child of a tree held by code", true, WM_MOUSEWHEEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestHost& host = Open();
    Pumping::deaths = 0;
    Pumping::pumped = c.pumped;
    auto* dying = new Pumping;
    UIRef<UIControl> held;
    if (c.childHoldsCapture) {
      held = UIRef<UIControl>::Adopt(dying);
      dying->AttachHost(&host);
      auto* child = new Probe;
      dying->AddChild(child);
      ASSERT_TRUE(host.SetCapture(child->GetHandle()));
    } else {
      host.Find(L"bg")->AddChild(dying);
      ASSERT_TRUE(host.SetCapture(dying->GetHandle()));
    }
    Pumping::pumpTo = host.GetHwnd();
    if (c.childHoldsCapture)
      held = nullptr;
    else
      DestroyWindow(host.GetHwnd());
    EXPECT_EQ(Pumping::pumpTo, nullptr);
    EXPECT_EQ(Pumping::deaths, 1);
    EXPECT_EQ(host.GetCaptureHandle() ? ResolveControl(host.GetCaptureHandle()) : nullptr, nullptr);
  }
}

TEST_F(UIHostWndTest, HandlersThatRemoveTheNextControlLeaveItUntouched) {
  struct Case {
    const char* what;
    UINT removesOn;                        // p1 removes p2 when it gets this
    std::function<void(TestHost&)> setUp;  // makes p1 hovered or focused
    std::function<void(TestHost&)> act;    // aims at p2
  } cases[] = {
      {"the leave of the old hover", WM_MOUSELEAVE,
       [](TestHost& h) { SendMessageW(h.GetHwnd(), WM_MOUSEMOVE, 0, At(20, 20)); },
       [](TestHost& h) { SendMessageW(h.GetHwnd(), WM_MOUSEMOVE, 0, At(70, 20)); }},
      {"the focus lost to a click", WM_KILLFOCUS,
       [](TestHost& h) { h.SetFocusControl(h.Find(L"p1")->GetHandle()); },
       [](TestHost& h) { SendMessageW(h.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(70, 20)); }},
      {"the focus lost to Tab", WM_KILLFOCUS,
       [](TestHost& h) { h.SetFocusControl(h.Find(L"p1")->GetHandle()); },
       [](TestHost& h) { SendMessageW(h.GetHwnd(), WM_KEYDOWN, VK_TAB, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestHost& host = Open();
    UIRef<Probe> p2(P(L"p2"));
    c.setUp(host);
    P(L"p1")->onMessage = [&](UINT m) {
      if (m == c.removesOn && !p2->IsRemoved())
        p2->Remove();
    };
    c.act(host);
    EXPECT_TRUE(p2->IsRemoved());
    EXPECT_EQ(p2->afterRemoval, 0);
    EXPECT_EQ(host.GetFocusControl(), nullptr);
    EXPECT_EQ(host.GetCaptureHandle(), 0u);
  }
}

TEST_F(UIHostWndTest, AClickWithoutAMoveMovesTheHover) {
  TestHost& host = Open();
  Send(WM_MOUSEMOVE, 0, At(20, 20));
  ASSERT_TRUE(P(L"p1")->GetState() & UIControl::kStateHover);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, At(70, 20));  // as after a menu closed over p2
  EXPECT_FALSE(P(L"p1")->GetState() & UIControl::kStateHover);
  EXPECT_TRUE(P(L"p2")->GetState() & UIControl::kStateHover);
  EXPECT_EQ(host.GetHoverControl(), P(L"p2"));
}

namespace {

class SelfDeletingHost : public TestHost {
 public:
  using TestHost::TestHost;
  void OnFinalMessage(HWND) override { delete this; }
};

}  // namespace

TEST_F(UIHostWndTest, AWindowThatDeletesItselfStillAnswersItsModalResult) {
  struct Case {
    UINT first, second;  // posted to the window
    int result;
  } cases[] = {
      {WM_LBUTTONDOWN, WM_LBUTTONUP, 1},  // "btnok" clicked
      {WM_CLOSE, WM_NULL, 0},             // destroyed by the default procedure
  };
  for (const Case& c : cases) {
    auto* host = new SelfDeletingHost(L"xml\\dlg.xml");
    ASSERT_TRUE(
        host->Create(nullptr, UIHostWnd::kDialogStyle, UIHostWnd::kDialogExStyle, 0, 0, 200, 200));
    PostMessageW(host->GetHwnd(), c.first, MK_LBUTTON, At(310, 210));
    PostMessageW(host->GetHwnd(), c.second, 0, At(310, 210));
    // Ends a loop that would run on after the object is gone.
    PostQuitMessage(0);
    EXPECT_EQ(host->RunModal(), c.result) << c.first;
    MSG m;
    PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
}

TEST_F(UIHostWndTest, EndlesslyNestedAndSelfMultiplyingLayoutsStayBounded) {
  std::string deep = "<UIWnd id='top' pos='0,0,60,40' back='clr:clr=#ff00ff00'>";
  for (int i = 0; i < 100000; ++i)
    deep += "<UIWnd>";
  for (int i = 0; i <= 100000; ++i)
    deep += "</UIWnd>";
  std::string plain;
  for (int i = 0; i < 30; ++i)
    plain += "<UIWnd/>";
  skin_.reset();  // it takes the process-wide loader away when it goes
  skin_ = std::make_unique<UITestSkin>(std::vector<PackFile>{
      {L"xml\\deep.xml", deep},
      {L"xml\\twice.xml",
       "<UIWnd id='top' pos='0,0,60,40' back='clr:clr=#ff00ff00'><node file='xml\\half.xml'/>"
       "</UIWnd>"},
      // Two self-includes; the plain children reach the cap with fewer files read.
      {L"xml\\half.xml",
       "<UIWnd><node file='xml\\half.xml'/><node file='xml\\half.xml'/>" + plain + "</UIWnd>"}});
  struct Case {
    const wchar_t* layout;
    int levels;    // from the layout's root down its first children
    int controls;  // made by the build
  } cases[] = {
      {L"xml\\deep.xml", kMaxTreeDepth - 1, kMaxTreeDepth - 1},
      // The deepest include has only its plain children.
      {L"xml\\twice.xml", UIBuilder::kMaxIncludeDepth + 1, UIBuilder::kMaxBuiltControls},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.layout)));
    TestHost& host = Open(UIHostWnd::kDialogExStyle, c.layout);
    UIControl* top = host.Find(L"top");
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(host.Find(L"absent"), nullptr);
    int levels = 0;
    UIControl* last = top;
    for (UIControl* at = top; at; at = at->GetRelative(UIControl::Relative::kFirstChild)) {
      ++levels;
      last = at;
    }
    EXPECT_EQ(levels, c.levels);
    EXPECT_EQ(last->GetHost(), &host);
    int controls = 0;
    std::function<void(UIControl*)> count = [&](UIControl* at) {
      ++controls;
      for (UIControl* child : at->GetChildren())
        count(child);
    };
    count(top);
    EXPECT_EQ(controls, c.controls);
    host.PaintNow();
    EXPECT_EQ(host.BackBufferPixelForTesting(30, 20), 0xFF00FF00u);
  }
}

namespace {

// A status text on a row, both on rounded backgrounds, and one more control below.
const char kStatusRow[] =
    "<UIWnd pos='0,0,300,120' back='clr:clr=#ff204060|border=#ff000000|round=6'>"
    "  <UIWnd pos='20,40,260,40' back='clr:clr=#ffe0e0e0|border=#ff808080|round=4'>"
    "    <UIWnd id='status' pos='60,8,120,24' back='txt:font=20|clr=#ff000000'/>"
    "  </UIWnd>"
    "  <UIWnd id='other' pos='20,90,40,20' back='clr:clr=#ff00ff00'/>"
    "</UIWnd>";

std::vector<uint32_t> BackBuffer(const UIHostWnd& host) {
  SIZE size = host.BackBufferSizeForTesting();
  std::vector<uint32_t> pixels;
  for (int y = 0; y < size.cy; ++y) {
    for (int x = 0; x < size.cx; ++x)
      pixels.push_back(host.BackBufferPixelForTesting(x, y));
  }
  return pixels;
}

}  // namespace

TEST_F(UIHostWndTest, AStatusTextChangeRepaintsAndPushesOnlyItsOwnRectangle) {
  skin_.reset();  // the new skin replaces the loader only once the old one has let go
  skin_ = std::make_unique<UITestSkin>(std::vector<PackFile>{{L"xml\\row.xml", kStatusRow}});
  TestHost& host = Open(UIHostWnd::kDialogExStyle, L"xml\\row.xml");
  host.PaintNow();
  ASSERT_EQ(host.BackBufferSizeForTesting().cx, 300);
  const std::vector<uint32_t> before = BackBuffer(host);
  const int pushes = host.PushCountForTesting();
  UIControl* status = host.Find(L"status");
  status->SetText(L"WWW");
  host.PaintNow();
  const RECT label = status->WindowRect();
  RECT pushed = host.LastPushedRectForTesting();
  EXPECT_TRUE(EqualRect(&pushed, &label));
  EXPECT_EQ(host.PushCountForTesting(), pushes + 1);
  const std::vector<uint32_t> partial = BackBuffer(host);
  int inked = 0;
  for (int i = 0; i < static_cast<int>(partial.size()); ++i) {
    if (partial[i] == before[i])
      continue;
    POINT p = {i % 300, i / 300};
    if (PtInRect(&label, p))
      ++inked;
    else
      ADD_FAILURE() << "changed outside the label at " << p.x << "," << p.y;
  }
  EXPECT_GT(inked, 20);
  // What the partial pass left is what a pass over the whole window paints.
  host.InvalidateRect(host.GetClientRect());
  host.PaintNow();
  EXPECT_TRUE(BackBuffer(host) == partial);

  // Nothing invalid: nothing painted, nothing pushed.
  const int settled = host.PushCountForTesting();
  host.PaintNow();
  EXPECT_EQ(host.PushCountForTesting(), settled);
  // Two controls changed before one paint: their union is pushed once.
  host.Find(L"other")->SetAttribute(L"back", L"clr:clr=#ff0000ff");
  status->SetText(L"MM");
  host.PaintNow();
  RECT both = {20, 48, 200, 110};
  pushed = host.LastPushedRectForTesting();
  EXPECT_TRUE(EqualRect(&pushed, &both));
  EXPECT_EQ(host.PushCountForTesting(), settled + 1);
  EXPECT_EQ(host.BackBufferPixelForTesting(30, 100), 0xFF0000FFu);
}
