#include <gtest/gtest.h>

#include "sys/StringFormat.h"
#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UILabel.h"
#include "ui/core/UIKeywordMarkup.h"

namespace {

TEST(UILabelTest, DrawsTextOnlyWhereTheMarginsAndMarkupLeaveRoom) {
  TestSkin skin;
  struct Case {
    const char* name;
    std::wstring xstart, xend, keyword, text;
    bool draws;
  };
  const std::wstring font = L"16", colour = L"#ff000000";
  const Case cases[] = {
      {"plain", L"0", L"0", L"false", L"Quelm定时任务", true},
      {"margins fill the width", L"60", L"60", L"false", L"Quelm定时任务", false},
      {"margins leave room", L"20", L"20", L"false", L"定时", true},
      {"markup", L"0", L"0", L"true", BuildKeywordMarkup(L"将在 {关机} 后", font, colour), true},
      {"markup with <", L"0", L"0", L"true", BuildKeywordMarkup(L"a {b<c} d", font, colour), false},
      {"markup text without keyword", L"0", L"0", L"false",
       BuildKeywordMarkup(L"a {b<c} d", font, colour), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ControlTestHost host(skin,
                         "<UIWnd pos=\"0,0,200,60\" back=\"clr:clr=#ffffffff\">"
                         "<UILabel id=\"l\" pos=\"10,10,100,30\" font=\"16\" clr=\"#ff000000\"/>"
                         "</UIWnd>");
    UIControl* label = host.Find(L"l");
    label->SetAttribute(L"xstart", c.xstart);
    label->SetAttribute(L"xend", c.xend);
    label->SetAttribute(L"keyword", c.keyword);
    label->SetAttribute(L"txt", c.text);
    EXPECT_EQ(host.AreaDiffers(L"l", 0xFFFFFFFF), c.draws);
    RECT t = static_cast<UILabel*>(label)->GetTextRect();
    EXPECT_LE(t.left, t.right);
  }
}

TEST(UILabelTest, TextAttributesReachThePainterAndTheAttributeMap) {
  TestSkin skin;
  ControlTestHost host(skin,
                       "<UIWnd pos=\"0,0,200,60\" back=\"clr:clr=#ffffffff\">"
                       "<UILabel id=\"l\" pos=\"0,0,200,60\" txtattr=\"clr=#ffff0000|font=40b\" "
                       "horz=\"1\" txt=\"W\"/></UIWnd>");
  UIControl* label = host.Find(L"l");
  EXPECT_EQ(label->GetAttribute(L"horz"), L"1");
  // The text is centred: nothing near the left edge, red in the middle.
  bool red = false, left = false;
  host.PaintNow();
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      uint32_t p = host.BackBufferPixelForTesting(x, y);
      if (p == 0xFFFF0000)
        red = true;
      if (x < 60 && p != 0xFFFFFFFF)
        left = true;
    }
  }
  EXPECT_TRUE(red);
  EXPECT_FALSE(left);
}

}  // namespace

// A whole-window paint leaves out the clip of controls whose painting keeps inside them; one
// whose text, markup, margins, insets or image destination reach beyond keeps its clip.
TEST(UILabelTest, AWholeWindowPaintStillEndsEveryControlAtItsEdges) {
  TestSkin skin;
  skin.AddImage(L"img\\red.png", StripPng({0xFFFF0000}, 12, 12));
  const std::string wide = "WWWWWWWWWWWWWWWWWWWW";
  const std::string markup =
      WideToUtf8(BuildKeywordMarkup(L"WWWWWW {WWWWWW} WWWWWW", L"20", L"#ff000000"));
  const std::string controls[] = {
      "<UILabel id='c' font='20' txt='" + wide + "'/>",
      "<UILabel id='c' font='20' keyword='true' horz='1'/>",
      "<UILabel id='c' font='20' inset='-40,0,-40,0' horz='1' txt='" + wide + "'/>",
      "<UILabel id='c' font='20' xstart='-50' txt='" + wide + "'/>",
      "<UIButton id='c' font='20' txt='" + wide + "'/>",
      "<UIButton id='c' btn='img\\red.png' backrect='-20,0,100,30'/>",
      "<UIWnd id='c' back='txt:font=20|inset=-30,0,-30,0|horz=1' txt='" + wide + "'/>",
      "<UIWnd id='c' back='img:file=img\\red.png|dst=-20,-5,100,40'/>",
      "<UIWnd id='c' back='img:file=img\\red.png'/>",
  };
  for (std::string control : controls) {
    SCOPED_TRACE(control);
    control.insert(control.find(' '), " pos='100,20,60,30'");
    ControlTestHost host(
        skin, "<UIWnd pos='0,0,300,80' back='clr:clr=#ffffffff'>" + control + "</UIWnd>");
    UIControl* c = host.Find(L"c");
    ASSERT_NE(c, nullptr);
    if (c->GetAttribute(L"keyword") == L"true")
      c->SetText(Utf8ToWide(markup));
    host.InvalidateRect(host.GetClientRect());
    host.PaintNow();
    int inside = 0, outside = 0;
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 300; ++x) {
        if (host.BackBufferPixelForTesting(x, y) == 0xFFFFFFFFu)
          continue;
        bool in = x >= 100 && x < 160 && y >= 20 && y < 50;
        ++(in ? inside : outside);
      }
    }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
  }
}
