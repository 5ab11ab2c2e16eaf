#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/AppMessage.h"
#include "ui/controls/UIMessageBox.h"
#include "ui/core/UIFont.h"
#include "ui/core/UIGraphics.h"

namespace {

const uint32_t kWhiteButton = 0xFFEEF0F2;
const uint32_t kPrimaryButton = 0xFF2B7BD6;
const uint32_t kIcon = 0xFFE03030;

// A real skin image folder (as a Windows path) replaces the stripes, for looking at the boxes.
std::string SkinFile(const std::wstring& path) {
  const char* dir = std::getenv("QUELM_SKIN_DIR");
  if (!dir)
    return {};
  std::ifstream in(std::string(dir) + "\\" + std::string(path.begin(), path.end()),
                   std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void AddBoxImages(TestSkin& skin) {
  struct Image {
    const wchar_t* path;
    std::string stripes;
  };
  const Image images[] = {
      {L"img\\msgbox\\bg.png", StripPng({0xFFFFFFFF}, 120, 120)},
      {L"img\\ico24.png", StripPng({0xFF2BA245}, 24, 24)},
      {L"img\\msgbox\\btn_close.png",
       StripPng({0xFF909AA8, 0xFF909AA8, 0xFF909AA8, 0xFF909AA8}, 20, 20)},
      {L"img\\msgbox\\btnw.png",
       StripPng({kWhiteButton, kWhiteButton, kWhiteButton, kWhiteButton}, 120, 40)},
      {L"img\\msgbox\\btnb.png",
       StripPng({kPrimaryButton, kPrimaryButton, kPrimaryButton, kPrimaryButton}, 120, 40)},
      {L"img\\msgbox\\error.png", StripPng({kIcon}, 48, 48)},
      {L"img\\msgbox\\inf.png", StripPng({kIcon}, 32, 32)},
  };
  for (const Image& image : images) {
    std::string real = SkinFile(image.path);
    skin.AddImage(image.path, real.empty() ? image.stripes : real);
  }
}

// What the box showed, read while its modal loop ran.
struct Seen {
  SIZE size = {};
  std::vector<RECT> buttons;
  RECT text = {};
  RECT icon = {};
  bool hasIcon = false;
  uint32_t iconPixel = 0;
  std::vector<uint32_t> buttonFaces;  // a pixel of each button away from its text
  std::vector<bool> buttonTextInColour;
  bool ownerDisabled = false;  // while the modal loop runs
  std::vector<POINT> buttonCentres;
  POINT close = {};
  int textInkRows = 0;  // from the first to the last row of the text label holding dark ink
};

// Whether some pixel of `r` is `colour` but for anti-aliasing.
bool AreaHas(UIMessageBox* box, const RECT& r, uint32_t colour) {
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      uint32_t p = box->BackBufferPixelForTesting(x, y);
      bool close = true;
      for (int shift = 0; shift < 32; shift += 8) {
        int d = static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF);
        close = close && d * d <= 16 * 16;
      }
      if (close)
        return true;
    }
  }
  return false;
}

Seen seen;
HWND seenOwner = nullptr;
HWND seenBox = nullptr;
int clickTarget = 0;
std::function<void()> beforeClick;

