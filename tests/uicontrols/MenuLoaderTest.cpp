#include "ui/controls/MenuLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "sys/GdiplusSession.h"
#include "tests/uicore/PackBuilder.h"
#include "ui/controls/SkinMenuWnd.h"
#include "ui/core/ResLoaderMgr.h"
#include "ui/core/UIFont.h"

namespace {

// A menu with every kind of entry, for packs built by the tests.
const char kMixedMenu[] =
    "<menu>"
    "<menu id=\"11\" txt=\"A\" type=\"item\"/>"
    "<menu id=\"0\" type=\"sep\"/>"
    "<menu id=\"30\" txt=\"More\" type=\"sub\">"
    "<menu id=\"21\" txt=\"B\"/><menu id=\"22\" txt=\"C\"/></menu>"
    "<menu id=\"12\" txt=\"\"/>"
    "<menu id=\"13\" txt=\"Open the selected file\tCtrl+O\"/>"
    "<menu id=\"14\" txt=\"Open the selected file\"/>"
    "</menu>";

// The room an entry's text needs: drawn in the UI font, and never less than in the dialog font.
int TextWidth(const std::wstring& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  Gdiplus::RectF box;
  {
    Gdiplus::Graphics g(dc);
    Gdiplus::StringFormat format;
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    g.MeasureString(text.c_str(), static_cast<INT>(text.size()), DefaultUIFont(),
                    Gdiplus::PointF(0, 0), &format, &box);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return std::max(static_cast<int>(size.cx), static_cast<int>(std::ceil(box.Width)));
}

std::vector<HWND> MenuWindows() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (IsWindowVisible(hwnd) && std::wstring(name) == kSkinMenuWndClass)
          reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

RECT WindowRect(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return r;
}

// The menu window whose top-left corner is the given one, or the only one there is.
HWND LevelAt(int left, int top) {
  for (HWND hwnd : MenuWindows()) {
    RECT r = WindowRect(hwnd);
    if (r.left == left && r.top == top)
      return hwnd;
  }
  return nullptr;
}

// Runs `steps` one per timer tick inside the menu's own loop: each step is retried on the
// next tick while it answers false (a window not there yet). Steps talk to the menu only
// through posted messages.
class Script {
 public:
  using Step = std::function<bool()>;

  explicit Script(std::vector<Step> steps) : steps_(std::move(steps)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &Script::Tick);
  }
  ~Script() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool finished() const { return next_ == steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = current_;
    if (!s)
      return;
    if (++s->ticks_ > 500) {
      // Something never appeared: end the menu rather than hang the run.
      for (HWND hwnd : MenuWindows())
        PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
      return;
    }
    if (s->next_ < s->steps_.size() && s->steps_[s->next_]())
      ++s->next_;
  }

  static Script* current_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int ticks_ = 0;
  UINT_PTR timer_ = 0;
};
Script* Script::current_ = nullptr;

// The menu window at (left, top) found; mouse messages go to it in its client coordinates,
// as the captured pointer's would.
struct Pointer {
  int left;
  int top;
  HWND root = nullptr;

  bool Find() {
    root = LevelAt(left, top);
    return root != nullptr;
  }
  void Post(UINT msg, POINT screen) {
    ScreenToClient(root, &screen);
    PostMessageW(root, msg, msg == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(screen.x, screen.y));
  }
  void Click(POINT screen) {
    Post(WM_MOUSEMOVE, screen);
    Post(WM_LBUTTONDOWN, screen);
    Post(WM_LBUTTONUP, screen);
  }
  // The middle of entry `index` of a level whose window is at `origin`.
  static POINT On(const SkinMenu& menu, size_t index, POINT origin) {
    const SkinMenuItem& item = menu.items[index];
    return {origin.x + item.x + 20, origin.y + item.y + item.height / 2};
  }
};

void PostKeys(std::initializer_list<WPARAM> keys) {
  for (WPARAM key : keys)
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
}

class MenuLoaderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdiplus_ = new GdiplusSession;
    skin_ = new ResLoaderMgr;
    skin_->LoadModulePack(GetModuleHandleW(nullptr));
    // One owner for the suite: destroying a foreground window costs Wine seconds.
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 120, 60, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  static void TearDownTestSuite() {
    DestroyWindow(owner_);
    SetResLoader(nullptr);
    delete skin_;
    ReleaseDefaultUIFont();
    delete gdiplus_;
  }

