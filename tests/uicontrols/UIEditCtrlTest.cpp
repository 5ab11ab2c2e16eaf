#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UIEditCtrl.h"

namespace {

const char kEdits[] =
    "<UIWnd pos=\"0,0,320,240\" back=\"clr:clr=#ffffffff\">"
    "<UIEditCtrl id=\"one\" pos=\"10,10,200,30\" hint=\"请输入\" clrhint=\"0xFFFF0000\"/>"
    "<UIEditCtrl id=\"multi\" pos=\"10,50,200,60\" "
    "editstyle=\"ES_MULTILINE|ES_WANTRETURN|ES_LEFT\"/>"
    "<UIEditCtrl id=\"other\" pos=\"10,120,200,30\" txt=\"预设\"/>"
    "<UIEditCtrl id=\"off\" pos=\"10,160,200,30\" enable=\"false\"/>"
    "</UIWnd>";

// Modifier keys as GetKeyState reports them to the edit while the scope lives.
class HeldKeys {
 public:
  HeldKeys(bool shift, bool ctrl) {
    GetKeyboardState(saved_);
    BYTE state[256];
    memcpy(state, saved_, sizeof(state));
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
  }
  ~HeldKeys() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256];
};

struct EditHost {
  TestSkin skin;
  ControlTestHost host{skin, kEdits};

  UIEditCtrl* Edit(const wchar_t* id) { return host.FindAs<UIEditCtrl>(id); }
  void Focus(const wchar_t* id) { host.SetFocusControl(Edit(id)->GetHandle()); }
  void Type(const std::wstring& text) {
    for (wchar_t c : text)
      ::SendMessageW(host.hwnd(), WM_CHAR, c, 1);
  }
  void Key(WPARAM key, bool shift = false, bool ctrl = false) {
    HeldKeys held(shift, ctrl);
    ::SendMessageW(host.hwnd(), WM_KEYDOWN, key, 1);
  }
  std::pair<int, int> Sel(const wchar_t* id) {
    DWORD start = 0, end = 0;
    Edit(id)->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                          reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
  }
  // Pixels of the control's area that `accept` takes.
  template <class Accept>
  int Pixels(const wchar_t* id, Accept accept) {
    host.PaintNow();
    RECT r = Edit(id)->WindowRect();
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x)
        count += accept(host.BackBufferPixelForTesting(x, y)) ? 1 : 0;
    }
    return count;
  }
  // Clearly the hint's red.
  int RedPixels(const wchar_t* id) {
    return Pixels(id,
                  [](uint32_t p) { return ((p >> 16) & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) < 0x80; });
  }
  // Clearly the selection's blue.
  int BluePixels(const wchar_t* id) {
    return Pixels(id, [](uint32_t p) { return (p & 0xFF) > 0xE0 && ((p >> 16) & 0xFF) < 0x60; });
  }
  // The painted pixels of the control's area, row by row.
  std::vector<uint32_t> Picture(const wchar_t* id) {
    host.PaintNow();
    RECT r = Edit(id)->WindowRect();
    std::vector<uint32_t> pixels;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x)
        pixels.push_back(host.BackBufferPixelForTesting(x, y));
    }
    return pixels;
  }
  POINT NativeCaret() {
    POINT p = {-1, -1};
    GetCaretPos(&p);
    return p;
  }
};

TEST(UIEditCtrlTest, TypingAndBackspaceEditTheBaseTextAndNotify) {
  EditHost h;
  UIEditCtrl* edit = h.Edit(L"one");
  h.Focus(L"one");
  h.host.events.clear();
  h.Type(L"ab中文");
  EXPECT_EQ(edit->GetText(), L"ab中文");
  h.Type(L"\b");
  EXPECT_EQ(edit->GetText(), L"ab中");
  ASSERT_EQ(h.host.events.size(), 5u);
  EXPECT_EQ(h.host.events.back().name, "edit_notify");
  EXPECT_EQ(h.host.events.back().param1, EN_CHANGE);
  // The base text API writes the buffer too: the caret goes to the start.
  edit->SetText(L"xyz");
  h.Type(L"1");
  EXPECT_EQ(edit->GetText(), L"1xyz");
  EXPECT_EQ(edit->SendMessage(WM_GETTEXTLENGTH), 4);
}

