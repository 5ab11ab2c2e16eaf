#include <gtest/gtest.h>

#include "tests/support/FakeClock.h"
#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UIGif.h"
#include "ui/controls/UIImage.h"
#include "ui/core/UIBuilder.h"

namespace {

TEST(UIGifTest, FrameSequenceAcceptsOnlyOneIntegerConversion) {
  TestSkin skin;
  struct Case {
    const wchar_t* text;
    std::vector<std::wstring> frames;
  };
  const Case cases[] = {
      {L"1|3|img\\load%d.png", {L"img\\load1.png", L"img\\load2.png", L"img\\load3.png"}},
      {L"8|9|f%02d_%%.png", {L"f08_%.png", L"f09_%.png"}},
      {L"3|1|f%d.png", {}},
      {L"1|2|f%s.png", {}},
      {L"1|2|f%d%d.png", {}},
      {L"1|2|f.png", {}},
      {L"1|2", {}},
      {L"0|999999999|f%d.png", {}},
  };
  UIGif gif;
  for (const Case& c : cases) {
    gif.SetAttribute(L"gif", c.text);
    EXPECT_EQ(gif.frames(), c.frames) << std::wstring(c.text).size();
  }
}

TEST(UIGifTest, StepsOnlyWhenShownAndAfterTheFrameInterval) {
  TestSkin skin;
  FakeClock clock;
  skin.AddImage(L"f1.png", StripPng({0xFFFF0000}, 10, 10));
  skin.AddImage(L"f2.png", StripPng({0xFF00FF00}, 10, 10));
  ControlTestHost host(skin,
                       "<UIWnd pos=\"0,0,100,100\" back=\"clr:clr=#ff000000\"><UIGif id=\"g\" "
                       "pos=\"0,0,40,40\" gif=\"1|2|f%d.png\" autoshowhide=\"true\" "
                       "visible=\"false\"/></UIWnd>");
  auto* gif = host.FindAs<UIGif>(L"g");
  gif->SetAttribute(L"startgif", L"");
  EXPECT_TRUE(gif->IsVisible());
  EXPECT_EQ(host.Pixel(20, 20), 0xFFFF0000u) << "first frame, centred";
  EXPECT_EQ(host.Pixel(14, 14), 0xFF000000u);
  gif->SetAttribute(L"fresh", L"");
  EXPECT_EQ(gif->frame_index(), 0u) << "30 ms have not passed";
  clock.AdvanceMs(31);
  gif->SendMessage(WM_TIMER, UIGif::kTimerIndex);
  EXPECT_EQ(gif->frame_index(), 1u);
  EXPECT_EQ(host.Pixel(20, 20), 0xFF00FF00u);
  clock.AdvanceMs(31);
  gif->SetAttribute(L"fresh", L"");
  EXPECT_EQ(gif->frame_index(), 0u) << "wraps";
  gif->SetAttribute(L"stopgif", L"");
  EXPECT_FALSE(gif->IsVisible());
  clock.AdvanceMs(31);
  gif->SetAttribute(L"fresh", L"");
  EXPECT_EQ(gif->frame_index(), 0u) << "hidden";
}

TEST(UIImageTest, BackIsAnImagePathStretchedOverTheControl) {
  TestSkin skin;
  skin.AddImage(L"pic.png", StripPng({0xFF0000FF}, 2, 2));
  ControlTestHost host(skin,
                       "<UIWnd pos=\"0,0,100,100\" back=\"clr:clr=#ff000000\">"
                       "<UIImage id=\"i\" pos=\"10,10,50,50\" back=\"pic.png\"/>"
                       "<UIImage id=\"missing\" pos=\"70,10,20,20\" back=\"none.png\"/></UIWnd>");
  EXPECT_EQ(host.Pixel(12, 12), 0xFF0000FFu);
  EXPECT_EQ(host.Pixel(58, 58), 0xFF0000FFu);
  EXPECT_FALSE(host.AreaDiffers(L"missing", 0xFF000000));
}

TEST(UIControlFactoryTest, BuildsEveryBasicControlByItsElementName) {
  TestSkin skin;
  for (const char* name : {"UILabel", "UIButton", "UILink", "UIGif", "UICheckBox", "UIRadioBox",
                           "UIProgress", "UISwitch", "UIImage", "UISlider", "UICaption"}) {
    UIRef<UIControl> c =
        UIRef<UIControl>::Adopt(CreateControl(std::wstring(name, name + strlen(name))));
    ASSERT_TRUE(c) << name;
    EXPECT_STREQ(c->GetClassName(), name);
  }
}

}  // namespace
