#pragma once

#include <windows.h>

#include "tasks/TaskPopups.h"

// The engine's popups as real windows: the confirmation countdown, the reminder and the
// cleaning dialog, each owned by the window `owner()` answers when it opens (null: none), so
// that they follow the main window once it exists. UI thread only; the windows free themselves.
class TaskPopupWindows : public TaskPopups {
 public:
  using OwnerFn = HWND (*)();

  explicit TaskPopupWindows(OwnerFn owner = nullptr) : owner_(owner) {}

  void ShowShutdownConfirm(const IQuelmTask& task) override;
  void ShowReminder(const IQuelmTask& task) override;
  void StartCleaning() override;

 private:
  HWND Owner() const;

  OwnerFn owner_;
};

// A popup's "put off" button: asks the task manager of the application context to bring the
// window of `task` back later and records the postponement; a task no longer listed cannot
// come back, so that counts as cancelled. The caller closes its window.
void PostponeTask(const IQuelmTask& task);
