#include "popups/TaskPopupWindows.h"

#include "popups/CleanTmpDlg.h"
#include "popups/RemindTips.h"
#include "popups/ShutdownTips.h"
#include "tasks/AppContext.h"
#include "tasks/RunHistory.h"
#include "tasks/TaskManager.h"

HWND TaskPopupWindows::Owner() const {
  HWND owner = owner_ ? owner_() : nullptr;
  return owner && IsWindow(owner) ? owner : nullptr;
}

void TaskPopupWindows::ShowShutdownConfirm(const IQuelmTask& task) {
  ShutdownTips::Open(task, Owner());
}

void TaskPopupWindows::ShowReminder(const IQuelmTask& task) {
  RemindTips::Open(task, Owner());
}

void TaskPopupWindows::StartCleaning() {
  CleanTmpDlg::Start(Owner());
}

void PostponeTask(const IQuelmTask& task) {
  TaskManager* manager = CurrentApp().taskManager;
  const bool postponed = manager && manager->Postpone(task.guid);
  RecordRun(task, postponed ? kRunPostponed : kRunCancelled);
}
