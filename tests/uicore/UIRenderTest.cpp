#include "ui/core/UIRender.h"

#include <gtest/gtest.h>

#include "sys/GdiplusSession.h"
#include "tests/uicore/PackBuilder.h"
#include "tests/uicore/PaintCanvas.h"
#include "ui/core/ResLoaderMgr.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIRenderColor.h"
#include "ui/core/UIRenderImg.h"
#include "ui/core/UIRenderText.h"
#include "ui/core/UIStyleTable.h"

namespace {

using Gdiplus::ARGB;

constexpr ARGB kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF, kGreen = 0xFF00FF00, kGrey = 0xFF808080,
               kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF, kNavy = 0xFF000080, kBlue = 0xFF0000FF,
               kBlack = 0xFF000000, kYellow = 0xFFFFFF00;

// A 9 x 9 image whose nine 3 x 3 blocks have their own colours, with a magenta centre pixel.
std::string GridPng() {
  const ARGB blocks[3][3] = {
      {kRed, kWhite, kGreen}, {kGrey, kCyan, kNavy}, {kBlue, kBlack, kYellow}};
  Gdiplus::Bitmap bitmap(9, 9, PixelFormat32bppARGB);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 9; ++x)
      bitmap.SetPixel(x, y, Gdiplus::Color(blocks[y / 3][x / 3]));
  }
  bitmap.SetPixel(4, 4, Gdiplus::Color(kMagenta));
  return EncodePng(bitmap);
}

UIRef<UIRender> Render(const wchar_t* descriptor) {
  return UIRef<UIRender>::Adopt(CreateRender(descriptor));
}

class UIRenderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdiplus_ = new GdiplusSession;
    loader_ = new ResLoaderMgr;
    pack_ = new std::string(BuildPack({{L"img\\grid.png", GridPng()}}).bytes);
    loader_->LoadPack(pack_->data(), pack_->size());
    previous_ = GetResLoader();
    SetResLoader(loader_);
  }
  static void TearDownTestSuite() {
    SetResLoader(previous_);
    delete loader_;  // its images go before GDI+ does
    delete pack_;
    delete gdiplus_;
  }
  void SetUp() override { ASSERT_TRUE(gdiplus_->ok()); }

  static GdiplusSession* gdiplus_;
  static ResLoaderMgr* loader_;
  static std::string* pack_;
  static UIResLoader* previous_;
};

GdiplusSession* UIRenderTest::gdiplus_ = nullptr;
ResLoaderMgr* UIRenderTest::loader_ = nullptr;
std::string* UIRenderTest::pack_ = nullptr;
UIResLoader* UIRenderTest::previous_ = nullptr;

struct Probe {
  int x, y;
  ARGB argb;
};

void ExpectProbes(PaintCanvas& canvas, const std::vector<Probe>& probes, const std::string& what) {
  for (const Probe& p : probes) {
    EXPECT_TRUE(NearColour(canvas.At(p.x, p.y), p.argb))
        << what << " at " << p.x << "," << p.y << ": " << std::hex << canvas.At(p.x, p.y)
        << " instead of " << p.argb;
  }
}

}  // namespace

TEST(UIRenderState, DisabledThenPressedThenHover) {
  struct Case {
    bool enabled;
    unsigned state;
    bool selected;
    RenderState expected;
  } cases[] = {
      {true, 0, false, RenderState::Normal},     {true, 0x01, false, RenderState::Hover},
      {true, 0x02, false, RenderState::Pressed}, {true, 0x03, false, RenderState::Pressed},
      {true, 0x04, false, RenderState::Pressed}, {true, 0x01, true, RenderState::Pressed},
      {true, 0x08, false, RenderState::Normal},  {false, 0x03, true, RenderState::Disabled},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SelectRenderState(c.enabled, c.state, c.selected), c.expected)
        << c.enabled << " " << c.state << " " << c.selected;
  }
}

TEST_F(UIRenderTest, PrefixChoosesThePainter) {
  EXPECT_NE(dynamic_cast<UIGradientColor*>(Render(L"grd:clr=#ff000000").get()), nullptr);
  EXPECT_NE(dynamic_cast<UIRenderColor*>(Render(L"clr:").get()), nullptr);
  EXPECT_NE(dynamic_cast<UIRenderImg*>(Render(L"img:file=img\\grid.png").get()), nullptr);
  EXPECT_NE(dynamic_cast<UIRenderText*>(Render(L"txt:clr=#ff000000").get()), nullptr);
  for (const wchar_t* none : {L"", L"clr", L"CLR:clr=#ff000000", L"bmp:file=a.png", L" clr:"})
    EXPECT_FALSE(Render(none)) << none;
}