  void SetUp() override {
    ASSERT_TRUE(gdiplus_->ok());
    size_t size = 0;
    const uint8_t* bg = skin_->FindEntry(L"img\\menu\\bg.png", &size);
    ASSERT_NE(bg, nullptr);
    pack_ =
        BuildPack({{L"xml\\mixed.xml", kMixedMenu},
                   {L"xml\\broken.xml", "<menu><menu id=\"1\" txt=\"x\""},
                   {L"xml\\other.xml", "<list><menu id=\"1\" txt=\"x\"/></list>"},
                   {L"img\\menu\\bg.png", std::string(reinterpret_cast<const char*>(bg), size)}})
            .bytes;
    ASSERT_TRUE(custom_.LoadPack(pack_.data(), pack_.size()));
    SetResLoader(skin_);
    ASSERT_NE(owner_, nullptr);
    SetForegroundWindow(owner_);
    SetFocus(owner_);
  }
  void TearDown() override { EXPECT_TRUE(MenuWindows().empty()); }

  int Track(int x, int y, const wchar_t* path, std::vector<Script::Step> steps) {
    Script script(std::move(steps));
    MenuLoader loader;
    int id = loader.TrackMenu(owner_, x, y, path);
    EXPECT_TRUE(script.finished());
    return id;
  }

  static GdiplusSession* gdiplus_;
  static ResLoaderMgr* skin_;
  std::string pack_;
  ResLoaderMgr custom_;
  static HWND owner_;
};

GdiplusSession* MenuLoaderTest::gdiplus_ = nullptr;
ResLoaderMgr* MenuLoaderTest::skin_ = nullptr;
HWND MenuLoaderTest::owner_ = nullptr;

}  // namespace

TEST_F(MenuLoaderTest, GeometryOfEveryKindOfEntry) {
  SetResLoader(&custom_);
  std::unique_ptr<SkinMenu> menu = LoadSkinMenu(L"xml\\mixed.xml");
  ASSERT_NE(menu, nullptr);
  int longText = TextWidth(L"Open the selected file") + 49;
  ASSERT_GT(longText, 100);
  struct Row {
    int id;
    unsigned flags;
    int y, width, height;
  } rows[] = {
      {11, 0, 10, 100, 24},                     // short text: the minimum
      {0, SkinMenuItem::kSeparator, 34, 0, 9},  // no width of its own
      {30, SkinMenuItem::kSubmenu, 43, std::max(100, TextWidth(L"More") + 69), 24},
      {12, 0, 67, 100, 4},        // no text
      {13, 0, 71, longText, 24},  // measured up to the tab
      {14, 0, 95, longText, 24},
  };
  ASSERT_EQ(menu->items.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const SkinMenuItem& item = menu->items[i];
    EXPECT_EQ(item.id, rows[i].id) << i;
    EXPECT_EQ(item.flags, rows[i].flags) << i;
    EXPECT_EQ(item.x, 8) << i;
    EXPECT_EQ(item.y, rows[i].y) << i;
    EXPECT_EQ(item.width, rows[i].width) << i;
    EXPECT_EQ(item.height, rows[i].height) << i;
  }
  EXPECT_EQ(menu->width, longText + 8);
  EXPECT_EQ(menu->height, 119 + 10);
  const SkinMenu* sub = menu->items[2].submenu.get();
  ASSERT_NE(sub, nullptr);
  ASSERT_EQ(sub->items.size(), 2u);
  EXPECT_EQ(sub->items[1].id, 22);
  EXPECT_EQ(sub->items[1].y, 34);
  EXPECT_EQ(sub->width, 108);
  EXPECT_EQ(sub->height, 68);
}

