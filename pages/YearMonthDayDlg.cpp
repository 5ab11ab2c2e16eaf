#include "pages/YearMonthDayDlg.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "ui/controls/UIButton.h"
#include "ui/controls/UIScrollVertView.h"
#include "ui/core/UIBuilder.h"

namespace {

constexpr int kScrollBarWidth = 4;
// The year list opens near the present (entry 123 is 2023) before the date is applied.
constexpr int kInitialYearEntry = 123;

UIButton* NewListButton(const wchar_t* idFormat, const wchar_t* textFormat, int value) {
  auto* button = new UIButton;
  if (UIControlCreatedHook hook = GetControlCreatedHook())
    hook(button);
  wchar_t text[32];
  button->SetAttribute(L"horz", L"1");
  button->SetAttribute(L"font", L"14");
  button->SetAttribute(L"clr", L"#ff60656f");
  swprintf(text, 32, idFormat, value);
  button->SetAttribute(L"id", text);
  button->SetAttribute(L"back", L"clr:clr1=#5fc7dae9|clr2=#ffc7dae9");
  swprintf(text, 32, textFormat, value);
  button->SetText(text);
  button->SetPos(0, 0, 80, 26);
  return button;
}

// The number after `prefix` in `id`, or false when `id` does not start with it.
bool NumberAfter(const std::wstring& id, const wchar_t* prefix, int* number) {
  size_t length = wcslen(prefix);
  if (id.compare(0, length, prefix) != 0)
    return false;
  *number = _wtoi(id.c_str() + length);
  return true;
}

void SelectOnly(UIControl* list, UIControl* chosen) {
  for (UIControl* row : list->GetChildren())
    row->SetAttribute(L"select", row == chosen ? L"1" : L"0");
}

}  // namespace

YearMonthDayDlg::YearMonthDayDlg(const std::wstring& layoutPath) : UIHostWnd(layoutPath) {
  date_.wYear = 2000;
  date_.wMonth = 1;
  date_.wDay = 1;
}

int YearMonthDayDlg::DaysInMonth(int year, int month) {
  switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
      return 31;
    case 4: case 6: case 9: case 11:
      return 30;
    case 2:
      return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
    default:
      return 30;
  }
}

void YearMonthDayDlg::SetInitialDate(int year, int month, int day) {
  date_.wYear = static_cast<WORD>(std::clamp(year, kFirstYear, kLastYear));
  date_.wMonth = static_cast<WORD>(std::clamp(month, 1, 12));
  date_.wDay = static_cast<WORD>(std::clamp(day, 1, DaysInMonth(date_.wYear, date_.wMonth)));
}

void YearMonthDayDlg::PlaceAt(const RECT& anchor) {
  if (!hwnd())
    return;
  RECT r;
  GetWindowRect(hwnd(), &r);
  const int height = r.bottom - r.top;
  MONITORINFO monitor = {sizeof(monitor)};
  GetMonitorInfoW(MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  int y = anchor.bottom;
  if (y + height > work.bottom && anchor.top - height >= work.top)
    y = anchor.top - height;
  SetWindowPos(hwnd(), nullptr, anchor.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepWindowInsideWorkArea(hwnd());
}

void YearMonthDayDlg::OnInitialized() {
  years_ = dynamic_cast<UIScrollVertView*>(GetRoot()->FindById(L"idyear"));
  days_ = dynamic_cast<UIScrollVertView*>(GetRoot()->FindById(L"idday"));
  if (years_) {
    years_->SetAttribute(L"hscrollwidth", std::to_wstring(kScrollBarWidth));
    for (int year = kFirstYear; year <= kLastYear; ++year)
      years_->AddRow(NewListButton(L"idyear_%d", L"%d年", year));
    years_->Relayout();
    years_->EnsureVisible(kInitialYearEntry);
  }
  if (days_)
    days_->SetAttribute(L"hscrollwidth", std::to_wstring(kScrollBarWidth));
  SetDate(date_.wYear, date_.wMonth, date_.wDay);
}

void YearMonthDayDlg::RebuildDays(int count) {
  if (days_->RowCount() != count) {
    days_->RemoveAllRows();
    for (int day = 1; day <= count; ++day)
      days_->AddRow(NewListButton(L"idday_%d", L"%d日", day));
  }
  days_->Relayout();
}

void YearMonthDayDlg::SetDate(int year, int month, int day) {
  // Values may come from a hand-edited task file: keep every index inside its list.
  year = std::clamp(year, kFirstYear, kLastYear);
  month = std::clamp(month, 1, 12);
  int count = DaysInMonth(year, month);
  day = std::clamp(day, 1, count);
  date_.wYear = static_cast<WORD>(year);
  date_.wMonth = static_cast<WORD>(month);
  date_.wDay = static_cast<WORD>(day);

  UIControl* root = GetRoot();
  if (UIControl* title = root->FindById(L"idtitle")) {
    wchar_t text[32];
    swprintf(text, 32, L"%d/%02d/%02d", year, month, day);
    title->SetText(text);
  }
  if (days_) {
    RebuildDays(count);
    SelectOnly(days_->content(), days_->Row(day - 1));
    days_->EnsureVisible(day - 1);
  }
  if (years_) {
    SelectOnly(years_->content(), years_->Row(year - kFirstYear));
    years_->Relayout();
    years_->EnsureVisible(year - kFirstYear);
  }
  wchar_t monthId[16];
  for (int m = 1; m <= 12; ++m) {
    swprintf(monthId, 16, L"idmonth_%d", m);
    if (UIControl* button = root->FindById(monthId))
      button->SetAttribute(L"select", m == month ? L"1" : L"0");
  }
}

int YearMonthDayDlg::OnEvent(UIEvent& event) {
  if (event.name == "selectday" || event.id == L"btn_today")
    return 1;
  int number = 0;
  if (event.name == "click") {
    if (NumberAfter(event.id, L"idyear_", &number)) {
      SetDate(number, date_.wMonth, date_.wDay);
      return 1;
    }
    if (NumberAfter(event.id, L"idday_", &number)) {
      SetDate(date_.wYear, date_.wMonth, number);
      return 1;
    }
    if (NumberAfter(event.id, L"idmonth_", &number)) {
      SetDate(date_.wYear, number, date_.wDay);
      return 1;
    }
  }
  if (event.id == L"btn_ok") {
    if (dismissed_)
      return 1;  // already on its way out
    confirmed_ = true;
    dismissed_ = true;  // closing takes the focus away; that is not a dismissal
    if (callback_)
      callback_(date_, context_);
    Close();
    return 1;
  }
  return 0;
}

void YearMonthDayDlg::Dismiss() {
  if (dismissed_)
    return;
  dismissed_ = true;
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

bool YearMonthDayDlg::HandleMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                    LRESULT* result) {
  if (message == WM_KILLFOCUS) {
    UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
    Dismiss();
    return true;
  }
  return UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
}

void YearMonthDayDlg::OnFinalMessage(HWND hwnd) {
  delete this;
}
