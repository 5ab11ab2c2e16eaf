#include <gtest/gtest.h>

#include <climits>

#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UIListControls.h"
#include "ui/controls/UIProgress.h"
#include "ui/controls/UIScrollBar.h"
#include "ui/controls/UIScrollVertView.h"
#include "ui/controls/UISlider.h"

namespace {

TEST(UIProgressTest, ValueZeroPaintsBackgroundAndHundredFillsTheWidth) {
  TestSkin skin;
  ControlTestHost host(skin,
                       "<UIWnd pos=\"0,0,220,60\" back=\"clr:clr=#ff000000\">"
                       "<UIProgress id=\"p\" pos=\"10,10,200,10\"/></UIWnd>");
  auto* bar = host.FindAs<UIProgress>(L"p");
  struct Case {
    const wchar_t* value;
    int shown;
    uint32_t first, last;
  };
  const Case cases[] = {{L"0", 0, UIProgress::kBackColour, UIProgress::kBackColour},
                        {L"100", 100, UIProgress::kFillColour, UIProgress::kFillColour},
                        {L"50", 50, UIProgress::kFillColour, UIProgress::kBackColour},
                        {L"250", 100, UIProgress::kFillColour, UIProgress::kFillColour},
                        {L"-5", 0, UIProgress::kBackColour, UIProgress::kBackColour}};
  for (const Case& c : cases) {
    bar->SetAttribute(L"value", c.value);
    EXPECT_EQ(bar->GetValue(), c.shown);
    EXPECT_EQ(host.Pixel(10, 15), c.first);
    EXPECT_EQ(host.Pixel(209, 15), c.last);
    EXPECT_EQ(host.Pixel(210, 15), 0xFF000000u) << "nothing beyond the bar";
  }
}

TEST(UISliderTest, ThumbDraggedPastEitherEndClamps) {
  TestSkin skin;
  skin.AddImage(L"thumb.png", StripPng({0xFF111111, 0xFF222222, 0xFF333333, 0xFF444444}, 10, 16));
  ControlTestHost host(skin,
                       "<UIWnd pos=\"0,0,300,60\"><UISlider id=\"s\" pos=\"50,10,200,20\" "
                       "thumb=\"thumb.png\" value=\"50\"/></UIWnd>");
  auto* slider = host.FindAs<UISlider>(L"s");
  host.Send(WM_MOUSEMOVE, 150, 20);
  EXPECT_EQ(host.Pixel(150, 20), 0xFF222222u) << "hover frame";
  host.Send(WM_LBUTTONDOWN, 150, 20, MK_LBUTTON);
  EXPECT_TRUE(slider->IsDragging());
  EXPECT_EQ(host.Pixel(150, 20), 0xFF333333u) << "dragging frame";
  struct Move {
    int x;
    int value;
  };
  for (Move m : {Move{170, 60}, Move{290, 100}, Move{299, 100}, Move{10, 0}, Move{0, 0}}) {
    host.Send(WM_MOUSEMOVE, m.x, 20, MK_LBUTTON);
    EXPECT_EQ(slider->GetValue(), m.value) << m.x;
  }
  EXPECT_EQ(host.Pixel(50, 20), 0xFF333333u) << "thumb kept inside at 0";
  host.events.clear();
  host.Send(WM_LBUTTONUP, 0, 20);
  EXPECT_FALSE(slider->IsDragging());
  EXPECT_EQ(host.EventNames(), std::vector<std::string>{"sliderendtrack"});

  // A press beside the thumb jumps there without dragging.
  host.events.clear();
  host.Send(WM_LBUTTONDOWN, 200, 20, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 200, 20);
  EXPECT_EQ(slider->GetValue(), 75);
  EXPECT_EQ(host.EventNames(), std::vector<std::string>{"sliderposchanged"});
}

TEST(UIHostileSizesTest, OverWideBarsAndLongListsKeepTheirArithmetic) {
  TestSkin skin;
  RegisterListControls();
  skin.AddImage(L"thumb.png", StripPng({0xFF111111, 0xFF222222, 0xFF333333, 0xFF444444}, 10, 16));
  // Both bars are held to 32767 wide, their middle 16383 pixels in, 83 inside the window.
  ControlTestHost host(skin,
                       "<UIWnd pos=\"0,0,300,200\" back=\"clr:clr=#ffffffff\">"
                       "<UISlider pos=\"-16300,0,2000000000,20\" thumb=\"thumb.png\" value=\"50\"/>"
                       "<UIProgress pos=\"-16300,20,2000000000,20\" value=\"50\"/>"
                       "<UIScrollVertView id=\"list\" pos=\"0,50,100,100\"/></UIWnd>");
  EXPECT_EQ(host.Pixel(83, 10), 0xFF111111u) << "the thumb";
  EXPECT_EQ(host.Pixel(80, 30), UIProgress::kFillColour);
  EXPECT_EQ(host.Pixel(90, 30), UIProgress::kBackColour);
  auto* list = host.FindAs<UIScrollVertView>(L"list");
  for (int i = 0; i < 2; ++i) {
    auto* row = new UIControl;
    row->SetPos(0, 0, 10, 2000000000);
    list->AddRow(row);
  }
  list->Relayout();
  EXPECT_TRUE(list->scroll_bar()->IsVisible());
  EXPECT_EQ(list->scroll_bar()->GetTotal(), INT_MAX);
}

}  // namespace
