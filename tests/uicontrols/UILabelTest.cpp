#include <gtest/gtest.h>

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
      {"markup with <", L"0", L"0", L"true", BuildKeywordMarkup(L"a {b<c} d", font, colour),
       false},
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
