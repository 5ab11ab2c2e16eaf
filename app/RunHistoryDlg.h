#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/UIHostWnd.h"

class HistoryList;
class UIScrollVertView;
struct HistoryEvent;

// The window "运行记录" of the main menu: the events of the installed run history, newest first,
// under the header "时间", "任务", "结果", growing while it is open as events are recorded; and
// "清空记录", which empties the history after the user confirmed it. Not modal, and one at a
// time: asking for it while it is open brings the open one to the front.
//
// UI thread only. Created by Show and deleted with its window. Without an installed history it
// lists nothing and clears nothing.
class RunHistoryDlg : public UIHostWnd {
 public:
  // The open window, or a new one owned by `owner` (may be null) and centred; null when the
  // window could not be made.
  static RunHistoryDlg* Show(HWND owner);
  // The open window, or null.
  static RunHistoryDlg* Current();

  HistoryList* list() const { return list_; }

  // UIHostWnd:
  void OnInitialized() override;
  int OnEvent(UIEvent& event) override;
  void OnFinalMessage(HWND hwnd) override;

 private:
  RunHistoryDlg();
  ~RunHistoryDlg() override;

  static void OnRecorded(const HistoryEvent& event, uint64_t sequence, void* context);
  // Reads the whole history again.
  void Reload();
  void ConfirmAndClear();
  // Lays the rows out again and shows their number.
  void RowsChanged();

  UIScrollVertView* view_ = nullptr;  // owned by the tree
  HistoryList* list_ = nullptr;       // owned by the tree
  uint64_t shown_ = 0;                // sequence of the newest event listed
};
