#include "popups/RemindTips.h"

#include "popups/TaskPopupWindows.h"
#include "tasks/RunHistory.h"

RemindTips::RemindTips(const IQuelmTask& task) : UIHostWnd(L"xml\\remindtips.xml"), task_(task) {}

RemindTips* RemindTips::Open(const IQuelmTask& task, HWND owner, TaskManager* postponer) {
  auto* tips = new RemindTips(task);
  tips->postponer_ = postponer;
  if (!tips->CreateCentered(owner)) {
    delete tips;
    return nullptr;
  }
  RecordRun(task, kRunReminded);
  return tips;
}

void RemindTips::OnInitialized() {
  if (UIControl* title = root_.FindById(L"idtitle"))
    title->SetText(task_.name);
  if (UIControl* text = root_.FindById(L"idtips"))
    text->SetText(task_.param1);
}

int RemindTips::OnEvent(UIEvent& event) {
  if (event.id == L"idpostpone") {
    if (event.name == "click") {
      PostponeTask(postponer_, task_);
      Close();
    }
    return 1;
  }
  if (event.id == L"idcancel" || event.id == L"btnclose" || event.id == L"idok") {
    if (event.name == "click")
      Close();
    return 1;
  }
  return UIHostWnd::OnEvent(event);
}

void RemindTips::OnFinalMessage(HWND hwnd) {
  delete this;
}
