#include <gtest/gtest.h>

#include <string>

#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UIEdit.h"
#include "ui/controls/UINativeEdit.h"

namespace {

const char kNative[] =
    "<UIWnd pos=\"0,0,320,240\" back=\"clr:clr=#ffffffff\">"
    "<UINativeEdit id=\"n\" pos=\"10,10,200,30\"/>"
    "<UINativeEdit id=\"styled\" pos=\"10,50,200,60\" nsmultiline=\"true\" "
    "nsborder=\"1\" font=\"20\"/>"
    "<UIEdit id=\"rich\" pos=\"10,120,200,60\"/>"
    "</UIWnd>";

// Posts a key press to `hwnd` and runs it through the message loop, as a real key is.
void PressKey(HWND hwnd, WPARAM key) {
  PostMessageW(hwnd, WM_KEYDOWN, key, 1);
  PostMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int CountEvents(const ControlTestHost& host, const char* name) {
  int n = 0;
  for (const SeenEvent& e : host.events)
    n += e.name == name ? 1 : 0;
  return n;
}

TEST(UINativeEditTest, RealEditWindowFiresVkreturnOncePerReturn) {
  TestSkin skin;
  ControlTestHost host(skin, kNative);
  auto* edit = host.FindAs<UINativeEdit>(L"n");
  HWND native = edit->GetNativeWindow();
  ASSERT_TRUE(native);
  wchar_t cls[16] = {};
  GetClassNameW(native, cls, 16);
  EXPECT_STREQ(cls, L"Edit") << "the system's edit class";
  RECT r;
  GetWindowRect(native, &r);
  MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right - r.left, 200);
  LOGFONTW lf = {};
  GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(native, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  EXPECT_STREQ(lf.lfFaceName, L"Arial");
  EXPECT_EQ(lf.lfHeight, -16);

  for (int presses = 1; presses <= 2; ++presses) {
    PressKey(native, VK_RETURN);
    EXPECT_EQ(CountEvents(host, "vkreturn"), presses);
  }
  PressKey(native, 'A');
  EXPECT_EQ(CountEvents(host, "vkreturn"), 2) << "other keys fire nothing";
  ::SendMessageW(native, WM_CHAR, L'好', 1);
  EXPECT_EQ(edit->GetText(), L"a好");
  edit->SetText(L"新文本");
  wchar_t text[16] = {};
  GetWindowTextW(native, text, 16);
  EXPECT_STREQ(text, L"新文本");
}

TEST(UINativeEditTest, StyleAttributesAndLifetime) {
  TestSkin skin;
  ControlTestHost host(skin, kNative);
  auto* styled = host.FindAs<UINativeEdit>(L"styled");
  styled->SetText(L"keep");
  HWND native = styled->GetNativeWindow();
  ASSERT_TRUE(native);
  LONG style = GetWindowLongW(native, GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  // The edit class keeps the border to itself; it narrows the text's rectangle.
  RECT framed = {}, plain = {};
  ::SendMessageW(native, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&framed));
  styled->SetAttribute(L"nsborder", L"no");
  ::SendMessageW(styled->GetNativeWindow(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&plain));
  EXPECT_GT(framed.left, plain.left);
  native = styled->GetNativeWindow();
  LOGFONTW lf = {};
  GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(native, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfHeight, -20);

  styled->SetAttribute(L"nsmultiline", L"false");
  styled->SetAttribute(L"nspassword", L"yes");
  HWND again = styled->GetNativeWindow();
  ASSERT_TRUE(IsWindow(again));
  EXPECT_FALSE(GetWindowLongW(again, GWL_STYLE) & ES_MULTILINE);
  EXPECT_NE(::SendMessageW(again, EM_GETPASSWORDCHAR, 0, 0), 0);
  wchar_t text[16] = {};
  GetWindowTextW(again, text, 16);
  EXPECT_STREQ(text, L"keep");

  styled->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(again) || (GetWindowLongW(again, GWL_STYLE) & WS_VISIBLE));
  styled->Remove();
  EXPECT_FALSE(IsWindow(again)) << "the window dies with its control";
}

TEST(UINativeEditTest, RichEditHostEditsAndHonoursReadOnly) {
  TestSkin skin;
  ControlTestHost host(skin, kNative);
  auto* rich = host.FindAs<UIEdit>(L"rich");
  ASSERT_TRUE(rich->HasTextServices());
  rich->SetText(L"富文本");
  host.SetFocusControl(rich->GetHandle());
  rich->SendMessage(WM_KEYDOWN, VK_END, 1);
  ::SendMessageW(host.hwnd(), WM_CHAR, L'x', 1);
  EXPECT_EQ(rich->GetText(), L"富文本x");
  EXPECT_TRUE(host.AreaDiffers(L"rich", 0xFFFFFFFF)) << "the text is painted";
  rich->SetAttribute(L"readonly", L"true");
  ::SendMessageW(host.hwnd(), WM_CHAR, L'y', 1);
  EXPECT_EQ(rich->GetText(), L"富文本x");
}

}  // namespace