void CALLBACK Drive(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  seen.ownerDisabled = seenOwner && !IsWindowEnabled(seenOwner);
  if (beforeClick)
    beforeClick();
  if (clickTarget == 0) {
    PostMessageW(seenBox, WM_KEYDOWN, VK_ESCAPE, 0);
    return;
  }
  POINT p = clickTarget < 0 ? seen.close : seen.buttonCentres[clickTarget - 1];
  LPARAM at = MAKELPARAM(p.x, p.y);
  PostMessageW(seenBox, WM_MOUSEMOVE, 0, at);
  PostMessageW(seenBox, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(seenBox, WM_LBUTTONUP, 0, at);
}

void Look(UIMessageBox* box) {
  seen = Seen();
  seenBox = box->hwnd();
  RECT wr;
  GetWindowRect(box->hwnd(), &wr);
  seen.size = {wr.right - wr.left, wr.bottom - wr.top};
  box->PaintNow();
  std::vector<uint32_t> textColours;
  for (size_t i = 0; i < box->button_controls().size(); ++i) {
    UIControl* button = box->button_controls()[i];
    RECT r = button->WindowRect();
    seen.buttons.push_back(r);
    seen.buttonCentres.push_back({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    seen.buttonFaces.push_back(box->BackBufferPixelForTesting(r.left + 4, r.top + 4));
    bool primary = i + 1 == box->button_controls().size();
    seen.buttonTextInColour.push_back(AreaHas(box, r, primary ? 0xFFFFFFFF : 0xFF60656F));
  }
  RECT close = box->close_button()->WindowRect();
  seen.close = {(close.left + close.right) / 2, (close.top + close.bottom) / 2};
  seen.text = box->text_label()->WindowRect();
  int first = -1, last = -1;
  for (int y = seen.text.top; y < seen.text.bottom; ++y) {
    for (int x = seen.text.left; x < seen.text.right; ++x) {
      if (((box->BackBufferPixelForTesting(x, y) >> 16) & 0xFF) < 0xA0) {
        first = first < 0 ? y : first;
        last = y;
        break;
      }
    }
  }
  seen.textInkRows = first < 0 ? 0 : last - first + 1;
  if (UIControl* icon = box->icon_control()) {
    seen.hasIcon = true;
    seen.icon = icon->WindowRect();
    seen.iconPixel = box->BackBufferPixelForTesting((seen.icon.left + seen.icon.right) / 2,
                                                    (seen.icon.top + seen.icon.bottom) / 2);
  }
  // The clicks come from inside the modal loop, once it runs.
  SetTimer(nullptr, 0, 1, &Drive);
}

class UIMessageBoxTest : public testing::Test {
 protected:
  UIMessageBoxTest() {
    AddBoxImages(skin_);
    UIMessageBox::SetShownHookForTesting(&Look);
  }
  ~UIMessageBoxTest() override {
    UIMessageBox::SetShownHookForTesting(nullptr);
    beforeClick = nullptr;
    seenOwner = nullptr;
  }

  TestSkin skin_;
};

int Width(const RECT& r) {
  return r.right - r.left;
}

TEST_F(UIMessageBoxTest, SizeLayoutAndResult) {
  ControlTestHost owner(skin_, "<UIWnd pos=\"0,0,640,480\" back=\"clr:clr=#ff404850\"/>");
  SetWindowPos(owner.hwnd(), nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(owner.hwnd(), SW_SHOWNOACTIVATE);
  seenOwner = owner.hwnd();
  std::wstring longLine(200, L'长');
  std::wstring manyLines;
  for (int i = 0; i < 30; ++i)
    manyLines += L"第几行\n";
  const std::wstring midLine = L"这一行文字的宽度正好落在三百与六百之间吧";
  std::unique_ptr<Gdiplus::Font> font = CreateUIFont(L"16");
  // Measured with the default layout the label draws with (its padding included).
  Gdiplus::Bitmap surface(1, 1, PixelFormat32bppARGB);
  Gdiplus::Graphics measuring(&surface);
  Gdiplus::StringFormat untypographic(Gdiplus::StringFormatFlagsNoWrap);
  Gdiplus::RectF bounds;
  measuring.MeasureString(midLine.c_str(), static_cast<INT>(midLine.size()), font.get(),
                          Gdiplus::RectF(0, 0, 10000, 10000), &untypographic, &bounds);
  const int midWidth = static_cast<int>(bounds.Width) + 1 + 40;
  ASSERT_GT(midWidth, 300);
  ASSERT_LT(midWidth, 600);
  const std::wstring error = L"img\\msgbox\\error.png";
  struct Case {
    const char* name;
    std::wstring text;
    std::vector<std::wstring> buttons;
    std::wstring icon;
    int click;  // 1..N a button, -1 the close button, 0 Escape
    int width, height;
    int result;
  };
  const Case cases[] = {
      {"one short line", L"好", {L"确定"}, L"", 1, 300, 220, 1},
      {"very long text", longLine + L"\n" + manyLines, {L"确定"}, L"", 1, 600, 400, 1},
      {"wide line only", longLine, {L"确定"}, L"", 1, 600, 220, 1},
      {"text decides the width", midLine, {L"确定"}, L"", 1, midWidth, 220, 1},
      {"icon column widens", midLine, {L"确定"}, error, 1, std::min(midWidth + 58, 600), 220, 1},
      {"second of two", L"确定要删除此项吗？", {L"取消", L"删除"}, error, 2, 370, 220, 2},
      {"first of two", L"确定要删除此项吗？", {L"取消", L"删除"}, L"", 1, 370, 220, 1},
      {"close button", L"确定要删除此项吗？", {L"取消", L"删除"}, L"", -1, 370, 220, -1},
      {"escape", L"好", {L"确定"}, L"", 0, 300, 220, -1},
      {"missing icon", L"好", {L"确定"}, L"img\\msgbox\\none.png", 1, 300, 220, 1},
      {"three buttons", L"好", {L"取消", L"稍后", L"删除"}, L"", 3, 530, 220, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clickTarget = c.click;
    // Kept hidden: Wine without a window manager takes seconds to hide an activated window.
    UIMessageBox box(owner.hwnd(), L"Quelm定时任务", c.text, c.buttons, c.icon);
    ASSERT_TRUE(box.CreateHidden());
    RECT r;
    GetWindowRect(box.hwnd(), &r);
    EXPECT_EQ(r.left, 100 + (640 - c.width) / 2);
    EXPECT_EQ(r.top, 50 + (480 - c.height) / 2);
    Look(&box);
    EXPECT_EQ(box.RunModal(owner.hwnd()), c.result);
    EXPECT_EQ(box.hwnd(), nullptr);
    EXPECT_TRUE(seen.ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_EQ(seen.size.cx, c.width);
    EXPECT_EQ(seen.size.cy, c.height);
    // One row near the bottom, centred as a group; the last button is the primary one.
    ASSERT_EQ(seen.buttons.size(), c.buttons.size());
    const int n = static_cast<int>(c.buttons.size());
    for (int i = 0; i < n; ++i) {
      const RECT& r = seen.buttons[i];
      EXPECT_EQ(r.top, seen.size.cy - 60);
      EXPECT_EQ(r.bottom - r.top, 40);
      EXPECT_EQ(Width(r), 120);
      EXPECT_EQ(r.left, (seen.size.cx - n * 140 - 20) / 2 + 20 + i * 140);
      bool primary = i == n - 1;
      EXPECT_EQ(seen.buttonFaces[i], primary ? kPrimaryButton : kWhiteButton) << i;
      EXPECT_TRUE(seen.buttonTextInColour[i]) << i;
    }
    // The icon image is drawn, and the text moves right of it.
    bool icon = c.icon == error;
    ASSERT_EQ(seen.hasIcon, icon);
    EXPECT_EQ(seen.text.left, icon ? 78 : 20);
    EXPECT_EQ(Width(seen.text), seen.size.cx - (icon ? 98 : 40));
    if (icon) {
      EXPECT_EQ(seen.iconPixel, kIcon);
      EXPECT_EQ(seen.icon.left, 20);
      EXPECT_EQ(seen.icon.top, seen.size.cy / 2 - 24 - 10);
      EXPECT_EQ(Width(seen.icon), 48);
    }
  }
}

// The two boxes the pages show, through the whole path: shown, run on their own loop. With
// QUELM_SHOWCASE_SECONDS set each stays on screen that long before its button is clicked.
TEST_F(UIMessageBoxTest, AppBoxesAsThePagesShowThem) {
  beforeClick = HoldForShowcase;
  struct Case {
    const wchar_t* text;
    const wchar_t* buttons;
    MessageIcon icon;
    int click;
    SIZE iconSize;
  };
  const Case cases[] = {
      {L"请先选择要打开的文件", L"确定", MessageIcon::Error, 1, {48, 48}},
      {L"确定要删除此项吗？", L"取消|删除", MessageIcon::Information, 2, {32, 32}},
  };
  for (const Case& c : cases) {
    clickTarget = c.click;
    EXPECT_EQ(ShowAppMessage(nullptr, c.text, c.buttons, c.icon), c.click);
    EXPECT_EQ(seen.buttons.size(), static_cast<size_t>(c.click));
    ASSERT_TRUE(seen.hasIcon);
    EXPECT_EQ(Width(seen.icon), c.iconSize.cx);
    EXPECT_EQ(seen.iconPixel, kIcon);
  }
}

TEST_F(UIMessageBoxTest, OneLineTextThatFitsStaysOnOneLine) {
  clickTarget = 1;
  ShowAppMessage(nullptr, L"防止频繁执行,重复任务不能少于1分钟。", L"确定", MessageIcon::Error);
  EXPECT_GT(seen.textInkRows, 5);
  EXPECT_LT(seen.textInkRows, 24) << "a 16-pixel font on one line";
}

TEST(AppMessageTest, ButtonLabelsSplitAtBars) {
  EXPECT_EQ(SplitButtonLabels(L"取消|删除"), (std::vector<std::wstring>{L"取消", L"删除"}));
  EXPECT_EQ(SplitButtonLabels(L"确定"), (std::vector<std::wstring>{L"确定"}));
  EXPECT_TRUE(SplitButtonLabels(L"").empty());
}

}  // namespace