TEST_F(MenuLoaderTest, MainMenuEntries) {
  std::unique_ptr<SkinMenu> menu = LoadSkinMenu(L"xml\\mainmenu.xml");
  ASSERT_NE(menu, nullptr);
  struct Row {
    int id;
    const wchar_t* text;
    const wchar_t* image;
  } rows[] = {{6, L"隐藏窗口", L"img\\menu\\icon_hide.png"},
              {1, L"查看官网", L"img\\menu\\icon1.png"},
              {2, L"检查更新", L"img\\menu\\icon2.png"},
              {3, L"反馈问题", L"img\\menu\\icon3.png"},
              {4, L"开机启动", L""},
              {7, L"运行记录", L"img\\menu\\icon_history.png"},
              {8, L"唤醒电脑执行任务", L""},
              {0, L"", L""},
              {5, L"退出软件", L"img\\menu\\icon4.png"}};
  ASSERT_EQ(menu->items.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const SkinMenuItem& item = menu->items[i];
    EXPECT_EQ(item.id, rows[i].id) << i;
    EXPECT_EQ(item.text, rows[i].text) << i;
    EXPECT_EQ(item.image, rows[i].image) << i;
    EXPECT_EQ(item.Is(SkinMenuItem::kHasImage), *rows[i].image != 0) << i;
    EXPECT_EQ(item.Is(SkinMenuItem::kSeparator), i == 7) << i;
    if (item.Is(SkinMenuItem::kHasImage)) {
      EXPECT_NE(skin_->LoadImage(item.image), nullptr) << i;
    }
  }
}

TEST_F(MenuLoaderTest, MissingOrUnreadableFilesAnswerMinusOneAndShowNothing) {
  SetResLoader(&custom_);
  for (const wchar_t* path : {L"xml\\absent.xml", L"xml\\broken.xml", L"xml\\other.xml"}) {
    EXPECT_EQ(Track(100, 100, path, {}), -1) << path;
  }
}

TEST_F(MenuLoaderTest, EndlesslyNestedSubmenusAreCutOff) {
  std::string deep = "<menu>";
  for (int i = 0; i < 100000; ++i)
    deep += "<menu id=\"1\" txt=\"x\" type=\"sub\">";
  for (int i = 0; i <= 100000; ++i)
    deep += "</menu>";
  std::string pack = BuildPack({{L"xml\\deep.xml", deep}}).bytes;
  ResLoaderMgr loader;
  ASSERT_TRUE(loader.LoadPack(pack.data(), pack.size()));
  SetResLoader(&loader);
  std::unique_ptr<SkinMenu> menu = LoadSkinMenu(L"xml\\deep.xml");
  SetResLoader(skin_);
  ASSERT_NE(menu, nullptr);
  int levels = 0;
  for (SkinMenu* at = menu.get(); at && !at->items.empty(); at = at->items[0].submenu.get())
    ++levels;
  EXPECT_EQ(levels, 256);
}

TEST_F(MenuLoaderTest, ClickingAnEntryAnswersItsId) {
  std::unique_ptr<SkinMenu> menu = LoadSkinMenu(L"xml\\mainmenu.xml");
  ASSERT_NE(menu, nullptr);
  struct Case {
    size_t index;
    int id;
  } cases[] = {{0, 6}, {2, 2}, {4, 4}, {5, 7}, {6, 8}, {8, 5}};
  for (const Case& c : cases) {
    Pointer p{300, 200};
    int id = Track(300, 200, L"xml\\mainmenu.xml",
                   {[&] { return p.Find(); },
                    [&] {
                      p.Click(Pointer::On(*menu, c.index, {300, 200}));
                      return true;
                    }});
    EXPECT_EQ(id, c.id) << c.index;
  }
}

TEST_F(MenuLoaderTest, DismissalAnswersZero) {
  std::unique_ptr<SkinMenu> menu = LoadSkinMenu(L"xml\\mainmenu.xml");
  ASSERT_NE(menu, nullptr);
  struct Case {
    const char* name;
    std::function<void(Pointer&)> act;
  } cases[] = {
      {"escape", [](Pointer&) { PostKeys({VK_ESCAPE}); }},
      {"click outside",
       [](Pointer& p) {
         p.Click({50, 600});
       }},
      {"right click outside",
       [](Pointer& p) {
         p.Post(WM_RBUTTONDOWN, {700, 150});
       }},
      // A separator chooses nothing; the menu stays until Escape.
      {"separator, then escape",
       [&](Pointer& p) {
         POINT on = Pointer::On(*menu, 7, {300, 200});
         p.Click(on);
         PostKeys({VK_ESCAPE});
       }},
      {"owner deactivated", [](Pointer&) { SetForegroundWindow(GetDesktopWindow()); }},
  };
  for (const Case& c : cases) {
    Pointer p{300, 200};
    int id = Track(300, 200, L"xml\\mainmenu.xml",
                   {[&] { return p.Find(); },
                    [&] {
                      c.act(p);
                      return true;
                    }});
    EXPECT_EQ(id, 0) << c.name;
  }
}

