#pragma once

#include <string>

#include <vector>

#include "tasks/IQuelmTask.h"
#include "tasks/TaskManagerDel.h"
#include "tasks/TaskRef.h"
#include "ui/core/UIControl.h"

class ListCtrlItem;
class PageAdd;
class TaskManager;
class UIScrollVertView;

// The task list: the manager's tasks, in list order, under the fixed header of the scroll view
// "idTasklist". The page keeps its own list of references to the tasks, in step with the
// manager through the observer calls, and builds ListCtrlItem rows only for the part in view:
// a pool of as many rows as the page can show plus one, bound to tasks as the list scrolls
// and placed where a row per task would stand, so that the scroll bar spans the whole list.
// A task out of view has no row. A row keeps its task while it stays in view; a row that is
// bound to another task loses the pointer's hover. Once a second (timer index 103 on the host
// window, stopped while the window is hidden) the status labels of the bound rows are
// refreshed, each only when its text differs.
//
// The rows' buttons are handled here (the page is an event sink): run now, switch on/off, edit
// (loads the task into the add page, when there is one) and delete (after the "取消|删除"
// confirmation). A button whose task has left the list meanwhile does nothing.
//
// UI thread only; OnTaskRan, the one call from the scheduler thread, does nothing. The control
// tree owns the rows; the page holds a reference to every task it lists; the manager and the
// add page are borrowed. Without a task manager the page shows the header alone. The page
// stops observing, and drops its tasks, when it is destroyed.
class PageList : public UIControl, public TaskManagerDel {
 public:
  static constexpr int kStatusTimer = 103;
  static constexpr UINT kStatusPeriodMs = 1000;

  PageList();
  ~PageList() override;

  // Lists the tasks of `manager` (may be null), starts observing it and, unless the window is
  // hidden (SetShown), starts the status timer. Called once by the main window after the
  // store is loaded.
  void Start(TaskManager* manager);
  void SetAddPage(PageAdd* addPage) { addPage_ = addPage; }
  // The host window was shown or hidden: a hidden list stops its status timer; shown again it
  // refreshes the statuses at once and starts the timer.
  void SetShown(bool shown);

  // Appends `task` to the list; its row, filled, or null when it is out of view or
  // "xml\taskitem.xml" builds no ListCtrlItem.
  ListCtrlItem* AddRow(IQuelmTask* task);
  // Writes the task's texts, switch image and text colours into the row.
  void FillRow(ListCtrlItem* row, const IQuelmTask& task);
  // The first bound row whose id is `guid`, or null.
  ListCtrlItem* FindRowByGuid(const std::wstring& guid) const;
  // One status refresh of the bound rows, as the timer does it.
  void RefreshStatus();
  // The number of tasks listed, bound to rows or not.
  int TaskCount() const { return static_cast<int>(tasks_.size()); }

  UIScrollVertView* task_list() const { return taskListView_; }

  // UIControl:
  const char* GetClassName() const override { return "PageList"; }
  void OnMessage(UIMessage& message) override;
  bool OnChildEvent(UIEvent& event) override;

  // TaskManagerDel:
  void OnTaskAdded(IQuelmTask* task) override;
  void OnTaskModified(IQuelmTask* task) override;
  void OnTaskRemoved(IQuelmTask* task) override;
  void OnTaskRan(IQuelmTask* task) override {}

 private:
  // The row showing `task`: the one holding that very task, else the first with its GUID.
  ListCtrlItem* FindRowOf(IQuelmTask* task) const;
  // The index of `task` in the page's list (that very task, else the first with its GUID), or
  // -1.
  int IndexOf(IQuelmTask* task) const;
  // Fits the scrolled extent to the list, then binds rows to the tasks from the first one in
  // view, reusing rows that keep their task, and places them. `arrange` re-arranges the view
  // first (the list changed, not only the position).
  void BindRows(bool arrange);
  // A new row, not yet in the list; null when the layout builds no ListCtrlItem.
  ListCtrlItem* BuildRow();
  void ConfirmAndDelete(const std::wstring& guid);
  void EditTask(const IQuelmTask& task);
  void StopObserving();

  UIScrollVertView* taskListView_ = nullptr;  // owned by the tree
  PageAdd* addPage_ = nullptr;
  TaskManager* manager_ = nullptr;  // set while observing
  std::vector<TaskRef> tasks_;      // the manager's list as the observer calls told it
  int rowHeight_ = 0;               // of the row layout, once a row was built
  bool shown_ = true;
};

// Enters "PageList" and "ListCtrlItem" into the control factory.
void RegisterPageList();
