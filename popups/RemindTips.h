#pragma once

#include "tasks/IQuelmTask.h"
#include "ui/core/UIHostWnd.h"

class TaskManager;

// The reminder of a remind task: its name as title and its first object text below, until the
// user closes it or has it come back in ten minutes ("idpostpone"). Being shown is written to
// the run history. Not modal; several may be open at once.
//
// UI thread only. Keeps its own copy of the task. Created with `new` and Open; the object
// deletes itself when its window is gone.
class RemindTips : public UIHostWnd {
 public:
  explicit RemindTips(const IQuelmTask& task);

  // Creates the window owned by `owner` (may be null) and centres it; "idpostpone" asks
  // `postponer` (may be null). On failure the object is deleted and null answered.
  static RemindTips* Open(const IQuelmTask& task, HWND owner, TaskManager* postponer = nullptr);

  // UIHostWnd:
  void OnInitialized() override;
  int OnEvent(UIEvent& event) override;
  void OnFinalMessage(HWND hwnd) override;

 private:
  ~RemindTips() override = default;

  IQuelmTask task_;
  TaskManager* postponer_ = nullptr;
};
