#include "ui/core/UIRenderText.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "sys/GdiplusSession.h"
#include "tests/uicore/PaintCanvas.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIFont.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIKeywordMarkup.h"

namespace {

using Gdiplus::ARGB;
using Gdiplus::Rect;

constexpr int kW = 240, kH = 40;

class UIRenderTextTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { gdiplus_ = new GdiplusSession; }
  static void TearDownTestSuite() {
    ReleaseDefaultUIFont();
    delete gdiplus_;
  }
  void SetUp() override { ASSERT_TRUE(gdiplus_->ok()); }
  void TearDown() override { fonts_.clear(); }

  // A font cache like a window's.
  UIFontLookup Fonts() {
    return [this](const std::wstring& fontDesc) -> Gdiplus::Font* {
      auto& slot = fonts_[fontDesc];
      if (!slot)
        slot = CreateUIFont(fontDesc);
      return slot.get();
    };
  }
  UIRef<UIRenderText> Painter(const wchar_t* descriptor) {
    auto* text = dynamic_cast<UIRenderText*>(CreateRender(descriptor));
    return UIRef<UIRenderText>::Adopt(text);
  }
  // Paints `text` with `descriptor` into a kW x kH canvas.
  void PaintText(PaintCanvas& canvas,
                 const wchar_t* descriptor,
                 const std::wstring& text,
                 RenderState state = RenderState::Normal,
                 int width = kW,
                 int height = kH) {
    UIRef<UIRenderText> painter = Painter(descriptor);
    ASSERT_TRUE(painter) << descriptor;
    painter->Paint(canvas.g(), Rect(0, 0, width, height), state, text, Fonts());
  }

  static GdiplusSession* gdiplus_;
  std::map<std::wstring, std::unique_ptr<Gdiplus::Font>> fonts_;
};

GdiplusSession* UIRenderTextTest::gdiplus_ = nullptr;

bool IsRed(ARGB c) {
  return (c >> 24) > 0x80 && ((c >> 16) & 0xFF) > 0xC0 && ((c >> 8) & 0xFF) < 0x40;
}
bool IsGrey(ARGB c) {
  return (c >> 24) > 0x80 && NearColour(c | 0xFF000000, 0xFF60656F, 0x10);
}

}  // namespace

TEST_F(UIRenderTextTest, StatesChooseColourAndFont) {
  struct Case {
    const wchar_t* descriptor;
    RenderState state;
    ARGB colour;
  } cases[] = {
      {L"txt:font=16", RenderState::Normal, 0xFF000000},
      {L"txt:font=16", RenderState::Disabled, 0xFF3C3C3C},
      {L"txt:clr=#ff0000ff|clr1=#ffff0000|font=16", RenderState::Hover, 0xFFFF0000},
      {L"txt:clr=#ff0000ff|clr1=#ffff0000|font=16", RenderState::Pressed, 0xFF0000FF},
      {L"txt:clr2=0,255,0|font=16", RenderState::Pressed, 0xFF00FF00},
  };
  for (const Case& c : cases) {
    PaintCanvas canvas(kW, kH);
    PaintText(canvas, c.descriptor, L"HHHH");
    PaintCanvas stated(kW, kH);
    PaintText(stated, c.descriptor, L"HHHH", c.state);
    EXPECT_TRUE(NearColour(stated.StrongestColour(), c.colour, 8))
        << testing::PrintToString(std::wstring(c.descriptor)) << std::hex << " "
        << stated.StrongestColour();
  }
  // A state without its own font uses the normal one; one with its own is drawn in it.
  PaintCanvas normal(kW, kH), hover(kW, kH), pressed(kW, kH);
  PaintText(normal, L"txt:font=14|font2=28", L"HHHH");
  PaintText(hover, L"txt:font=14|font2=28", L"HHHH", RenderState::Hover);
  PaintText(pressed, L"txt:font=14|font2=28", L"HHHH", RenderState::Pressed);
  EXPECT_EQ(hover.InkBounds().Width, normal.InkBounds().Width);
  EXPECT_GT(pressed.InkBounds().Height, normal.InkBounds().Height * 3 / 2);
}

