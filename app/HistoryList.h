#pragma once

#include <vector>

#include "tasks/RunHistory.h"
#include "ui/core/UIControl.h"

class UIRenderText;

// The rows of the run history as cards in the look of the task list, three columns that match
// the history window's header: time, task (mode title, verb and object) and result, failures
// and skips in red. Its height is that of all its rows, so it is the one row of a scroll view;
// only the rows inside the clip are painted, which keeps a full history as quick to show as
// a screenful. UI thread only.
class HistoryList : public UIControl {
 public:
  static constexpr int kRowHeight = 40;

  HistoryList();
  ~HistoryList() override;

  // `events` newest first.
  void SetEvents(std::vector<HistoryEvent> events);
  void AddNewest(const HistoryEvent& event);
  const std::vector<HistoryEvent>& events() const { return events_; }

  // UIControl:
  const char* GetClassName() const override { return "HistoryList"; }
  SIZE GetDesiredSize() const override;
  void Paint(Gdiplus::Graphics& graphics) override;

 private:
  void PaintRow(Gdiplus::Graphics& graphics, const HistoryEvent& event, int top);

  std::vector<HistoryEvent> events_;
  UIRenderText* text_;   // owned
  UIRenderText* alert_;  // owned; red, for failures and skips
};
