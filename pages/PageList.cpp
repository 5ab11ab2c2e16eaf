#include "pages/PageList.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "pages/ListCtrlItem.h"
#include "pages/PageAdd.h"
#include "tasks/TaskManager.h"
#include "ui/controls/AppMessage.h"
#include "ui/controls/UIScrollBar.h"
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
    for (IQuelmTask* task : manager->TakeSnapshot()) {
      tasks_.emplace_back(task);
      task->Release();
    }
  }
  if (taskListView_) {
    BindRows(true);
    taskListView_->Invalidate();
  }
  if (manager) {
    manager->AddObserver(this);
    manager_ = manager;
  }
  if (shown_)
    SetTimer(kStatusTimer, kStatusPeriodMs);
}

void PageList::SetShown(bool shown) {
  if (shown == shown_)
    return;
  shown_ = shown;
  if (!shown) {
    KillTimer(kStatusTimer);
    return;
  }
  RefreshStatus();
  SetTimer(kStatusTimer, kStatusPeriodMs);
}

void PageList::StopObserving() {
  if (manager_)
    manager_->RemoveObserver(this);
  manager_ = nullptr;
}

ListCtrlItem* PageList::BuildRow() {
  EnsureControlFactory();
  UIBuilder builder(GetHost());
  UIControl* built = builder.BuildFromFile(nullptr, kRowLayout);
  auto* row = dynamic_cast<ListCtrlItem*>(built);
  if (!row) {
    if (built)
      built->Release();
    return nullptr;
  }
  if (rowHeight_ == 0)
    rowHeight_ = std::max(1, static_cast<int>(row->GetDesiredSize().cy));
  // Placed by BindRows, not by the content's column layout.
  row->SetAttribute(L"float", L"true");
  return row;
}

ListCtrlItem* PageList::AddRow(IQuelmTask* task) {
  if (!task || !taskListView_)
    return nullptr;
  tasks_.emplace_back(task);
  BindRows(true);
  return FindRowOf(task);
}

void PageList::BindRows(bool arrange) {
  if (!taskListView_)
    return;
  const int count = static_cast<int>(tasks_.size());
  std::vector<ListCtrlItem*> spare;
  if (rowHeight_ == 0 && count > 0) {
    if (ListCtrlItem* row = BuildRow())
      spare.push_back(row);
  }
  const int height = rowHeight_;
  if (arrange) {
    const int64_t extent = int64_t{count} * height;
    taskListView_->SetRowsExtent(static_cast<int>(std::min<int64_t>(extent, INT_MAX)));
    taskListView_->Arrange();
  }
  int first = 0;
  int end = 0;
  if (height > 0) {
    first = std::min(count, taskListView_->GetPosition() / height);
    // A page whose top falls inside a row shows one row more than it holds whole.
    const int pool = (taskListView_->PageHeight() + height - 1) / height + 1;
    end = static_cast<int>(std::min<int64_t>(count, int64_t{first} + pool));
  }

  // Rows that keep their task stay as they are; the others are bound again or go.
  std::vector<ListCtrlItem*> bound(static_cast<size_t>(end - first), nullptr);
  UIControl* content = taskListView_->content();
  for (UIControl* child : std::vector<UIControl*>(content->GetChildren())) {
    auto* row = dynamic_cast<ListCtrlItem*>(child);
    if (!row)
      continue;
    int at = -1;
    for (int i = first; i < end && at < 0; ++i) {
      if (tasks_[i].get() == row->task() && !bound[i - first])
        at = i;
    }
    if (at >= 0)
      bound[at - first] = row;
    else
      spare.push_back(row);
  }
  size_t nextSpare = 0;
  for (int i = first; i < end; ++i) {
    ListCtrlItem*& row = bound[i - first];
    if (row)
      continue;
    IQuelmTask* task = tasks_[i].get();
    if (nextSpare < spare.size()) {
      row = spare[nextSpare++];
    } else if ((row = BuildRow()) == nullptr) {
      break;
    }
    if (!row->GetParent())
      taskListView_->AddRow(row);
    row->DropHover();
    row->SetAttribute(L"id", task->guid);
    row->set_task(task);
    // Tracked from the start, so that a pointer landing straight on a label still counts as
    // being over the row.
    if (IUIContainer* host = row->GetHost())
      host->AddTracking(row->GetHandle());
    FillRow(row, *task);
  }
  for (size_t i = nextSpare; i < spare.size(); ++i) {
    if (spare[i]->GetParent())
      spare[i]->Remove();
    else
      spare[i]->Release();
  }
  const int width = content->GetWidth();
  for (int i = first; i < end; ++i) {
    if (ListCtrlItem* row = bound[i - first])
      row->SetPos(0, i * height, width, height);
  }
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
  // Rows stand in the content in the order they were built, not in list order.
  ListCtrlItem* found = nullptr;
  int foundAt = INT_MAX;
  for (int i = 0; i < taskListView_->RowCount(); ++i) {
    auto* row = dynamic_cast<ListCtrlItem*>(taskListView_->Row(i));
    if (row && row->task() && row->GetId() == guid && row->GetRect().top < foundAt) {
      found = row;
      foundAt = row->GetRect().top;
    }
  }
  return found;
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

int PageList::IndexOf(IQuelmTask* task) const {
  if (!task)
    return -1;
  for (size_t i = 0; i < tasks_.size(); ++i) {
    if (tasks_[i].get() == task)
      return static_cast<int>(i);
  }
  for (size_t i = 0; i < tasks_.size(); ++i) {
    if (tasks_[i]->guid == task->guid)
      return static_cast<int>(i);
  }
  return -1;
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
  // Only once the rows that pointed at them are gone.
  if (message.message == WM_DESTROY)
    tasks_.clear();
}

bool PageList::OnChildEvent(UIEvent& event) {
  if (event.name == "scollposchanged" && taskListView_ &&
      event.sender == taskListView_->scroll_bar()) {
    BindRows(false);
    return false;
  }
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
    taskListView_->Invalidate();
}

void PageList::OnTaskModified(IQuelmTask* task) {
  if (ListCtrlItem* row = FindRowOf(task))
    FillRow(row, *task);
}

void PageList::OnTaskRemoved(IQuelmTask* task) {
  if (!taskListView_)
    return;
  const int index = IndexOf(task);
  if (index >= 0) {
    // Held until the rows have let go of it.
    TaskRef removed = std::move(tasks_[index]);
    tasks_.erase(tasks_.begin() + index);
    BindRows(true);
  }
  taskListView_->Invalidate();
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