TEST_F(UIRenderTextTest, AlignmentAndInsetPlaceTheText) {
  struct Case {
    const wchar_t* descriptor;
    int minLeft, maxLeft;    // where the ink starts
    int minRight, maxRight;  // and where it ends
    int minTop, maxBottom;
  } cases[] = {
      {L"txt:font=16", 0, 4, 0, kW, 0, kH},
      {L"txt:font=16|horz=2", 0, kW, kW - 5, kW - 1, 0, kH},
      {L"txt:font=16|inset=100,0,0,0", 100, 104, 0, kW, 0, kH},
      {L"txt:font=16|horz=2|inset=0,0,50,0", 0, kW, kW - 55, kW - 51, 0, kH},
      {L"txt:font=16|vert=0", 0, 4, 0, kW, 0, 20},
      {L"txt:font=16|vert=2", 0, 4, 0, kW, 20, kH},
  };
  for (const Case& c : cases) {
    PaintCanvas canvas(kW, kH);
    PaintText(canvas, c.descriptor, L"HHHH");
    Rect ink = canvas.InkBounds();
    std::string what = testing::PrintToString(std::wstring(c.descriptor));
    ASSERT_GT(ink.Width, 0) << what;
    EXPECT_GE(ink.X, c.minLeft) << what;
    EXPECT_LE(ink.X, c.maxLeft) << what;
    EXPECT_GE(ink.GetRight() - 1, c.minRight) << what;
    EXPECT_LE(ink.GetRight() - 1, c.maxRight) << what;
    EXPECT_GE(ink.Y, c.minTop) << what;
    EXPECT_LE(ink.GetBottom(), c.maxBottom) << what;
  }
  PaintCanvas centred(kW, kH);
  PaintText(centred, L"txt:font=16|horz=1", L"HHHH");
  Rect ink = centred.InkBounds();
  EXPECT_LE(std::abs(ink.X - (kW - ink.GetRight())), 3) << ink.X << " " << ink.GetRight();
  // Insets that swallow the rectangle leave nothing to draw in.
  PaintCanvas swallowed(kW, kH);
  PaintText(swallowed, L"txt:font=16|inset=130,0,130,0", L"HHHH");
  EXPECT_EQ(swallowed.InkBounds().Width, 0);
}

TEST_F(UIRenderTextTest, AFieldNarrowerThanItsTextStillShowsItClippedToTheField) {
  struct Case {
    const wchar_t* descriptor;
    const wchar_t* text;
    int width;
  } cases[] = {
      {L"txt:font=15|horz=1", L":", 5},      {L"txt:font=15|horz=1", L"时", 15},
      {L"txt:font=15", L"时", 15},           {L"txt:font=15|horz=2", L":", 5},
      {L"txt:font=15|horz=1", L"12:30", 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.descriptor) + L" " + c.text));
    PaintCanvas canvas(kW, kH);
    UIRef<UIRenderText> painter = Painter(c.descriptor);
    ASSERT_TRUE(painter);
    painter->Paint(canvas.g(), Rect(100, 0, c.width, kH), RenderState::Normal, c.text, Fonts());
    Rect ink = canvas.InkBounds();
    ASSERT_GT(ink.Width, 0);
    EXPECT_GE(ink.X, 100);
    EXPECT_LE(ink.GetRight(), 100 + c.width);
  }
}

TEST_F(UIRenderTextTest, OnlyMultiLineTextWraps) {
  const std::wstring text = L"one two three four five six seven eight nine ten";
  PaintCanvas single(120, 80), multi(120, 80), trimmed(120, 80);
  PaintText(single, L"txt:font=16|vert=0", text, RenderState::Normal, 120, 80);
  PaintText(multi, L"txt:font=16|vert=0|multi=true", text, RenderState::Normal, 120, 80);
  PaintText(trimmed, L"txt:font=16|vert=0|trim=true", text, RenderState::Normal, 120, 80);
  int line = single.InkBounds().Height;
  ASSERT_GT(line, 0);
  EXPECT_LT(line, 22);
  EXPECT_GT(multi.InkBounds().Height, 2 * line);
  EXPECT_LT(trimmed.InkBounds().Height, 22);
  EXPECT_LE(trimmed.InkBounds().GetRight(), 120);
}

TEST_F(UIRenderTextTest, ShadowHaloReachesUpAndRightOfTheText) {
  PaintCanvas plain(kW, kH), shadowed(kW, kH);
  PaintText(plain, L"txt:font=16|clr=white|horz=1", L"HHHH");
  PaintText(shadowed, L"txt:font=16|clr=white|horz=1|shadow=true", L"HHHH");
  Rect text = plain.InkBounds(), halo = shadowed.InkBounds();
  ASSERT_GT(text.Width, 0);
  EXPECT_LE(halo.Y, text.Y - 3);
  EXPECT_GE(halo.GetRight(), text.GetRight() + 2);
  EXPECT_LE(std::abs(halo.X - text.X), 1);
  EXPECT_LE(std::abs(halo.GetBottom() - text.GetBottom()), 1);
  // The text itself still lies on top in its own colour.
  EXPECT_TRUE(NearColour(shadowed.StrongestColour(), 0xFFFFFFFF, 8) ||
              shadowed.StrongestColour() == 0xFF000000);
  Rect white = shadowed.Bounds([](ARGB c) { return (c >> 24) > 0xC0 && (c & 0xFF) > 0xC0; });
  EXPECT_GT(white.Width, 0);
}

