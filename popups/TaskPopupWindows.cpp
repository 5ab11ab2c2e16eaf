#include "popups/TaskPopupWindows.h"

#include "popups/CleanTmpDlg.h"
#include "popups/RemindTips.h"
#include "popups/ShutdownTips.h"
#include "tasks/RunHistory.h"
#include "tasks/TaskManager.h"

HWND TaskPopupWindows::Owner() const {
  HWND owner = owner_ ? owner_() : nullptr;
  return owner && IsWindow(owner) ? owner : nullptr;
}

void TaskPopupWindows::ShowShutdownConfirm(const IQuelmTask& task) {
  ShutdownTips::Open(task, Owner(), manager_);
}

void TaskPopupWindows::ShowReminder(const IQuelmTask& task) {
  RemindTips::Open(task, Owner(), manager_);
}

void TaskPopupWindows::StartCleaning() {
  CleanTmpDlg::Start(Owner());
}

void PostponeTask(TaskManager* manager, const IQuelmTask& task) {
  const bool postponed = manager && manager->Postpone(task.guid);
  RecordRun(task, postponed ? kRunPostponed : kRunCancelled);
}