TEST(UIEditCtrlTest, KeysEditLikeTheSystemEdit) {
  struct Step {
    WPARAM key;  // a key down, or 0 for the characters
    bool shift;
    bool ctrl;
    const wchar_t* chars;
  };
  struct Case {
    const char* name;
    const wchar_t* id;
    const wchar_t* style;  // null keeps the layout's
    const wchar_t* text;
    std::vector<Step> steps;
    const wchar_t* expected;
    int selStart, selEnd;
  };
  const Case cases[] = {
      {"return ignored in single line", L"one", nullptr, L"ab", {{0, 0, 0, L"\r"}}, L"ab", 0, 0},
      {"return breaks the line with ES_WANTRETURN",
       L"multi",
       nullptr,
       L"ab",
       {{VK_END, 0, 1, nullptr}, {0, 0, 0, L"\rc"}},
       L"ab\r\nc",
       5,
       5},
      {"return ignored in multi-line without ES_WANTRETURN",
       L"multi",
       L"ES_MULTILINE",
       L"ab",
       {{0, 0, 0, L"\r"}},
       L"ab",
       0,
       0},
      {"shift+end selects, typing replaces",
       L"one",
       nullptr,
       L"hello",
       {{VK_RIGHT, 0, 0, nullptr}, {VK_END, 1, 0, nullptr}, {0, 0, 0, L"i"}},
       L"hi",
       2,
       2},
      {"shift+left selects backwards",
       L"one",
       nullptr,
       L"hello",
       {{VK_END, 0, 0, nullptr}, {VK_LEFT, 1, 0, nullptr}, {VK_LEFT, 1, 0, nullptr}},
       L"hello",
       3,
       5},
      {"ctrl+left jumps words",
       L"one",
       nullptr,
       L"one two three",
       {{VK_END, 0, 0, nullptr}, {VK_LEFT, 0, 1, nullptr}, {VK_LEFT, 1, 1, nullptr}},
       L"one two three",
       4,
       8},
      {"ctrl+right jumps words",
       L"one",
       nullptr,
       L"one two",
       {{VK_RIGHT, 0, 1, nullptr}, {0, 0, 0, L"X"}},
       L"one Xtwo",
       5,
       5},
      {"delete removes after the caret",
       L"one",
       nullptr,
       L"abc",
       {{VK_RIGHT, 0, 0, nullptr}, {VK_DELETE, 0, 0, nullptr}},
       L"ac",
       1,
       1},
      {"backspace at the start does nothing",
       L"one",
       nullptr,
       L"abc",
       {{0, 0, 0, L"\b"}},
       L"abc",
       0,
       0},
      {"ctrl+a selects all", L"one", nullptr, L"abc", {{0, 0, 0, L"\x01"}}, L"abc", 0, 3},
      {"undo takes back the typing",
       L"one",
       nullptr,
       L"ab",
       {{VK_END, 0, 0, nullptr}, {0, 0, 0, L"cde\x1a"}},
       L"ab",
       2,
       2},
      {"undo twice redoes",
       L"one",
       nullptr,
       L"ab",
       {{VK_END, 0, 0, nullptr}, {0, 0, 0, L"cd\x1a\x1a"}},
       L"abcd",
       2,
       4},
      {"undo restores deleted text",
       L"one",
       nullptr,
       L"abc",
       {{VK_END, 0, 0, nullptr}, {0, 0, 0, L"\b\b\x1a"}},
       L"abc",
       1,
       3},
      {"read-only refuses typing", L"one", L"ES_READONLY", L"ab", {{0, 0, 0, L"x\b"}}, L"ab", 0, 0},
      {"number style refuses letters", L"one", L"ES_NUMBER", L"", {{0, 0, 0, L"1a2"}}, L"12", 2, 2},
      {"tab is left to focus moves", L"multi", nullptr, L"", {{0, 0, 0, L"\t"}}, L"", 0, 0},
      {"lowercase style", L"one", L"ES_LOWERCASE", L"", {{0, 0, 0, L"AB"}}, L"ab", 2, 2},
      {"shift+delete cuts, shift+insert pastes",
       L"one",
       nullptr,
       L"abc",
       {{VK_END, 1, 0, nullptr},
        {VK_DELETE, 1, 0, nullptr},
        {VK_INSERT, 1, 0, nullptr},
        {VK_INSERT, 1, 0, nullptr}},
       L"abcabc",
       6,
       6},
      {"uppercase style", L"one", L"ES_UPPERCASE", L"", {{0, 0, 0, L"ab"}}, L"AB", 2, 2},
      {"down keeps the column",
       L"multi",
       nullptr,
       L"abc\r\nabc",
       {{VK_RIGHT, 0, 0, nullptr}, {VK_RIGHT, 0, 0, nullptr}, {VK_DOWN, 0, 0, nullptr}},
       L"abc\r\nabc",
       7,
       7},
      {"right steps over a line break",
       L"multi",
       nullptr,
       L"a\r\nb",
       {{VK_RIGHT, 0, 0, nullptr}, {VK_RIGHT, 0, 0, nullptr}},
       L"a\r\nb",
       3,
       3},
      {"backspace removes a whole line break",
       L"multi",
       nullptr,
       L"a\r\nb",
       {{VK_END, 0, 1, nullptr}, {VK_LEFT, 0, 0, nullptr}, {0, 0, 0, L"\b"}},
       L"ab",
       1,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditHost h;
    UIEditCtrl* edit = h.Edit(c.id);
    if (c.style)
      edit->SetAttribute(L"editstyle", c.style);
    edit->SetText(c.text);
    h.Focus(c.id);
    for (const Step& s : c.steps) {
      if (s.key)
        h.Key(s.key, s.shift, s.ctrl);
      else
        h.Type(s.chars);
    }
    EXPECT_EQ(edit->GetText(), c.expected);
    EXPECT_EQ(h.Sel(c.id), std::make_pair(c.selStart, c.selEnd));
  }
}

TEST(UIEditCtrlTest, ClipboardRoundTrip) {
  EditHost h;
  UIEditCtrl* edit = h.Edit(L"one");
  edit->SetText(L"复制me");
  h.Focus(L"one");
  h.Key(VK_END, true);  // select all of it
  h.Type(L"\x03");      // Ctrl+C
  h.Key(VK_END);
  h.Type(L"\x16");  // Ctrl+V
  EXPECT_EQ(edit->GetText(), L"复制me复制me");
  edit->SendMessage(EM_SETSEL, 0, 2);
  edit->SendMessage(WM_CUT);
  EXPECT_EQ(edit->GetText(), L"me复制me");
  h.Focus(L"other");
  h.Edit(L"other")->SendMessage(WM_PASTE);
  EXPECT_EQ(h.Edit(L"other")->GetText(), L"复制预设");
  // A password edit never gives its text away.
  edit->SetAttribute(L"editstyle", L"ES_PASSWORD");
  edit->SetText(L"secret");
  edit->SendMessage(EM_SETSEL, 0, -1);
  edit->SendMessage(WM_COPY);
  h.Edit(L"other")->SendMessage(WM_PASTE);
  EXPECT_EQ(h.Edit(L"other")->GetText(), L"复制复制预设");
}

TEST(UIEditCtrlTest, HintShownOnlyWhileEmptyAndUnfocused) {
  EditHost h;
  UIEditCtrl* edit = h.Edit(L"one");
  EXPECT_GT(h.RedPixels(L"one"), 10);
  h.Focus(L"one");
  EXPECT_EQ(h.RedPixels(L"one"), 0) << "focused";
  h.Type(L"x");
  h.Focus(L"other");
  EXPECT_EQ(h.RedPixels(L"one"), 0) << "holds text";
  edit->SetText(L"");
  EXPECT_GT(h.RedPixels(L"one"), 10);
}

TEST(UIEditCtrlTest, EditStyleFlagsReplaceTheStyleWord) {
  EditHost h;
  UIEditCtrl* multi = h.Edit(L"multi");
  EXPECT_EQ(multi->GetStyle(), static_cast<DWORD>(ES_MULTILINE | ES_WANTRETURN));
  multi->SetAttribute(L"editstyle", L"ES_CENTER ES_READONLY junk");
  EXPECT_EQ(multi->GetStyle(), static_cast<DWORD>(ES_CENTER | ES_READONLY));
}

TEST(UIEditCtrlTest, EditMessagesAnswerLikeTheSystemEdit) {
  EditHost h;
  UIEditCtrl* multi = h.Edit(L"multi");
  multi->SetText(L"first\r\nsecond line\r\n");
  EXPECT_EQ(multi->SendMessage(EM_GETLINECOUNT), 3);
  EXPECT_EQ(multi->SendMessage(EM_LINEINDEX, 1), 7);
  EXPECT_EQ(multi->SendMessage(EM_LINEINDEX, 3), -1);
  EXPECT_EQ(multi->SendMessage(EM_LINELENGTH, 8), 11);
  EXPECT_EQ(multi->SendMessage(EM_LINEFROMCHAR, 20), 2);
  wchar_t line[8] = {6};  // the first WORD holds the room
  EXPECT_EQ(multi->SendMessage(EM_GETLINE, 1, reinterpret_cast<LPARAM>(line)), 6);
  EXPECT_EQ(std::wstring(line, 6), L"second");
  wchar_t head[4] = {};
  EXPECT_EQ(multi->SendMessage(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(head)), 3);
  EXPECT_STREQ(head, L"fir");
  LRESULT second = multi->SendMessage(EM_POSFROMCHAR, 9);
  LRESULT hit = multi->SendMessage(EM_CHARFROMPOS, 0, second);
  EXPECT_EQ(LOWORD(hit), 9);
  EXPECT_EQ(HIWORD(hit), 1);
  multi->SendMessage(EM_SETSEL, 7, 13);
  multi->SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"2nd"));
  EXPECT_EQ(multi->GetText(), L"first\r\n2nd line\r\n");
  EXPECT_TRUE(multi->SendMessage(EM_CANUNDO));
  multi->SendMessage(EM_UNDO);
  EXPECT_EQ(multi->GetText(), L"first\r\nsecond line\r\n");
  // A replacement that cannot be undone empties the undo buffer.
  multi->SendMessage(EM_SETSEL, 0, -1);
  multi->SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"x"));
  EXPECT_FALSE(multi->SendMessage(EM_CANUNDO));
  EXPECT_FALSE(multi->SendMessage(EM_UNDO));
  EXPECT_EQ(multi->GetText(), L"x");

  UIEditCtrl* one = h.Edit(L"one");
  h.Focus(L"one");
  one->SendMessage(EM_LIMITTEXT, 3);
  h.host.events.clear();
  h.Type(L"abcd");
  EXPECT_EQ(one->GetText(), L"abc");
  EXPECT_EQ(h.host.events.back().param1, EN_MAXTEXT);
  one->SendMessage(EM_SETREADONLY, TRUE);
  h.Type(L"\b");
  EXPECT_EQ(one->GetText(), L"abc");
  one->SendMessage(EM_SETREADONLY, FALSE);
  one->SendMessage(EM_SETPASSWORDCHAR, L'*');
  EXPECT_TRUE(one->GetStyle() & ES_PASSWORD);
  EXPECT_EQ(one->SendMessage(EM_GETPASSWORDCHAR), L'*');
  one->SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(12, 3));
  EXPECT_EQ(one->SendMessage(EM_GETMARGINS), MAKELRESULT(12, 3));
  EXPECT_EQ(LOWORD(one->SendMessage(EM_POSFROMCHAR, 0)), 12);
}

