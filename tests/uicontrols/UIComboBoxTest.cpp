#include <gtest/gtest.h>

#include "tests/uicontrols/ControlTestHost.h"
#include "ui/controls/UIComboBox.h"
#include "ui/controls/UIListControls.h"
#include "ui/controls/UIScrollVertView.h"

namespace {

std::string ComboLayout(int items) {
  std::string data;
  for (int i = 0; i < items; ++i)
    data += (i ? "|" : "") + std::string("item") + std::to_string(i);
  return "<UIWnd pos=\"0,0,300,200\" back=\"clr:clr=#ffffffff\">"
         "<UIComboBox id=\"cb\" pos=\"10,10,120,26\"" +
         (items ? " data=\"" + data + "\"" : std::string()) + "/></UIWnd>";
}

struct ComboHost {
  TestSkin skin;
  std::unique_ptr<ControlTestHost> host;
  UIComboBox* combo = nullptr;

  explicit ComboHost(int items) {
    RegisterListControls();
    host.reset(new ControlTestHost(skin, ComboLayout(items)));
    combo = host->FindAs<UIComboBox>(L"cb");
  }
  HWND Open() {
    host->Click(60, 20);
    return combo->drop_list() ? combo->drop_list()->hwnd() : nullptr;
  }
  RECT ListRect() {
    RECT r = {};
    GetWindowRect(combo->drop_list()->hwnd(), &r);
    return r;
  }
  // A click on a row, in the list window's coordinates (view at 2, rows from 1 inside it).
  void ClickRow(int index) {
    HWND list = combo->drop_list()->hwnd();
    LPARAM at = MAKELPARAM(30, 3 + 28 * index + 14);
    SendMessageW(list, WM_MOUSEMOVE, 0, at);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
  }
  bool ListOpen() { return combo->drop_list() && combo->drop_list()->IsOpen(); }
};

TEST(UIComboBoxTest, DropListHeightFollowsItemCountBelowTheField) {
  struct Case {
    int items, height;
  };
  for (const Case& c : {Case{16, 230}, Case{3, 90}, Case{0, 34}}) {
    SCOPED_TRACE(c.items);
    ComboHost h(c.items);
    ASSERT_NE(h.combo, nullptr);
    ASSERT_NE(h.Open(), nullptr);
    EXPECT_TRUE(h.ListOpen());
    RECT r = h.ListRect();
    RECT field = h.combo->ScreenRect();
    EXPECT_EQ(r.bottom - r.top, c.height);
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(r.left, field.left);
    EXPECT_EQ(r.top, field.bottom);
    EXPECT_EQ(h.combo->drop_list()->view()->RowCount(), c.items);
    EXPECT_EQ(h.combo->GetText(), c.items ? L"item0" : L"");
  }
}

TEST(UIComboBoxTest, OpensUpwardsNearTheBottomOfTheWorkArea) {
  ComboHost h(16);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(h.host->hwnd(), nullptr, 0, work.bottom - 60, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  h.Open();
  RECT r = h.ListRect();
  EXPECT_EQ(r.bottom, h.combo->ScreenRect().top);
  EXPECT_EQ(r.bottom - r.top, 230);
}

// Each case opens a list of its own: under Wine without a window manager, hiding a list shown a
// second time waits two seconds for the manager.
TEST(UIComboBoxTest, OnlyAChangedChoiceFiresAndClosesTheList) {
  {
    ComboHost h(3);
    h.Open();
    h.ClickRow(0);  // already selected
    EXPECT_FALSE(h.ListOpen());
    EXPECT_TRUE(h.host->events.empty());
    EXPECT_EQ(h.combo->GetSelected(), 0);
  }
  ComboHost h(3);
  h.Open();
  h.ClickRow(2);
  EXPECT_FALSE(h.ListOpen());
  EXPECT_EQ(h.host->EventNames(), std::vector<std::string>{"comboselectchanged"});
  EXPECT_EQ(h.host->events[0].id, L"cb");
  EXPECT_EQ(h.combo->GetSelected(), 2);
  EXPECT_EQ(h.combo->GetText(), L"item2");
}

TEST(UIComboBoxTest, KeyboardMovesHighlightChoosesAndCloses) {
  struct Case {
    int start;
    std::vector<WPARAM> keys;
    int selected;
    size_t events;
  };
  const Case cases[] = {
      {0, {VK_DOWN, VK_ESCAPE}, 0, 0},                       // Escape closes without choosing
      {0, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 2, 1},     // stops at the last row
      {2, {VK_UP, VK_UP, VK_UP, VK_DOWN, VK_RETURN}, 1, 1},  // and at the first
      {1, {VK_RETURN}, 1, 0},  // the highlight starts on the selection
  };
  for (const Case& c : cases) {
    ComboHost h(3);
    h.combo->SetSelected(c.start);
    HWND list = h.Open();
    ASSERT_TRUE(h.ListOpen());
    for (WPARAM key : c.keys)
      SendMessageW(list, WM_KEYDOWN, key, 0);
    EXPECT_FALSE(h.ListOpen());
    EXPECT_EQ(h.combo->GetSelected(), c.selected);
    EXPECT_EQ(h.host->events.size(), c.events);
  }
}

TEST(UIComboBoxTest, WheelScrollsAndPressOutsideClosesTheDropList) {
  ComboHost h(16);
  HWND list = h.Open();
  EXPECT_EQ(GetCapture(), list);
  SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), MAKELPARAM(-1000, -1000));
  EXPECT_EQ(h.combo->drop_list()->view()->GetPosition(), 30);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, -20));  // on the field
  h.host->Send(WM_LBUTTONUP, 60, 20);  // the release lands on the field, uncaptured
  EXPECT_FALSE(h.ListOpen());
  EXPECT_NE(GetCapture(), list);
  EXPECT_TRUE(h.host->events.empty());
}

