#pragma once

#include <windows.h>

#include <string>

#include "ui/core/UIHostWnd.h"

class UIScrollVertView;

// The date picker: a small non-modal pop-up with a year list (1900 to 2100), twelve month
// buttons and the day list of the chosen month. Only "btn_ok" hands the date back, through the
// callback; the first loss of the keyboard focus dismisses the picker without calling it (by a
// posted close, so the window never goes in the middle of the focus change).
//
// UI thread only. The object owns itself once its window exists: it deletes itself after the
// window is destroyed, so the opener keeps no pointer after showing it. A dialog whose window
// was never created is deleted by its creator.
class YearMonthDayDlg : public UIHostWnd {
 public:
  static constexpr int kFirstYear = 1900;
  static constexpr int kLastYear = 2100;

  using Callback = void (*)(const SYSTEMTIME& date, void* context);

  explicit YearMonthDayDlg(const std::wstring& layoutPath = L"xml\\selectdaydlg.xml");

  // Before the window is created: the date to show (clamped then) and the callback.
  void SetInitialDate(int year, int month, int day);
  void SetCallback(Callback callback, void* context) {
    callback_ = callback;
    context_ = context;
  }

  // Once the window exists: puts it right under `anchor` (screen coordinates), or right above it
  // when the work area of the anchor's monitor has no room below, and inside that work area.
  void PlaceAt(const RECT& anchor);

  // Shows the date, the year clamped to the list, the month to 1..12 and the day to the month.
  void SetDate(int year, int month, int day);
  const SYSTEMTIME& date() const { return date_; }
  bool confirmed() const { return confirmed_; }

  // 28 to 31; 30 for a month outside 1..12.
  static int DaysInMonth(int year, int month);

  // UIHostWnd:
  void OnInitialized() override;
  SIZE GetMinSize() const override { return {0, 0}; }
  int OnEvent(UIEvent& event) override;
  bool HandleMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                     LRESULT* result) override;
  void OnFinalMessage(HWND hwnd) override;

 private:
  void RebuildDays(int count);
  void Dismiss();

  UIScrollVertView* years_ = nullptr;
  UIScrollVertView* days_ = nullptr;
  SYSTEMTIME date_ = {};
  bool confirmed_ = false;
  bool dismissed_ = false;
  Callback callback_ = nullptr;
  void* context_ = nullptr;
};