TEST_F(UIRenderTest, ItemsApplyLeftToRightAndMalformedOnesAreSkipped) {
  LoadStyleTable(R"({"hot": {"clr": "#ff00ff00", "round": "3"}})");
  struct Case {
    const wchar_t* descriptor;
    ARGB normal, hover;
    int radius;
  } cases[] = {
      {L"clr:clr=#ff0000ff|clrn=#ff00ff00", 0xFF00FF00, 0xFF0000FF, 0},
      {L"clr:clrn=#ff00ff00|clr=#ff0000ff", 0xFF0000FF, 0xFF0000FF, 0},
      {L"clr:clr=#ff0000ff=1|clrh|round=2", 0, 0, 2},
      {L"clr:clrh=#ff0000ff||unknown=1|round=x", 0, 0xFF0000FF, 0},
      {L"clr:css=hot|clrh=#ff0000ff", 0xFF00FF00, 0xFF0000FF, 3},
      {L"clr:clrh=#ff0000ff|css=hot", 0xFF00FF00, 0xFF00FF00, 3},
      {L"clr:css=missing|clr1=#ff0000ff", 0, 0xFF0000FF, 0},
  };
  for (const Case& c : cases) {
    UIRef<UIRender> owned = Render(c.descriptor);
    auto* render = dynamic_cast<UIRenderColor*>(owned.get());
    ASSERT_NE(render, nullptr) << c.descriptor;
    EXPECT_EQ(render->fill(RenderState::Normal), c.normal) << c.descriptor;
    EXPECT_EQ(render->fill(RenderState::Hover), c.hover) << c.descriptor;
    EXPECT_EQ(render->radius(), c.radius) << c.descriptor;
  }
  ClearStyleTable();
}

TEST_F(UIRenderTest, ColourPainterPicksTheStatesFillAndBorder) {
  struct Case {
    const wchar_t* descriptor;
    RenderState state;
    ARGB inside, edge;
  } cases[] = {
      {L"clr:clr1=#5fc7dae9|clr2=#ffc7dae9", RenderState::Normal, 0, 0},
      {L"clr:clr1=#5fc7dae9|clr2=#ffc7dae9", RenderState::Hover, 0x5FC7DAE9, 0x5FC7DAE9},
      {L"clr:clr1=#5fc7dae9|clr2=#ffc7dae9", RenderState::Pressed, 0xFFC7DAE9, 0xFFC7DAE9},
      {L"clr:clrd=#ff00ff00", RenderState::Normal, 0, 0},
      {L"clr:clrd=#ff00ff00", RenderState::Disabled, kGreen, kGreen},
      {L"clr:clr=#ffffff", RenderState::Normal, 0xFEFFFFFF, 0xFEFFFFFF},
      {L"clr:clr=255,0,0", RenderState::Hover, kRed, kRed},
      {L"clr:clr=white|bordern=#ff0000ff", RenderState::Normal, kWhite, kBlue},
      {L"clr:clr=white|bordern=#ff0000ff", RenderState::Pressed, kWhite, kWhite},
      {L"clr:clr=white|border=0", RenderState::Pressed, kWhite, 0xFE000000},
      {L"clr:", RenderState::Normal, 0, 0},
  };
  for (const Case& c : cases) {
    UIRef<UIRender> owned = Render(c.descriptor);
    auto* render = dynamic_cast<UIRenderColor*>(owned.get());
    ASSERT_NE(render, nullptr);
    PaintCanvas canvas(24, 14);
    render->Paint(canvas.g(), Gdiplus::Rect(0, 0, 20, 10), c.state);
    std::string what = testing::PrintToString(std::wstring(c.descriptor)) + " state " +
                       std::to_string(StateIndex(c.state));
    ExpectProbes(canvas,
                 {{5, 5, c.inside},
                  {0, 0, c.edge},
                  {19, 9, c.edge},
                  {19, 5, c.edge},
                  {20, 5, 0},
                  {5, 10, 0}},
                 what);
  }
}

TEST_F(UIRenderTest, RoundBorderLiesOnePixelInsideTheRightAndBottomEdges) {
  UIRef<UIRender> owned = Render(L"clr:clr=#ffffffff|border=#ff0000ff|round=4");
  auto* render = dynamic_cast<UIRenderColor*>(owned.get());
  ASSERT_NE(render, nullptr);
  PaintCanvas canvas(30, 20);
  render->Paint(canvas.g(), Gdiplus::Rect(0, 0, 20, 10), RenderState::Normal);
  ExpectProbes(canvas,
               {{10, 5, kWhite},
                {10, 0, kBlue},
                {0, 5, kBlue},
                {19, 5, kBlue},
                {10, 9, kBlue},
                {20, 5, 0},
                {10, 10, 0}},
               "round=4");
  // Corners are cut away along the arc (Wine's GDI+ fills paths without anti-aliasing, so
  // only coverage is checked here).
  for (Probe p : {Probe{0, 0, 0}, Probe{1, 0, 0}, Probe{0, 1, 0}, Probe{19, 9, 0}})
    EXPECT_EQ(canvas.At(p.x, p.y) >> 24, 0u) << p.x << "," << p.y;
  EXPECT_GT(canvas.At(1, 1) >> 24, 0x80u);
  EXPECT_GT(canvas.At(18, 8) >> 24, 0x80u);
}

TEST_F(UIRenderTest, GradientRunsFromTheNormalToTheHoverFill) {
  UIRef<UIRender> owned = Render(L"grd:clr=#ff000000|clr1=#ffffffff|border=#ffff0000");
  auto* render = dynamic_cast<UIRenderColor*>(owned.get());
  ASSERT_NE(render, nullptr);
  PaintCanvas canvas(20, 40);
  render->Paint(canvas.g(), Gdiplus::Rect(0, 0, 20, 40), RenderState::Hover);
  ARGB top = canvas.At(10, 0), middle = canvas.At(10, 20), bottom = canvas.At(10, 39);
  EXPECT_LT(top & 0xFF, 0x20u);
  EXPECT_GT(bottom & 0xFF, 0xE0u);
  EXPECT_TRUE(NearColour(middle, 0xFF808080, 0x18)) << std::hex << middle;
  // No border is drawn by the gradient.
  EXPECT_EQ(canvas.At(0, 20) & 0x00FFFFFF, canvas.At(10, 20) & 0x00FFFFFF);
}

TEST_F(UIRenderTest, ImageTypesPlaceTheImagesParts) {
  struct Case {
    const wchar_t* descriptor;
    int width, height;
    std::vector<Probe> probes;
  } cases[] = {
      // Nine-grid: corners unscaled, edges from the strips beside them, centre from one pixel.
      {L"img:file=img\\grid.png|type=3",
       30,
       20,
       {{0, 0, kRed},
        {2, 2, kRed},
        {3, 0, kWhite},
        {26, 2, kWhite},
        {27, 0, kGreen},
        {29, 2, kGreen},
        {0, 17, kBlue},
        {2, 19, kBlue},
        {3, 19, kBlack},
        {27, 17, kYellow},
        {29, 19, kYellow},
        {0, 10, kGrey},
        {29, 10, kNavy},
        {15, 10, kMagenta},
        {4, 4, kMagenta},
        {25, 15, kMagenta}}},
      // Three parts across: outer thirds keep three columns, the middle stretches.
      {L"img:file=img\\grid.png|type=1",
       30,
       9,
       {{2, 0, kRed},
        {3, 0, kWhite},
        {26, 0, kWhite},
        {27, 0, kGreen},
        {2, 8, kBlue},
        {27, 8, kYellow}}},
      // Three parts down.
      {L"img:file=img\\grid.png|type=2",
       9,
       30,
       {{0, 2, kRed},
        {0, 3, kGrey},
        {0, 26, kGrey},
        {0, 27, kBlue},
        {8, 2, kGreen},
        {8, 27, kYellow}}},
      // Whole-image three parts, the thirds taken from the narrower destination.
      {L"img:file=img\\grid.png|type=4",
       6,
       9,
       {{0, 0, kRed}, {2, 0, kRed}, {3, 0, kWhite}, {4, 0, kGreen}, {5, 8, kYellow}}},
      // Source and destination rectangles.
      {L"img:file=img\\grid.png|src=6,6,3,3|dst=2,2,4,4",
       10,
       10,
       {{2, 2, kYellow}, {5, 5, kYellow}, {1, 1, 0}, {6, 6, 0}, {0, 0, 0}}},
      {L"img:file=img\\grid.png|src=0,0,3,3", 10, 10, {{0, 0, kRed}, {6, 6, kRed}}},
      {L"img:file=img\\grid.png|type=7", 10, 10, {{0, 0, 0}, {5, 5, 0}}},
      {L"img:file=img\\absent.png", 10, 10, {{0, 0, 0}, {5, 5, 0}}},
  };
  for (const Case& c : cases) {
    UIRef<UIRender> owned = Render(c.descriptor);
    auto* render = dynamic_cast<UIRenderImg*>(owned.get());
    ASSERT_NE(render, nullptr);
    PaintCanvas canvas(c.width + 2, c.height + 2);
    render->Paint(canvas.g(), Gdiplus::Rect(0, 0, c.width, c.height));
    ExpectProbes(canvas, c.probes, testing::PrintToString(std::wstring(c.descriptor)));
    if (!render->image()) {
      EXPECT_EQ(canvas.InkBounds().Width, 0);
    }
  }
}

TEST_F(UIRenderTest, ControlsPaintTheirBackgroundInTheirState) {
  UIRef<UIControl> control = UIRef<UIControl>::Adopt(new UIControl);
  control->SetPos(0, 0, 20, 10);
  control->SetAttribute(L"back", L"clr:clr=#ff0000ff|clr1=#ff00ff00|clr2=#ffff0000|clrd=#ff808080");
  ASSERT_NE(control->GetBackground(), nullptr);
  struct Step {
    const wchar_t* what;
    std::function<void()> act;
    ARGB expected;
  } steps[] = {
      {L"normal", [] {}, kBlue},
      {L"hover", [&] { control->SendMessage(WM_MOUSEHOVER); }, kGreen},
      {L"left", [&] { control->SendMessage(WM_MOUSELEAVE); }, kBlue},
      {L"select", [&] { control->SetAttribute(L"select", L"true"); }, kRed},
      {L"disabled", [&] { control->SetAttribute(L"enable", L"false"); }, kGrey},
  };
  for (const Step& s : steps) {
    s.act();
    PaintCanvas canvas(22, 12);
    control->Paint(canvas.g());
    ExpectProbes(canvas, {{0, 0, s.expected}, {19, 9, s.expected}, {20, 5, 0}},
                 testing::PrintToString(std::wstring(s.what)));
  }
}

TEST(UIGraphicsTest, NineGridCoversEveryColumnAtMessageBoxSizes) {
  GdiplusSession gdiplus;
  // The message box background's shape: 120 x 120, corners of 40.
  Gdiplus::Bitmap image(120, 120, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&image);
    g.Clear(Gdiplus::Color(0xFFFFFFFF));
  }
  std::vector<int> gaps;
  for (int width = 300; width <= 600; ++width) {
    PaintCanvas canvas(width, 100);
    DrawImageNineGrid(canvas.g(), &image, Gdiplus::Rect(0, 0, width, 100));
    bool gap = false;
    for (int y : {5, 50, 95}) {
      for (int x = 0; x < width; ++x)
        gap = gap || canvas.At(x, y) != 0xFFFFFFFF;
    }
    for (int x : {5, width / 2, width - 5}) {
      for (int y = 0; y < 100; ++y)
        gap = gap || canvas.At(x, y) != 0xFFFFFFFF;
    }
    if (gap)
      gaps.push_back(width);
  }
  EXPECT_TRUE(gaps.empty()) << gaps.size() << " widths with a gap, the first " << gaps[0];
}