TEST(UIComboBoxTest, DataAppendsAndOutOfRangeSelectionEmptiesTheField) {
  ComboHost h(0);
  h.combo->SetAttribute(L"data", L"a|b");
  h.combo->SetSelected(1);
  h.combo->SetAttribute(L"data", L"c");
  ASSERT_EQ(h.combo->GetItemCount(), 3);
  EXPECT_EQ(h.combo->GetItem(2), L"c");
  EXPECT_EQ(h.combo->GetSelected(), 0);
  EXPECT_EQ(h.combo->GetText(), L"a");

  for (int index : {3, 40, -1, -7}) {
    SCOPED_TRACE(index);
    h.combo->SetSelected(1);
    h.combo->SetSelected(index);
    EXPECT_EQ(h.combo->GetSelected(), -1);
    EXPECT_EQ(h.combo->GetText(), L"");
  }
  h.Open();  // paints the rows: none shown selected, none read past the items
  EXPECT_EQ(h.combo->drop_list()->GetHighlight(), -1);
}

}  // namespace

namespace {

// Refuses to create any window of the thread, the drop list's included.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wparam, LPARAM lparam) {
  return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

TEST(UIComboBoxTest, ComboRemovedByItsOwnChoiceTakesItsListWithIt) {
  ComboHost h(3);
  h.host->onEvent = [](UIEvent& event) {
    if (event.name == "comboselectchanged")
      event.sender->Remove();
  };
  HWND list = h.Open();
  h.ClickRow(2);
  EXPECT_EQ(h.host->Find(L"cb"), nullptr);
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(h.host->EventNames(), std::vector<std::string>{"comboselectchanged"});
}

TEST(UIComboBoxTest, ListOpensAgainAfterAltF4ItsDestructionOrAFailedCreation) {
  enum class End { kCloseRequest, kDestroyed, kCreationFails };
  for (End end : {End::kCloseRequest, End::kDestroyed, End::kCreationFails}) {
    SCOPED_TRACE(static_cast<int>(end));
    ComboHost h(3);
    HHOOK hook = nullptr;
    if (end == End::kCreationFails)
      hook = SetWindowsHookExW(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
    HWND first = h.Open();
    if (end == End::kCloseRequest)
      SendMessageW(first, WM_CLOSE, 0, 0);
    else if (end == End::kDestroyed)
      DestroyWindow(first);
    else
      UnhookWindowsHookEx(hook);
    EXPECT_FALSE(h.ListOpen());
    h.combo->SetAttribute(L"hscrollwidth", L"6");  // reaches the list's view only when it exists
    if (end == End::kCloseRequest) {
      // Only hidden, as by Escape (showing it again would wait for a window manager, see above).
      EXPECT_TRUE(IsWindow(first));
      continue;
    }
    ASSERT_NE(h.Open(), nullptr);
    EXPECT_TRUE(h.ListOpen());
    h.ClickRow(2);
    EXPECT_EQ(h.combo->GetText(), L"item2");
  }
}