TEST(UIEditCtrlTest, MouseSelectsAndDoubleClickSelectsAWord) {
  EditHost h;
  UIEditCtrl* edit = h.Edit(L"one");
  edit->SetText(L"hello world");
  RECT r = edit->WindowRect();
  int y = (r.top + r.bottom) / 2;
  int end = LOWORD(edit->SendMessage(EM_POSFROMCHAR, 11)) + r.left;
  h.host.Send(WM_MOUSEMOVE, r.left + 1, y);
  h.host.Send(WM_LBUTTONDOWN, r.left + 1, y, MK_LBUTTON);
  EXPECT_EQ(h.host.GetFocusControl(), edit) << "a press focuses the edit";
  h.host.Send(WM_MOUSEMOVE, end + 20, y, MK_LBUTTON);
  h.host.Send(WM_LBUTTONUP, end + 20, y);
  EXPECT_EQ(h.Sel(L"one"), std::make_pair(0, 11));
  int w = LOWORD(edit->SendMessage(EM_POSFROMCHAR, 8)) + r.left;
  h.host.Send(WM_LBUTTONDBLCLK, w, y, MK_LBUTTON);
  EXPECT_EQ(h.Sel(L"one"), std::make_pair(6, 11));
}

TEST(UIEditCtrlTest, TextThatDoesNotFitScrollsToTheCaret) {
  EditHost h;
  UIEditCtrl* one = h.Edit(L"one");
  one->SetText(std::wstring(80, L'm'));
  h.Focus(L"one");
  h.Key(VK_END);
  int x = static_cast<short>(LOWORD(one->SendMessage(EM_POSFROMCHAR, 80)));
  EXPECT_GE(x, 0);
  EXPECT_LT(x, one->GetWidth());
  EXPECT_LT(static_cast<short>(LOWORD(one->SendMessage(EM_POSFROMCHAR, 0))), 0);

  UIEditCtrl* multi = h.Edit(L"multi");
  h.Focus(L"multi");
  h.Type(L"1\r2\r3\r4\r5\r6");
  EXPECT_GT(multi->SendMessage(EM_GETFIRSTVISIBLELINE), 0);
  int caretY = HIWORD(multi->SendMessage(EM_POSFROMCHAR, multi->GetText().size()));
  EXPECT_LT(caretY, multi->GetHeight());
  // Long words wrap in a multi-line edit without ES_AUTOHSCROLL.
  multi->SetText(L"word word word word word word word word word word");
  EXPECT_GT(multi->SendMessage(EM_GETLINECOUNT), 1);
}