// Keys move over entries skipping separators, wrap, and open and close submenus.
TEST_F(MenuLoaderTest, KeyboardChoosesInMenusAndSubmenus) {
  struct Case {
    const wchar_t* file;
    std::vector<WPARAM> keys;
    int id;
  } cases[] = {
      {L"xml\\mainmenu.xml", {VK_DOWN, VK_RETURN}, 6},
      {L"xml\\mainmenu.xml", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 2},
      {L"xml\\mainmenu.xml", {VK_UP, VK_RETURN}, 5},
      {L"xml\\mainmenu.xml", {VK_UP, VK_UP, VK_RETURN}, 8},  // over the separator
      {L"xml\\mainmenu.xml", {VK_UP, VK_UP, VK_UP, VK_RETURN}, 7},
      {L"xml\\mainmenu.xml", {VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN}, 4},
      {L"xml\\mainmenu.xml", {VK_UP, VK_DOWN, VK_RETURN}, 6},  // wraps to the top
      {L"xml\\mainmenu.xml", {VK_RETURN, VK_ESCAPE}, 0},  // nothing lit: Return chooses nothing
      {L"xml\\mixed.xml", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}, 22},
      {L"xml\\mixed.xml", {VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN}, 21},
      {L"xml\\mixed.xml", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_DOWN, VK_DOWN, VK_RETURN}, 13},
      {L"xml\\mixed.xml", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_LEFT, VK_UP, VK_RETURN}, 11},
      {L"xml\\mixed.xml", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_ESCAPE}, 0},
  };
  for (const Case& c : cases) {
    SetResLoader(std::wstring(c.file) == L"xml\\mixed.xml" ? &custom_ : skin_);
    Pointer p{300, 200};
    int id = Track(300, 200, c.file,
                   {[&] { return p.Find(); },
                    [&] {
                      for (WPARAM key : c.keys)
                        PostKeys({key});
                      return true;
                    }});
    EXPECT_EQ(id, c.id) << c.file << " " << c.keys.size();
  }
}

TEST_F(MenuLoaderTest, SubmenuOpensOnHoverBesideItsEntry) {
  SetResLoader(&custom_);
  std::unique_ptr<SkinMenu> menu = LoadSkinMenu(L"xml\\mixed.xml");
  ASSERT_NE(menu, nullptr);
  const SkinMenu& sub = *menu->items[2].submenu;
  MONITORINFO info = {sizeof(info)};
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  struct Case {
    int x;
    bool toTheRight;
  } cases[] = {{300, true}, {static_cast<int>(info.rcWork.right) - menu->width, false}};
  for (const Case& c : cases) {
    Pointer p{c.x, 200};
    RECT subRect = {};
    int id = Track(c.x, 200, L"xml\\mixed.xml",
                   {[&] { return p.Find(); },
                    [&] {
                      p.Post(WM_MOUSEMOVE, Pointer::On(*menu, 2, {c.x, 200}));
                      return true;
                    },
                    [&] {
                      std::vector<HWND> windows = MenuWindows();
                      if (windows.size() < 2)
                        return false;
                      for (HWND hwnd : windows)
                        if (hwnd != p.root)
                          subRect = WindowRect(hwnd);
                      p.Click(Pointer::On(sub, 1, {subRect.left, subRect.top}));
                      return true;
                    }});
    EXPECT_EQ(id, 22) << c.x;
    EXPECT_EQ(subRect.top, 200 + menu->items[2].y - 10) << c.x;
    if (c.toTheRight) {
      EXPECT_GE(subRect.left, c.x + menu->width - 8);
    } else {
      EXPECT_LE(subRect.right, c.x + 8);
    }
  }
}

