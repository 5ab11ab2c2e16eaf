#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pages/TimeComBo.h"
#include "pages/YearMonthDayDlg.h"
#include "tests/pages/PagesTest.h"
#include "tests/support/PumpUntil.h"
#include "ui/controls/UIScrollVertView.h"
#include "ui/core/UIHostWnd.h"

namespace {

struct Picked {
  int calls = 0;
  SYSTEMTIME date = {};
};

void OnPicked(const SYSTEMTIME& date, void* context) {
  auto* picked = static_cast<Picked*>(context);
  ++picked->calls;
  picked->date = date;
}

class PickersTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    AddLayout(L"xml\\test.xml",
              "<UIWnd pos=\"0,0,300,120\" back=\"clr:clr=#ffffffff\">"
              "<TimeComBo id=\"idtime\" pos=\"10,10,130,26\"/>"
              "<UILabel id=\"label\" pos=\"10,50,50,20\" font=\"20\"/>"
              "<UIButton id=\"button\" pos=\"70,50,50,20\"/>"
              "<UICheckBox id=\"check\" pos=\"130,50,50,20\" clr=\"#ff000000\"/>"
              "<UIControl id=\"plain\" pos=\"190,50,50,20\"/>"
              "</UIWnd>");
    page_ = std::make_unique<LayoutHost>(L"xml\\test.xml", WS_POPUP | WS_VISIBLE);
  }
  void TearDown() override {
    page_.reset();
    PagesTest::TearDown();
  }

  // A picker owned by the page, shown without taking the focus.
  YearMonthDayDlg* OpenPicker(int year, int month, int day, Picked* picked) {
    auto* dlg = new YearMonthDayDlg;
    dlg->SetInitialDate(year, month, day);
    dlg->SetCallback(&OnPicked, picked);
    if (!dlg->Create(page_->hwnd(), WS_POPUP, WS_EX_LAYERED, 40, 40, 100, 100)) {
      delete dlg;
      return nullptr;
    }
    ShowWindow(dlg->hwnd(), SW_SHOWNA);
    return dlg;
  }

  static void Click(YearMonthDayDlg* dlg, const std::wstring& id) {
    UIControl* control = dlg->GetRoot()->FindById(id);
    ASSERT_NE(control, nullptr) << std::string(id.begin(), id.end());
    RECT r = control->WindowRect();
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    HWND hwnd = dlg->hwnd();
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
  }

  static std::wstring Title(YearMonthDayDlg* dlg) {
    return dlg->GetRoot()->FindById(L"idtitle")->GetText();
  }

  // Ids of the selected buttons of a list.
  static std::vector<std::wstring> Selected(UIControl* list) {
    std::vector<std::wstring> ids;
    for (UIControl* row : list->GetChildren()) {
      if (row->IsSelected())
        ids.push_back(row->GetId());
    }
    return ids;
  }

  std::unique_ptr<LayoutHost> page_;
};

TEST_F(PickersTest, TimePickerSharesItsWidthAmongTheListsInBothForms) {
  auto* time = dynamic_cast<TimeComBo*>(page_->Find(L"idtime"));
  ASSERT_NE(time, nullptr);
  auto widths = [&] {
    std::vector<int> w;
    for (UIControl* child : time->GetChildren())
      w.push_back(child->GetWidth());
    return w;
  };
  EXPECT_EQ(widths(), (std::vector<int>{40, 5, 40, 5, 40}));
  EXPECT_EQ(time->minutes()->GetRect().left, 45);
  EXPECT_EQ(time->seconds()->GetRect().left, 90);

  time->SetPos(10, 10, 190, 26);
  time->SetDurationForm(true);
  EXPECT_EQ(widths(), (std::vector<int>{53, 15, 53, 15, 53}));
  EXPECT_EQ(time->GetChildren()[1]->GetText(), L"时");
  EXPECT_EQ(time->GetChildren()[3]->GetText(), L"分");
  EXPECT_EQ(time->seconds()->GetRect().left, 136);
  for (UIControl* child : time->GetChildren())
    EXPECT_EQ(child->GetHeight(), 26);

  time->SetDurationForm(false);
  EXPECT_EQ(widths(), (std::vector<int>{60, 5, 60, 5, 60}));
}

TEST_F(PickersTest, TimePickerSelectsNothingForAnOutOfRangeValue) {
  auto* time = dynamic_cast<TimeComBo*>(page_->Find(L"idtime"));
  ASSERT_NE(time, nullptr);
  EXPECT_EQ(time->hours()->GetText(), L"00");
  time->SetTime(99, 7, 60);
  EXPECT_EQ(time->hours()->GetSelected(), -1);
  EXPECT_EQ(time->hours()->GetText(), L"");
  EXPECT_EQ(time->minutes()->GetSelected(), 7);
  EXPECT_EQ(time->minutes()->GetText(), L"07");
  EXPECT_EQ(time->seconds()->GetSelected(), -1);
  time->SetTime(23, -1, 59);
  EXPECT_EQ(time->hours()->GetText(), L"23");
  EXPECT_EQ(time->minutes()->GetSelected(), -1);
  EXPECT_EQ(time->seconds()->GetText(), L"59");
}

