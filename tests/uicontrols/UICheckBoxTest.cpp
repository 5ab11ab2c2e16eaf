#include <gtest/gtest.h>

#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UICheckBox.h"
#include "ui/controls/UISwitch.h"

namespace {

const char kBoxes[] =
    "<UIWnd pos=\"0,0,300,200\">"
    "<UIRadioBox id=\"r1\" group=\"g\" check=\"true\" pos=\"10,10,80,20\"/>"
    "<UIRadioBox id=\"r2\" group=\"g\" pos=\"10,40,80,20\"/>"
    "<UIRadioBox id=\"r3\" group=\"g\" pos=\"10,70,80,20\"/>"
    "<UIRadioBox id=\"other\" group=\"h\" check=\"true\" pos=\"10,100,80,20\"/>"
    "<UICheckBox id=\"ck\" pos=\"150,10,80,20\"/>"
    "<UISwitch id=\"sw\" pos=\"150,40,80,20\"/>"
    "</UIWnd>";

TEST(UICheckBoxTest, RadioGroupUnchecksSiblingsWithoutEvents) {
  TestSkin skin;
  ControlTestHost host(skin, kBoxes);
  struct Step {
    const wchar_t* click;
    const char* checked;  // r1 r2 r3 as 0/1
    int events;
  };
  const Step steps[] = {{L"r2", "010", 1}, {L"r2", "010", 0}, {L"r3", "001", 1}, {L"r1", "100", 1}};
  for (const Step& s : steps) {
    host.events.clear();
    POINT p = host.Centre(s.click);
    host.Click(p.x, p.y);
    std::string marks;
    for (const wchar_t* id : {L"r1", L"r2", L"r3"})
      marks += host.FindAs<UIRadioBox>(id)->IsChecked() ? '1' : '0';
    EXPECT_EQ(marks, s.checked);
    ASSERT_EQ(static_cast<int>(host.events.size()), s.events);
    if (s.events) {
      EXPECT_EQ(host.events[0].name, "checkchanged");
      EXPECT_EQ(host.events[0].id, s.click);
      EXPECT_EQ(host.events[0].param2, 1);
    }
    EXPECT_TRUE(host.FindAs<UIRadioBox>(L"other")->IsChecked()) << "another group";
  }
}

TEST(UICheckBoxTest, CheckBoxTogglesAndSwitchFiresCheckChangedBeforeClick) {
  TestSkin skin;
  ControlTestHost host(skin, kBoxes);
  POINT ck = host.Centre(L"ck");
  for (int expected : {1, 0}) {
    host.events.clear();
    host.Click(ck.x, ck.y);
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].name, "checkchanged");
    EXPECT_EQ(host.events[0].param2, expected);
  }
  POINT sw = host.Centre(L"sw");
  for (int expected : {1, 0}) {
    host.events.clear();
    host.Click(sw.x, sw.y);
    EXPECT_EQ(host.EventNames(), (std::vector<std::string>{"checkchanged", "click"}));
    ASSERT_EQ(host.events.size(), 2u);
    EXPECT_EQ(host.events[0].param2, expected);
    EXPECT_EQ(host.FindAs<UISwitch>(L"sw")->IsOn(), expected == 1);
  }
}

}  // namespace