TEST_F(UIRenderTextTest, HaloAlphaSumsTheBlueBytesLeftAndBelow) {
  struct Dot {
    int x, y;
    ARGB argb;
  };
  struct Case {
    std::vector<Dot> dots;
    std::vector<Dot> expected;  // alpha << 24 of the result
  } cases[] = {
      // One text pixel lights 4 columns from itself rightwards and 5 rows from itself upwards.
      {{{5, 5, 0xFE101010}},
       {{5, 5, 0x10000000},
        {8, 5, 0x10000000},
        {9, 5, 0},
        {4, 5, 0},
        {5, 1, 0x10000000},
        {5, 0, 0},
        {8, 1, 0x10000000},
        {5, 6, 0}}},
      // Only the first byte counts; sums are capped at 255.
      {{{2, 2, 0xFF0000F0}, {3, 2, 0xFF0000F0}}, {{3, 2, 0xFF000000}, {2, 2, 0xF0000000}}},
      {{{0, 9, 0xFFFF0000}}, {{0, 9, 0}, {2, 7, 0}}},
      // Pixels beyond the edges count nothing.
      {{{9, 0, 0x80808080}}, {{9, 0, 0x80000000}, {0, 0, 0}}},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    Gdiplus::Bitmap bitmap(10, 10, PixelFormat32bppARGB);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x)
        bitmap.SetPixel(x, y, Gdiplus::Color(0));
    }
    for (const Dot& d : cases[i].dots)
      bitmap.SetPixel(d.x, d.y, Gdiplus::Color(d.argb));
    ApplyShadowHalo(bitmap);
    for (const Dot& e : cases[i].expected) {
      Gdiplus::Color c;
      bitmap.GetPixel(e.x, e.y, &c);
      EXPECT_EQ(c.GetValue(), e.argb) << "case " << i << " at " << e.x << "," << e.y;
    }
  }
}

TEST_F(UIRenderTextTest, KeywordMarkupDrawsRunsInTheirColours) {
  const std::wstring markup = BuildKeywordMarkup(L"即将关机 {10} 秒", L"16", L"#ff60656f");
  PaintCanvas canvas(kW, kH);
  PaintText(canvas, L"txt:keyword=true", markup);
  Rect red = canvas.Bounds(IsRed), grey = canvas.Bounds(IsGrey);
  ASSERT_GT(red.Width, 0);
  ASSERT_GT(grey.Width, 0);
  EXPECT_LT(grey.X, red.X);
  EXPECT_GT(grey.GetRight(), red.GetRight());
  EXPECT_LT(canvas.InkBounds().X, 3);

  // Centred, the whole line is one block.
  PaintCanvas centred(kW, kH);
  PaintText(centred, L"txt:keyword=true|horz=1", markup);
  Rect ink = centred.InkBounds();
  EXPECT_LE(std::abs(ink.X - (kW - ink.GetRight())), 3) << ink.X << " " << ink.GetRight();
  PaintCanvas right(kW, kH);
  PaintText(right, L"txt:keyword=true|horz=2", markup);
  EXPECT_GE(right.InkBounds().GetRight(), kW - 3);

  // The runs sit side by side where the measured widths put them.
  std::vector<KeywordRun> runs;
  ASSERT_TRUE(ParseKeywordMarkup(markup, &runs));
  int first = MeasureText(canvas.g(), runs[0].text, Fonts()(L"16")).Width;
  EXPECT_GE(red.X, first - 2);
  EXPECT_LE(red.X, first + 3);
}

TEST_F(UIRenderTextTest, MarkupNeedsTheKeywordFlagAndMustParse) {
  struct Case {
    const wchar_t* descriptor;
    std::wstring text;
    bool inked, red;
  } cases[] = {
      {L"txt:keyword=true", BuildKeywordMarkup(L"1 < 2 {a}", L"16", L"#ff60656f"), false, false},
      {L"txt:keyword=true|font=16", L"plain <tex words", true, false},
      {L"txt:font=12", BuildKeywordMarkup(L"a {b}", L"16", L"#ff60656f"), true, false},
      {L"txt:keyword=true", BuildKeywordMarkup(L"x {b}", L"16", L"#ff60656f"), true, true},
  };
  for (const Case& c : cases) {
    PaintCanvas canvas(kW, kH);
    PaintText(canvas, c.descriptor, c.text);
    std::string what = testing::PrintToString(c.text);
    EXPECT_EQ(canvas.InkBounds().Width > 0, c.inked) << what;
    EXPECT_EQ(canvas.Bounds(IsRed).Width > 0, c.red) << what;
  }
}

TEST_F(UIRenderTextTest, ControlWithoutAWindowDrawsItsTextInTheDefaultFont) {
  UIRef<UIControl> control = UIRef<UIControl>::Adopt(new UIControl);
  control->SetPos(0, 0, kW, kH);
  control->SetAttribute(L"txt", L"Quelm定时任务");
  control->SetAttribute(L"back", L"txt:clr=#ff0000ff|font=30b");
  PaintCanvas canvas(kW, kH);
  control->Paint(canvas.g());
  EXPECT_EQ(static_cast<UIRenderText*>(control->GetBackground())->owner(), control.get());
  Rect ink = canvas.InkBounds();
  EXPECT_GT(ink.Width, 40);
  EXPECT_LT(ink.Height, 16);  // 13 pixels, not the 30 the painter asks the window for
  EXPECT_TRUE(NearColour(canvas.StrongestColour(), 0xFF0000FF, 8));
}
