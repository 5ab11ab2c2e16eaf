#pragma once

#include <windows.h>

#include "tasks/TaskPopups.h"

class TaskManager;

// The engine's popups as real windows: the confirmation countdown, the reminder and the
// cleaning dialog, each owned by the window `owner()` answers when it opens (null: none), so
// that they follow the main window once it exists. Their "put off" buttons ask `manager` (may be
// null: nothing comes back), which must outlive every window opened here. UI thread only; the
// windows free themselves.
class TaskPopupWindows : public TaskPopups {
 public:
  using OwnerFn = HWND (*)();

  explicit TaskPopupWindows(OwnerFn owner = nullptr, TaskManager* manager = nullptr)
      : owner_(owner), manager_(manager) {}

  void ShowShutdownConfirm(const IQuelmTask& task) override;
  void ShowReminder(const IQuelmTask& task) override;
  void StartCleaning() override;

 private:
  HWND Owner() const;

  OwnerFn owner_;
  TaskManager* manager_;
};

// A popup's "put off" button: asks `manager` to bring the window of `task` back later and
// records the postponement; a task no longer listed (or no manager) cannot come back, so that
// counts as cancelled. The caller closes its window.
void PostponeTask(TaskManager* manager, const IQuelmTask& task);
