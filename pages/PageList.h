#pragma once

#include <string>

#include "tasks/IQuelmTask.h"
#include "tasks/TaskManagerDel.h"
#include "ui/core/UIControl.h"

class ListCtrlItem;
class PageAdd;
class TaskManager;
class UIScrollVertView;

// The task list: one ListCtrlItem per task of the manager, in list order, under the fixed
// header of the scroll view "idTasklist". It observes the manager to keep the rows in step and
// refreshes every status label once a second (timer index 103 on the host window), changing a
// label only when its text differs.
//
// The rows' buttons are handled here (the page is an event sink): run now, switch on/off, edit
// (loads the task into the add page, when there is one) and delete (after the "取消|删除"
// confirmation). A button whose task has left the list meanwhile does nothing.
//
// UI thread only; OnTaskRan, the one call from the scheduler thread, does nothing. The control
// tree owns the rows; the manager and the add page are borrowed. Without a task manager the
// page shows the header alone. The page stops observing when it is
// destroyed.
class PageList : public UIControl, public TaskManagerDel {
 public:
  static constexpr int kStatusTimer = 103;
  static constexpr UINT kStatusPeriodMs = 1000;

  PageList();
  ~PageList() override;

  // Builds a row for every task of `manager` (may be null), starts observing it and starts the
  // status timer. Called once by the main window after the store is loaded.
  void Start(TaskManager* manager);
  void SetAddPage(PageAdd* addPage) { addPage_ = addPage; }

  // Appends a row for `task`, filled; null when "xml\taskitem.xml" builds no ListCtrlItem.
  ListCtrlItem* AddRow(IQuelmTask* task);
  // Writes the task's texts, switch image and text colours into the row.
  void FillRow(ListCtrlItem* row, const IQuelmTask& task);
  // The first row whose id is `guid`, or null.
  ListCtrlItem* FindRowByGuid(const std::wstring& guid) const;
  // One status refresh, as the timer does it.
  void RefreshStatus();

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
  void ConfirmAndDelete(const std::wstring& guid);
  void EditTask(const IQuelmTask& task);
  void StopObserving();

  UIScrollVertView* taskListView_ = nullptr;  // owned by the tree
  PageAdd* addPage_ = nullptr;
  TaskManager* manager_ = nullptr;  // set while observing
};

// Enters "PageList" and "ListCtrlItem" into the control factory.
void RegisterPageList();
