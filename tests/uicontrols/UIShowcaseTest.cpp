#include <gtest/gtest.h>

#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UIProgress.h"
#include "ui/controls/UISwitch.h"
#include "ui/core/UIKeywordMarkup.h"

namespace {

// Every basic control in each of its looks, in one window. With QUELM_SHOWCASE_SECONDS set the
// window stays on screen that long, to be looked at.
const char kShowcase[] =
    "<UIWnd pos=\"0,0,660,330\" back=\"clr:clr=#ffffffff\">"
    "<UIButton id=\"b0\" pos=\"20,20,90,30\" btn=\"btn.png\" txt=\"确定\" horz=\"1\" "
    "clr=\"white\"/>"
    "<UIButton id=\"b1\" pos=\"120,20,90,30\" btn=\"btn.png\" txt=\"悬停\" horz=\"1\" "
    "clr=\"white\"/>"
    "<UIButton id=\"b2\" pos=\"220,20,90,30\" btn=\"btn.png\" txt=\"按下\" horz=\"1\" "
    "clr=\"white\" select=\"true\"/>"
    "<UIButton id=\"b3\" pos=\"320,20,90,30\" btn=\"btn.png\" txt=\"禁用\" horz=\"1\" "
    "clr=\"white\" enable=\"false\"/>"
    "<UIButton id=\"c0\" pos=\"420,20,100,30\" txt=\"添加任务\" horz=\"1\" font=\"15\" "
    "bkn=\"clr:clr=#ff2ba245|round=4\" bkh=\"clr:clr=#ff3cb956|round=4\" clr=\"white\"/>"
    "<UIButton id=\"c1\" pos=\"530,20,100,30\" txt=\"取消\" horz=\"1\" font=\"15\" "
    "bkn=\"clr:clr=#ffffffff|border=#ffc8c8c8|round=4\" backrect=\"0,0,100,30\" clr=\"#ff60656f\"/>"
    "<UICheckBox id=\"k0\" pos=\"20,70,110,24\" ckimg=\"ck.png\" unckimg=\"unck.png\" "
    "rcbox=\"0,0,16,16\" xlabel=\"22\" txt=\"开机启动\"/>"
    "<UICheckBox id=\"k1\" pos=\"140,70,110,24\" ckimg=\"ck.png\" unckimg=\"unck.png\" "
    "rcbox=\"0,0,16,16\" xlabel=\"22\" txt=\"显示提示\" check=\"true\"/>"
    "<UICheckBox id=\"k2\" pos=\"260,70,110,24\" ckimg=\"ck.png\" unckimg=\"unck.png\" "
    "rcbox=\"0,0,16,16\" xlabel=\"22\" txt=\"禁用\" check=\"true\" enable=\"false\"/>"
    "<UIRadioBox id=\"r0\" group=\"g\" pos=\"380,70,80,24\" ckimg=\"ck.png\" unckimg=\"unck.png\" "
    "rcbox=\"0,0,16,16\" xlabel=\"22\" txt=\"每天\" check=\"true\"/>"
    "<UIRadioBox id=\"r1\" group=\"g\" pos=\"470,70,80,24\" ckimg=\"ck.png\" unckimg=\"unck.png\" "
    "rcbox=\"0,0,16,16\" xlabel=\"22\" txt=\"一次\"/>"
    "<UISwitch id=\"s0\" pos=\"20,110,48,24\" btn=\"off.png\" btn2=\"on.png\"/>"
    "<UISwitch id=\"s1\" pos=\"80,110,48,24\" btn=\"off.png\" btn2=\"on.png\"/>"
    "<UISwitch id=\"s2\" pos=\"140,110,48,24\" btn=\"off.png\" btn2=\"on.png\" enable=\"false\"/>"
    "<UILink id=\"lnk\" pos=\"220,110,120,24\" txt=\"访问官方网站\" clr=\"#ff2b7bd6\" "
    "font=\"15u\"/>"
    "<UIProgress id=\"p0\" pos=\"20,160,180,8\" value=\"0\"/>"
    "<UIProgress id=\"p1\" pos=\"220,160,180,8\" value=\"40\"/>"
    "<UIProgress id=\"p2\" pos=\"420,160,180,8\" value=\"100\"/>"
    "<UISlider id=\"sl0\" pos=\"20,190,180,20\" sliderbg=\"track.png\" sliderfg=\"fill.png\" "
    "thumb=\"thumb.png\" value=\"0\"/>"
    "<UISlider id=\"sl1\" pos=\"220,190,180,20\" sliderbg=\"track.png\" sliderfg=\"fill.png\" "
    "thumb=\"thumb.png\" value=\"60\"/>"
    "<UISlider id=\"sl2\" pos=\"420,190,180,20\" sliderbg=\"track.png\" sliderfg=\"fill.png\" "
    "thumb=\"thumb.png\" value=\"100\"/>"
    "<UILabel id=\"l0\" pos=\"20,230,200,24\" txt=\"Quelm定时任务 左对齐\" font=\"15\" "
    "clr=\"#ff60656f\"/>"
    "<UILabel id=\"l1\" pos=\"230,230,200,24\" txt=\"居中 粗体\" font=\"16b\" horz=\"1\" "
    "clr=\"#ff60656f\" back=\"clr:clr=#fff0f0f0\"/>"
    "<UILabel id=\"l2\" pos=\"440,230,200,24\" keyword=\"true\" horz=\"2\"/>"
    "<UILabel id=\"l3\" pos=\"20,270,200,24\" txt=\"边距超出 看不见\" xstart=\"150\" xend=\"150\" "
    "back=\"clr:clr=#fff0f0f0\"/>"
    "<UILabel id=\"l4\" pos=\"230,270,200,24\" keyword=\"true\" back=\"clr:clr=#fff0f0f0\"/>"
    "<UIImage id=\"img\" pos=\"440,266,32,32\" back=\"pic.png\"/>"
    "<UIGif id=\"gif\" pos=\"490,266,32,32\" gif=\"1|2|f%d.png\"/>"
    "</UIWnd>";

void AddImages(TestSkin& skin) {
  skin.AddImage(L"btn.png", StripPng({0xFF2B7BD6, 0xFF4A94E6, 0xFF1F5FA8, 0xFFB8C0CC}, 90, 30));
  skin.AddImage(L"ck.png", StripPng({0xFF2BA245, 0xFF3CB956, 0xFF1E7A33, 0xFFB0D8B8}, 16, 16));
  skin.AddImage(L"unck.png", StripPng({0xFFD0D4DA, 0xFFB0B8C4, 0xFF909AA8, 0xFFEEEEEE}, 16, 16));
  skin.AddImage(L"off.png", StripPng({0xFFC8CCD2, 0xFFB8BCC2, 0xFFA8ACB2, 0xFFE4E6E8}, 48, 24));
  skin.AddImage(L"on.png", StripPng({0xFF2BA245, 0xFF3CB956, 0xFF1E7A33, 0xFFB0D8B8}, 48, 24));
  skin.AddImage(L"track.png", StripPng({0xFFDDDDDD}, 10, 4));
  skin.AddImage(L"fill.png", StripPng({0xFF2B7BD6}, 10, 4));
  skin.AddImage(L"thumb.png", StripPng({0xFF60656F, 0xFF2B7BD6, 0xFF1F5FA8, 0xFFCCCCCC}, 12, 18));
  skin.AddImage(L"pic.png", StripPng({0xFFF0A030, 0xFF30A0F0}, 16, 32));
  skin.AddImage(L"f1.png", StripPng({0xFFE04040}, 24, 24));
}

TEST(UIShowcaseTest, EveryControlShowsInEachLook) {
  TestSkin skin;
  AddImages(skin);
  ControlTestHost host(skin, kShowcase);
  host.Find(L"b1")->SendMessage(WM_MOUSEHOVER);
  host.Find(L"r1")->SendMessage(WM_MOUSEHOVER);
  host.Find(L"s1")->SendMessage(WM_MOUSEHOVER);
  dynamic_cast<UISwitch*>(host.Find(L"s1"))->SetOn(true);
  const std::wstring font = L"15", grey = L"#ff60656f";
  host.Find(L"l2")->SetAttribute(L"txt", BuildKeywordMarkup(L"将在 {关机} 后执行", font, grey));
  host.Find(L"l4")->SetAttribute(L"txt", BuildKeywordMarkup(L"坏的 {a<b} 标记", font, grey));

  const uint32_t white = 0xFFFFFFFF, panel = 0xFFF0F0F0;
  // The button looks are four different frames of one strip.
  std::vector<uint32_t> looks;
  for (const wchar_t* id : {L"b0", L"b1", L"b2", L"b3"}) {
    POINT p = host.Centre(id);
    looks.push_back(host.Pixel(p.x - 40, p.y));
  }
  EXPECT_EQ(looks, (std::vector<uint32_t>{0xFF2B7BD6, 0xFF4A94E6, 0xFF1F5FA8, 0xFFB8C0CC}));
  for (const wchar_t* id : {L"c0", L"c1", L"k0", L"k1", L"k2", L"r0", L"r1", L"s0", L"s1", L"s2",
                            L"lnk", L"p0", L"sl0", L"l0", L"l2", L"img", L"gif"})
    EXPECT_TRUE(host.AreaDiffers(id, white)) << std::wstring(id).size();
  EXPECT_FALSE(host.AreaDiffers(L"l3", panel));
  EXPECT_FALSE(host.AreaDiffers(L"l4", panel));

  if (ShowcaseSeconds()) {
    ShowWindow(host.hwnd(), SW_SHOWNOACTIVATE);
    SetWindowPos(host.hwnd(), HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    HoldForShowcase();
  }
}

}  // namespace