TEST_F(MenuLoaderTest, MenuIsKeptInsideTheWorkArea) {
  MONITORINFO info = {sizeof(info)};
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  RECT seen = {};
  int id = Track(info.rcWork.right - 10, info.rcWork.bottom - 5, L"xml\\mainmenu.xml", {[&] {
                   std::vector<HWND> windows = MenuWindows();
                   if (windows.empty())
                     return false;
                   seen = WindowRect(windows[0]);
                   PostKeys({VK_ESCAPE});
                   return true;
                 }});
  EXPECT_EQ(id, 0);
  EXPECT_EQ(seen.right, info.rcWork.right);
  EXPECT_EQ(seen.bottom, info.rcWork.bottom);
}

// Pixels of the drawn main menu: text column, highlight, separator and frame.
TEST_F(MenuLoaderTest, DrawnEntriesShareTheTextColumnAndStayInsideTheFrame) {
  std::unique_ptr<SkinMenu> menu = LoadSkinMenu(L"xml\\mainmenu.xml");
  ASSERT_NE(menu, nullptr);
  SkinBitmap* bg = skin_->LoadImage(L"img\\menu\\bg.png");
  ASSERT_NE(bg, nullptr);
  auto argb = [](Gdiplus::Bitmap& b, int x, int y) {
    Gdiplus::Color c;
    b.GetPixel(x, y, &c);
    return c.GetValue();
  };
  auto isInk = [](Gdiplus::ARGB v) { return ((v >> 8) & 0xFF) < 0xB0 && (v >> 24) > 0x80; };
  std::unique_ptr<Gdiplus::Bitmap> plain = RenderSkinMenuForTesting(*menu, -1, bg);
  const SkinMenuItem& sep = menu->items[7];
  Gdiplus::ARGB background = argb(*plain, menu->width / 2, sep.y + 1);
  std::vector<int> firstInk;
  for (size_t i : {0, 1, 4, 5, 6, 8}) {
    const SkinMenuItem& item = menu->items[i];
    int found = -1;
    for (int x = item.x + 26; x < item.x + item.width && found < 0; ++x)
      for (int y = item.y; y < item.y + item.height && found < 0; ++y)
        if (isInk(argb(*plain, x, y)))
          found = x;
    firstInk.push_back(found);
    // Only entries with an image have anything in the icon band.
    bool bandInked = false;
    for (int x = item.x; x < item.x + 26; ++x)
      for (int y = item.y; y < item.y + item.height; ++y)
        bandInked = bandInked || argb(*plain, x, y) != background;
    EXPECT_EQ(bandInked, i != 4 && i != 6) << i;
  }
  for (int x : firstInk) {
    EXPECT_GE(x, menu->items[0].x + 28);
    EXPECT_LE(std::abs(x - firstInk[0]), 2);
  }
  // The longest entry is measured in the font it is drawn with: its last character keeps
  // clear of the band's end instead of being cut there.
  const SkinMenuItem& longest = menu->items[6];
  int lastInk = -1;
  for (int x = longest.x; x < menu->width; ++x)
    for (int y = longest.y; y < longest.y + longest.height; ++y)
      if (isInk(argb(*plain, x, y)))
        lastInk = x;
  EXPECT_LT(lastInk, menu->width - 8 - 10);
  EXPECT_EQ(argb(*plain, sep.x + 5, sep.y + 4), 0xFFB1CBB6u);
  EXPECT_EQ(argb(*plain, menu->width - 8 - 6, sep.y + 4), 0xFFB1CBB6u);
  EXPECT_NE(argb(*plain, menu->width - 8 - 4, sep.y + 4), 0xFFB1CBB6u);

  // The widest entry's highlight ends where the frame's inside does, on both sides alike.
  std::unique_ptr<Gdiplus::Bitmap> lit = RenderSkinMenuForTesting(*menu, 1, bg);
  const SkinMenuItem& hot = menu->items[1];
  EXPECT_EQ(argb(*lit, hot.x, hot.y + 1), 0xFFF0F5F9u);
  EXPECT_EQ(argb(*lit, menu->width - 9, hot.y + 1), 0xFFF0F5F9u);
  EXPECT_EQ(argb(*lit, menu->width - 8, hot.y + 1), argb(*plain, menu->width - 8, hot.y + 1));
  EXPECT_EQ(argb(*lit, hot.x - 1, hot.y + 1), argb(*plain, hot.x - 1, hot.y + 1));
}
