#include <gtest/gtest.h>

#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UIButton.h"

namespace {

const char kButtons[] =
    "<UIWnd pos=\"0,0,300,200\" back=\"clr:clr=#ffffffff\">"
    "<UIButton id=\"solo\" pos=\"10,10,80,30\" bkn=\"clr:clr=#ff0000ff\" bkp=\"clr:clr=#ffff0000\"/>"
    "<UIButton id=\"tab1\" group=\"tabs\" page=\"page1\" pos=\"10,50,60,30\"/>"
    "<UIButton id=\"tab2\" group=\"tabs\" page=\"page2\" pos=\"80,50,60,30\"/>"
    "<UIButton id=\"tab3\" group=\"tabs\" page=\"\" pos=\"150,50,60,30\"/>"
    "<UIButton id=\"tab4\" group=\"tabs\" page=\"nosuchpage\" pos=\"220,50,60,30\"/>"
    "<UIControl id=\"page1\" pos=\"10,100,100,50\"/>"
    "<UIControl id=\"page2\" pos=\"120,100,100,50\" visible=\"false\"/>"
    "</UIWnd>";

TEST(UIButtonTest, PressDraggedOffFiresNoClickAndLeavesButtonUnpressed) {
  TestSkin skin;
  ControlTestHost host(skin, kButtons);
  UIControl* solo = host.Find(L"solo");
  host.Send(WM_MOUSEMOVE, 20, 20);
  host.Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  EXPECT_EQ(host.Pixel(20, 20), 0xFFFF0000u) << "pressed frame";
  host.Send(WM_MOUSEMOVE, 200, 150, MK_LBUTTON);
  host.Send(WM_LBUTTONUP, 200, 150);
  EXPECT_TRUE(host.events.empty());
  EXPECT_FALSE(solo->GetState() & UIControl::kStatePressed);
  EXPECT_EQ(host.GetCaptureHandle(), 0u);
  EXPECT_EQ(host.Pixel(20, 20), 0xFF0000FFu) << "normal frame";

  host.Click(20, 20);
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0].name, "click");
  EXPECT_EQ(host.events[0].id, L"solo");
}

TEST(UIButtonTest, GroupSelectsClickedButtonAndShowsOnlyItsPage) {
  TestSkin skin;
  ControlTestHost host(skin, kButtons);
  UIControl* root = host.GetRoot()->GetRelative(UIControl::Relative::kFirstChild);
  struct Case {
    const wchar_t* tab;
    bool page1Visible;
    bool page2Visible;
  };
  // Tabs 3 and 4 have an empty and an unknown page: the pages stay hidden, the window shown.
  const Case cases[] = {{L"tab2", false, true},
                        {L"tab1", true, false},
                        {L"tab3", false, false},
                        {L"tab4", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.tab, c.tab + 4));
    POINT p = host.Centre(c.tab);
    host.events.clear();
    host.Click(p.x, p.y);
    for (const wchar_t* tab : {L"tab1", L"tab2", L"tab3", L"tab4"})
      EXPECT_EQ(host.Find(tab)->IsSelected(), std::wstring(tab) == c.tab);
    EXPECT_EQ(host.Find(L"page1")->IsVisible(), c.page1Visible);
    EXPECT_EQ(host.Find(L"page2")->IsVisible(), c.page2Visible);
    EXPECT_TRUE(root->IsVisible());
    EXPECT_FALSE(root->GetState() & UIControl::kStateHidden);
    EXPECT_EQ(host.EventNames(), std::vector<std::string>{"click"});
  }
}

}  // namespace