TEST(UIEditCtrlTest, ImeCharactersAreTyped) {
  EditHost h;
  h.Focus(L"one");
  ::SendMessageW(h.host.hwnd(), WM_IME_CHAR, L'汉', 1);
  EXPECT_EQ(h.Edit(L"one")->GetText(), L"汉");
}

TEST(UIEditCtrlTest, LayoutTextCaretAndDisabledEdit) {
  EditHost h;
  UIEditCtrl* other = h.Edit(L"other");
  EXPECT_EQ(other->GetText(), L"预设") << "\"txt\" fills the buffer";
  h.Focus(L"other");
  RECT r = other->WindowRect();
  POINT start = h.NativeCaret();
  EXPECT_EQ(start.x, r.left + 5) << "the host's caret stands at the text's start";
  EXPECT_GE(start.y, r.top);
  h.Key(VK_END);
  POINT end = h.NativeCaret();
  EXPECT_EQ(end.x, r.left + LOWORD(other->SendMessage(EM_POSFROMCHAR, 2)));
  EXPECT_GT(end.x, start.x + 20);
  // A disabled edit takes neither focus nor text.
  POINT off = h.host.Centre(L"off");
  h.host.Click(off.x, off.y);
  EXPECT_NE(h.host.GetFocusControl(), h.Edit(L"off"));
  h.Type(L"z");
  EXPECT_EQ(h.Edit(L"off")->GetText(), L"");
  EXPECT_EQ(other->GetText(), L"预设") << "the press took the focus away";
}

