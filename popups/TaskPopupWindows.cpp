#include "popups/TaskPopupWindows.h"

#include "popups/CleanTmpDlg.h"
#include "popups/RemindTips.h"
#include "popups/ShutdownTips.h"

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