TEST_F(PickersTest, DefaultsApplyBeforeTheElementsOwnAttributes) {
  struct Case {
    const wchar_t* id;
    const wchar_t* name;
    const wchar_t* value;
  } cases[] = {
      {L"label", L"clr", L"#ff60656f"},
      {L"label", L"font", L"20"},
      {L"button", L"cursor", L"hand"},
      {L"check", L"ckimg", L"img\\btn\\btn_checkbox2.png"},
      {L"check", L"clr", L"#ff000000"},
      {L"plain", L"cursor", L""},
  };
  for (const Case& c : cases) {
    UIControl* control = page_->Find(c.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->GetAttribute(c.name), c.value) << c.id[0] << " " << c.name[0];
  }
  // The picker's lists are made by code and still take the combo box look.
  auto* time = dynamic_cast<TimeComBo*>(page_->Find(L"idtime"));
  EXPECT_EQ(time->hours()->GetAttribute(L"back"), L"img\\btn\\cb_back.png");
  EXPECT_EQ(time->hours()->GetAttribute(L"font"), L"14");
}

TEST_F(PickersTest, FebruaryFollowsTheLeapYearRule) {
  struct Case {
    int year;
    int days;
  } cases[] = {{2024, 29}, {2023, 28}, {1900, 28}, {2000, 29}};
  for (const Case& c : cases) {
    Picked picked;
    YearMonthDayDlg* dlg = OpenPicker(c.year, 1, 31, &picked);
    ASSERT_NE(dlg, nullptr);
    auto* days = dynamic_cast<UIScrollVertView*>(dlg->GetRoot()->FindById(L"idday"));
    ASSERT_NE(days, nullptr);
    EXPECT_EQ(days->RowCount(), 31);
    Click(dlg, L"idmonth_2");
    wchar_t title[32];
    swprintf(title, 32, L"%d/02/%02d", c.year, c.days);
    EXPECT_EQ(Title(dlg), title);
    EXPECT_EQ(days->RowCount(), c.days);
    EXPECT_EQ(Selected(days->content()),
              std::vector<std::wstring>{L"idday_" + std::to_wstring(c.days)});
    auto* years = dynamic_cast<UIScrollVertView*>(dlg->GetRoot()->FindById(L"idyear"));
    EXPECT_EQ(Selected(years->content()),
              std::vector<std::wstring>{L"idyear_" + std::to_wstring(c.year)});
    EXPECT_TRUE(dlg->GetRoot()->FindById(L"idmonth_2")->IsSelected());
    EXPECT_FALSE(dlg->GetRoot()->FindById(L"idmonth_1")->IsSelected());
    // The chosen day's row lies inside the visible part of the list.
    RECT row = days->Row(c.days - 1)->ScreenRect();
    RECT view = days->ScreenRect();
    EXPECT_GE(row.top, view.top);
    EXPECT_LE(row.bottom, view.bottom);
    EXPECT_EQ(picked.calls, 0);
    dlg->Close();
  }
}

TEST_F(PickersTest, DatePickerClampsAHandEditedDate) {
  struct Case {
    int year, month, day;
    const wchar_t* title;
  } cases[] = {
      {2150, 0, 0, L"2100/01/01"},
      {1800, 13, 40, L"1900/12/31"},
      {2023, 2, 30, L"2023/02/28"},
  };
  for (const Case& c : cases) {
    Picked picked;
    YearMonthDayDlg* dlg = OpenPicker(c.year, c.month, c.day, &picked);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Title(dlg), c.title);
    auto* years = dynamic_cast<UIScrollVertView*>(dlg->GetRoot()->FindById(L"idyear"));
    EXPECT_EQ(years->RowCount(), 201);
    EXPECT_EQ(Selected(years->content()).size(), 1u);
    dlg->SetDate(c.year, c.month, c.day);
    EXPECT_EQ(Title(dlg), c.title);
    dlg->Close();
  }
}

TEST_F(PickersTest, LosingTheFocusClosesThePickerWithoutCallingBack) {
  Picked picked;
  YearMonthDayDlg* dlg = OpenPicker(2024, 5, 17, &picked);
  ASSERT_NE(dlg, nullptr);
  HWND hwnd = dlg->hwnd();
  SetFocus(hwnd);
  ASSERT_EQ(GetFocus(), hwnd);
  // The list opens scrolled to the 17th: the 21st is in view, the 3rd is not.
  Click(dlg, L"idday_21");
  EXPECT_EQ(Title(dlg), L"2024/05/21");
  // A click elsewhere moves the focus to the page; the picker goes by a posted close, never in
  // the middle of the focus change.
  SetFocus(page_->hwnd());
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
  EXPECT_EQ(picked.calls, 0);
}

TEST_F(PickersTest, ConfirmPassesTheShownDate) {
  Picked picked;
  YearMonthDayDlg* dlg = OpenPicker(2024, 1, 31, &picked);
  ASSERT_NE(dlg, nullptr);
  HWND hwnd = dlg->hwnd();
  SetFocus(hwnd);
  Click(dlg, L"idmonth_2");
  Click(dlg, L"idday_20");
  ASSERT_EQ(Title(dlg), L"2024/02/20");
  Click(dlg, L"btn_ok");
  EXPECT_FALSE(IsWindow(hwnd));
  ASSERT_EQ(picked.calls, 1);
  EXPECT_EQ(picked.date.wYear, 2024);
  EXPECT_EQ(picked.date.wMonth, 2);
  EXPECT_EQ(picked.date.wDay, 20);
}

}  // namespace