TEST(UIEditCtrlTest, SelectionIsPaintedWhileFocusedOrWithNoHideSel) {
  EditHost h;
  UIEditCtrl* one = h.Edit(L"one");
  one->SetText(L"选中的文字");
  h.Focus(L"one");
  EXPECT_EQ(h.BluePixels(L"one"), 0) << "nothing selected";
  one->SendMessage(EM_SETSEL, 1, 4);
  EXPECT_GT(h.BluePixels(L"one"), 100);
  h.Focus(L"other");
  EXPECT_EQ(h.BluePixels(L"one"), 0) << "hidden without focus";
  std::vector<uint32_t> hidden = h.Picture(L"one");
  one->SetAttribute(L"editstyle", L"ES_NOHIDESEL");
  one->SendMessage(EM_SETSEL, 1, 4);
  EXPECT_NE(h.Picture(L"one"), hidden) << "kept, in its unfocused look";
}

TEST(UIEditCtrlTest, PasswordHidesTheCharacters) {
  EditHost h;
  UIEditCtrl* one = h.Edit(L"one");
  one->SetAttribute(L"editstyle", L"ES_PASSWORD");
  one->SetText(L"iiii");
  std::vector<uint32_t> thin = h.Picture(L"one");
  one->SetText(L"WWWW");
  EXPECT_EQ(h.Picture(L"one"), thin) << "both are four bullets";
  one->SetAttribute(L"editstyle", L"");
  EXPECT_NE(h.Picture(L"one"), thin);
}

TEST(UIEditCtrlTest, AlignmentStylesPlaceTheLine) {
  EditHost h;
  UIEditCtrl* one = h.Edit(L"one");
  const int width = one->GetWidth();
  struct Case {
    const wchar_t* style;
    int start;  // x of the first character, -1 when only the end is fixed
    int end;    // x after the last one, -1 when only the start is fixed
  };
  const Case cases[] = {{L"ES_LEFT", 5, -1}, {L"ES_RIGHT", -1, width - 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.style)));
    one->SetAttribute(L"editstyle", c.style);
    one->SetText(L"对齐");
    int first = LOWORD(one->SendMessage(EM_POSFROMCHAR, 0));
    int last = LOWORD(one->SendMessage(EM_POSFROMCHAR, 2));
    if (c.start >= 0) {
      EXPECT_EQ(first, c.start);
    }
    if (c.end >= 0) {
      EXPECT_NEAR(last, c.end, 1);
    }
  }
  one->SetAttribute(L"editstyle", L"ES_CENTER");
  int first = LOWORD(one->SendMessage(EM_POSFROMCHAR, 0));
  int last = LOWORD(one->SendMessage(EM_POSFROMCHAR, 2));
  EXPECT_NEAR(first - 5, width - 5 - last, 1);
}