TEST(UIGraphicsTest, DirectOpaqueFillsEqualGdiplusAndDeclineWhatTheyCannotMatch) {
  GdiplusSession gdiplus;
  constexpr int kW = 64, kH = 48;
  enum Clip { kNone, kRectangle, kEllipse };
  struct Case {
    const char* what;
    Gdiplus::Rect fill;
    int dx, dy;
    float scale;
    Clip clip;
    ARGB colour;
    bool direct;
  } cases[] = {
      {"whole surface", {0, 0, kW, kH}, 0, 0, 1, kNone, 0xFF336699, true},
      {"translated, partly off the surface", {-10, 20, 50, 40}, 30, 5, 1, kNone, 0xFF336699, true},
      {"under a rectangular clip, translated",
       {0, 0, kW, kH},
       7,
       3,
       1,
       kRectangle,
       0xFFA0B0C0,
       true},
      {"outside the clip", {40, 30, 10, 10}, 0, 0, 1, kRectangle, 0xFFA0B0C0, true},
      {"under a round clip", {0, 0, kW, kH}, 0, 0, 1, kEllipse, 0xFF336699, false},
      {"scaled", {0, 0, 20, 20}, 0, 0, 2, kNone, 0xFF336699, false},
      {"translucent", {0, 0, kW, kH}, 0, 0, 1, kNone, 0x80336699, false},
  };
  for (const Case& c : cases) {
    // The same start on both: opaque stripes, so that every written pixel shows.
    std::vector<uint32_t> ours(kW * kH), theirs(kW * kH);
    for (size_t i = 0; i < ours.size(); ++i)
      ours[i] = theirs[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    auto paint = [&](std::vector<uint32_t>& bits, bool direct) {
      Gdiplus::Bitmap bitmap(kW, kH, kW * 4, PixelFormat32bppPARGB,
                             reinterpret_cast<BYTE*>(bits.data()));
      Gdiplus::Graphics g(&bitmap);
      g.TranslateTransform(static_cast<Gdiplus::REAL>(c.dx), static_cast<Gdiplus::REAL>(c.dy));
      g.ScaleTransform(c.scale, c.scale);
      if (c.clip == kRectangle)
        g.SetClip(Gdiplus::Rect(4, 6, 30, 20));
      Gdiplus::GraphicsPath ellipse;
      ellipse.AddEllipse(0, 0, kW, kH);
      if (c.clip == kEllipse)
        g.SetClip(&ellipse);
      if (!direct) {
        Gdiplus::SolidBrush brush{Gdiplus::Color(c.colour)};
        g.FillRectangle(&brush, c.fill);
        return;
      }
      ScopedDirectSurface surface(g, bits.data(), kW, kH);
      const std::vector<uint32_t> before = bits;
      const bool took = FillRectDirect(g, c.fill, c.colour);
      EXPECT_EQ(took, c.direct) << c.what;
      if (!took) {
        EXPECT_EQ(bits, before) << c.what << ": declined, yet drew";
        FillRect(g, c.fill, c.colour);
      }
    };
    paint(ours, true);
    paint(theirs, false);
    int differing = 0;
    for (size_t i = 0; i < ours.size(); ++i)
      differing += ours[i] != theirs[i];
    EXPECT_EQ(differing, 0) << c.what;
  }
}

TEST(UIGraphicsTest, ADirectSurfaceServesOnlyItsOwnGraphicsAndNestedOnesGiveWayToTheOuter) {
  GdiplusSession gdiplus;
  std::vector<uint32_t> outerBits(32 * 32), innerBits(32 * 32);
  Gdiplus::Bitmap outerBitmap(32, 32, 32 * 4, PixelFormat32bppPARGB,
                              reinterpret_cast<BYTE*>(outerBits.data()));
  Gdiplus::Bitmap innerBitmap(32, 32, 32 * 4, PixelFormat32bppPARGB,
                              reinterpret_cast<BYTE*>(innerBits.data()));
  Gdiplus::Graphics outer(&outerBitmap), inner(&innerBitmap);
  const Gdiplus::Rect all(0, 0, 32, 32);
  ScopedDirectSurface outerSurface(outer, outerBits.data(), 32, 32);
  EXPECT_FALSE(FillRectDirect(inner, all, kRed)) << "a graphics without a surface of its own";
  {
    // Another window painting while the first one paints.
    ScopedDirectSurface innerSurface(inner, innerBits.data(), 32, 32);
    EXPECT_TRUE(FillRectDirect(inner, all, kRed));
    EXPECT_FALSE(FillRectDirect(outer, all, kRed)) << "the inner surface is in force";
  }
  EXPECT_TRUE(FillRectDirect(outer, all, kBlue));
  EXPECT_EQ(innerBits[0], kRed);
  EXPECT_EQ(outerBits[31 * 32 + 31], kBlue);
}
