#include "pages/PageList.h"

#include <vector>

#include "pages/ListCtrlItem.h"
#include "pages/PageAdd.h"
#include "tasks/TaskManager.h"
#include "ui/controls/AppMessage.h"
#include "ui/controls/UIScrollVertView.h"
#include "ui/core/UIBuilder.h"

namespace {

const wchar_t kRowLayout[] = L"xml\\taskitem.xml";
const wchar_t kSwitchOn[] = L"img\\btn\\btn_switch2.png";
const wchar_t kSwitchOff[] = L"img\\btn\\btn_switch1.png";
const wchar_t kDarkText[] = L"#ff303030";
const wchar_t kGreyText[] = L"#ff909090";

}  // namespace

PageList::PageList() {
  SetEventSink(true);
}

PageList::~PageList() {
  StopObserving();
}

void PageList::Start(TaskManager* manager) {
  if (manager_)
    return;
  taskListView_ = dynamic_cast<UIScrollVertView*>(FindById(L"idTasklist"));
  if (manager && taskListView_) {
    std::vector<IQuelmTask*> tasks = manager->TakeSnapshot();
    for (IQuelmTask* task : tasks)
      AddRow(task);
    for (IQuelmTask* task : tasks)
      task->Release();
  }
  if (taskListView_)
    taskListView_->Relayout();
  if (manager) {
    manager->AddObserver(this);
    manager_ = manager;
  }
  SetTimer(kStatusTimer, kStatusPeriodMs);
}

void PageList::StopObserving() {
  if (manager_)
    manager_->RemoveObserver(this);
  manager_ = nullptr;
}

ListCtrlItem* PageList::AddRow(IQuelmTask* task) {
  if (!task || !taskListView_)
    return nullptr;
  EnsureControlFactory();
  UIBuilder builder(GetHost());
  UIControl* built = builder.BuildFromFile(nullptr, kRowLayout);
  auto* row = dynamic_cast<ListCtrlItem*>(built);
  if (!row) {
    if (built)
      built->Release();
    return nullptr;
  }
  row->SetAttribute(L"id", task->guid);
  row->set_task(task);
  taskListView_->AddRow(row);
  // Tracked from the start, so that a pointer landing straight on a label still counts as
  // being over the row.
  if (IUIContainer* host = row->GetHost())
    host->AddTracking(row->GetHandle());
  FillRow(row, *task);
  return row;
}

void PageList::FillRow(ListCtrlItem* row, const IQuelmTask& task) {
  if (!row)
    return;
  const bool paused = task.paused;
  const struct {
    const wchar_t* id;
    std::wstring text;
  } labels[] = {
      {L"iditem_timetitle", task.ModeTitle()},    {L"iditem_time", task.TimeText()},
      {L"iditem_actiontitle", task.ActionVerb()}, {L"iditem_action", task.ActionObjectText()},
      {L"iditem_runtime", task.StatusText()},
  };
  for (const auto& label : labels) {
    if (UIControl* control = row->FindById(label.id)) {
      control->SetText(label.text);
      control->SetAttribute(L"clr", paused ? kGreyText : kDarkText);
    }
  }
  if (UIControl* toggle = row->FindById(L"iditem_status"))
    toggle->SetAttribute(L"btn", paused ? kSwitchOff : kSwitchOn);
  row->Invalidate();
}

ListCtrlItem* PageList::FindRowByGuid(const std::wstring& guid) const {
  if (!taskListView_)
    return nullptr;
  for (int i = 0; i < taskListView_->RowCount(); ++i) {
    UIControl* row = taskListView_->Row(i);
    if (row->GetId() == guid)
      return dynamic_cast<ListCtrlItem*>(row);
  }
  return nullptr;
}

ListCtrlItem* PageList::FindRowOf(IQuelmTask* task) const {
  if (!taskListView_ || !task)
    return nullptr;
  // Two tasks could share a GUID only through a hand-made file; the row must never outlive
  // the very task it points to.
  for (int i = 0; i < taskListView_->RowCount(); ++i) {
    auto* row = dynamic_cast<ListCtrlItem*>(taskListView_->Row(i));
    if (row && row->task() == task)
      return row;
  }
  return FindRowByGuid(task->guid);
}

void PageList::RefreshStatus() {
  if (!taskListView_)
    return;
  for (int i = 0; i < taskListView_->RowCount(); ++i) {
    auto* row = dynamic_cast<ListCtrlItem*>(taskListView_->Row(i));
    if (!row || !row->task() || !row->status_label())
      continue;
    std::wstring status = row->task()->StatusText();
    if (row->status_label()->GetText() != status)
      row->status_label()->SetText(status);
  }
}

void PageList::OnMessage(UIMessage& message) {
  if (message.message == WM_TIMER && message.wparam == kStatusTimer) {
    RefreshStatus();
    message.result = 0;
    return;
  }
  if (message.message == WM_DESTROY) {
    // The rows go with the children; nothing may reach them afterwards.
    StopObserving();
    KillTimer(kStatusTimer);
    taskListView_ = nullptr;
  }
  UIControl::OnMessage(message);
}

bool PageList::OnChildEvent(UIEvent& event) {
  if (event.name != "click")
    return false;
  const std::wstring& id = event.id;
  if (id != L"iditem_play" && id != L"iditem_status" && id != L"iditem_edit" &&
      id != L"iditem_delete")
    return false;
  UIControl* row = RowOfControl(event.sender);
  IQuelmTask* task = row && manager_ ? manager_->FindTask(row->GetId()) : nullptr;
  if (!task)
    return true;
  if (id == L"iditem_play")
    manager_->RunNow(task);
  else if (id == L"iditem_status")
    manager_->SetPaused(task);
  else if (id == L"iditem_edit")
    EditTask(*task);
  else
    ConfirmAndDelete(task->guid);
  return true;
}

void PageList::EditTask(const IQuelmTask& task) {
  if (!addPage_)
    return;
  addPage_->editTask.CopyFrom(task);
  addPage_->SetModifying(true);
  addPage_->Refresh();
}

void PageList::ConfirmAndDelete(const std::wstring& guid) {
  // The box runs a message loop; the page must survive whatever that loop delivers.
  UIRef<UIControl> keep(this);
  std::wstring target = guid;
  HWND owner = GetHost() ? GetHost()->GetHwnd() : nullptr;
  if (ShowAppMessage(owner, L"确定要删除此项吗？", L"取消|删除", MessageIcon::Information) != 2)
    return;
  if (manager_)
    manager_->DeleteTask(target);
}

void PageList::OnTaskAdded(IQuelmTask* task) {
  AddRow(task);
  if (taskListView_)
    taskListView_->Relayout();
}

void PageList::OnTaskModified(IQuelmTask* task) {
  if (ListCtrlItem* row = FindRowOf(task))
    FillRow(row, *task);
}

void PageList::OnTaskRemoved(IQuelmTask* task) {
  if (!taskListView_)
    return;
  ListCtrlItem* row = FindRowOf(task);
  if (row && row->GetParent() == taskListView_->content())
    taskListView_->RemoveRow(row);
  taskListView_->Relayout();
}

namespace {

UIControl* NewPageList() {
  return new PageList;
}

UIControl* NewListCtrlItem() {
  return new ListCtrlItem;
}

}  // namespace

void RegisterPageList() {
  RegisterControlClass(L"PageList", &NewPageList);
  RegisterControlClass(L"ListCtrlItem", &NewListCtrlItem);
}
