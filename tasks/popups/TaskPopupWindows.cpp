#include "tasks/popups/TaskPopupWindows.h"

#include "tasks/popups/CleanTmpDlg.h"
#include "tasks/popups/RemindTips.h"
#include "tasks/popups/ShutdownTips.h"

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