TEST(UIEditCtrlTest, WheelAndPageKeysScrollAMultiLineEdit) {
  EditHost h;
  UIEditCtrl* multi = h.Edit(L"multi");
  std::wstring text;
  for (int i = 0; i < 20; ++i)
    text += L"行" + std::to_wstring(i) + L"\r\n";
  multi->SetText(text);
  RECT r = multi->WindowRect();
  POINT screen = {r.left + 10, r.top + 10};
  ClientToScreen(h.host.hwnd(), &screen);
  ::SendMessageW(h.host.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                 MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(multi->SendMessage(EM_GETFIRSTVISIBLELINE), 3);
  h.Focus(L"multi");
  h.Key(VK_NEXT);
  int afterPage = static_cast<int>(multi->SendMessage(EM_LINEFROMCHAR, -1));
  EXPECT_GT(afterPage, 0);
  h.Key(VK_END, false, true);
  EXPECT_EQ(multi->SendMessage(EM_LINEFROMCHAR, -1), 20);
  EXPECT_GT(multi->SendMessage(EM_GETFIRSTVISIBLELINE), 15);
  h.Key(VK_HOME, false, true);
  EXPECT_EQ(multi->SendMessage(EM_GETFIRSTVISIBLELINE), 0);
}

TEST(UIEditCtrlTest, ImeCompositionIsDrawnAtTheCaretAndItsResultTyped) {
  EditHost h;
  UIEditCtrl* one = h.Edit(L"one");
  one->SetText(L"ab");
  h.Focus(L"one");
  h.Key(VK_END);
  std::vector<uint32_t> before = h.Picture(L"one");
  POINT caret = h.NativeCaret();
  // The input context sends the window its composition messages, as an input method does.
  HIMC himc = ImmGetContext(h.host.hwnd());
  ASSERT_TRUE(himc);
  const wchar_t composing[] = L"中文";
  ASSERT_TRUE(ImmSetCompositionStringW(himc, SCS_SETSTR, const_cast<wchar_t*>(composing),
                                       2 * sizeof(wchar_t), nullptr, 0));
  EXPECT_NE(h.Picture(L"one"), before) << "the composition is drawn";
  EXPECT_GT(h.NativeCaret().x, caret.x) << "the caret follows the composition";
  EXPECT_EQ(one->GetText(), L"ab") << "composition is not text yet";
  ImmNotifyIME(himc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
  ImmReleaseContext(h.host.hwnd(), himc);
  EXPECT_EQ(one->GetText(), L"ab中文");
}

}  // namespace

TEST(UIEditCtrlTest, RemovingTheFocusedEditTakesItsCaretAway) {
  EditHost h;
  h.Focus(L"one");
  POINT caret = h.NativeCaret();
  ASSERT_EQ(h.host.Pixel(caret.x, caret.y + 2), 0xFF000000u) << "inverted over white";
  h.Edit(L"one")->Remove();
  EXPECT_EQ(h.host.Pixel(caret.x, caret.y + 2), 0xFFFFFFFFu);
}

TEST(UIEditCtrlTest, PasteReadsNoFurtherThanTheClipboardBlock) {
  EditHost h;
  // Four characters and no terminator, as another program may hand them over; the block shrinks
  // in place, so the bytes behind it are no terminator either.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 64);
  ASSERT_NE(block, nullptr);
  std::fill_n(static_cast<wchar_t*>(GlobalLock(block)), 32, L'x');
  GlobalUnlock(block);
  block = GlobalReAlloc(block, 4 * sizeof(wchar_t), GMEM_MOVEABLE);
  ASSERT_TRUE(OpenClipboard(h.host.hwnd()));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, block);
  // The system terminates text set by this process inside the block: take that back.
  if (auto* text = static_cast<wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)))) {
    std::fill_n(text, 4, L'x');
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
  }
  CloseClipboard();
  h.Focus(L"one");
  h.Edit(L"one")->SendMessage(WM_PASTE);
  EXPECT_EQ(h.Edit(L"one")->GetText(), L"xxxx");
}
