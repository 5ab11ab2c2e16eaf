#pragma once

#include <string>

#include "tasks/IQuelmTask.h"
#include "tasks/TaskManagerDel.h"
#include "ui/core/UIControl.h"

class TaskManager;
class TimeComBo;
class UIButton;
class UICheckBox;
class UIComboBox;

// The add/modify form on the left of the main window. It edits a private task record,
// `editTask`, and hands finished values to the task manager it was started with; it never
// touches a listed task itself. In add mode "btnadd" lists a copy under a fresh GUID each time; in
// modify mode (entered by the task list: copy into `editTask`, SetModifying(true), Refresh)
// "btnmodifyok" writes the record back onto the listed task with the same GUID.
//
// The page is an event sink: the clicks and choices of its own controls stop here; everything
// else goes on to the window. Validation failures are shown in the application's message box,
// owned by the page's window, and the form keeps its values.
//
// UI thread only, except OnTaskRan (scheduler thread), which touches no control: it only reads
// the sound setting and starts the notification sound without waiting for it. Owned by the
// control tree; the child pointers and the manager are borrowed. Without a task manager the
// form works but adds and modifies nothing.
class PageAdd : public UIControl, public TaskManagerDel {
 public:
  PageAdd();
  ~PageAdd() override;

  // Once the layout is built and `manager` (may be null) started: finds the form's controls,
  // shows the sound setting, enters add mode and becomes an observer of the manager. Again:
  // nothing.
  void Start(TaskManager* manager);

  // Writes `editTask` into the controls and shows the rows, buttons and time form its mode
  // and action call for. A mode, action or time outside its list selects nothing there.
  void Refresh();
  // Add mode shows "btnadd"; modify mode the two modify buttons.
  void SetModifying(bool modifying);
  bool IsModifying() const { return modifying_; }
  // Copies the selections of the time picker and the two lists into `editTask`. A list with no
  // selection leaves its field as it is; an hour above 23, a minute or second of 60 or more
  // become 0.
  void ReadControls();
  // A fresh record (new GUID, defaults, the current time) in add mode.
  void ResetForm();

  // The record the form shows. The task list copies a listed task into it before switching
  // to modify mode.
  IQuelmTask editTask;

  // UIControl:
  const char* GetClassName() const override { return "PageAdd"; }
  bool OnChildEvent(UIEvent& event) override;

  // TaskManagerDel:
  void OnTaskAdded(IQuelmTask* task) override {}
  void OnTaskModified(IQuelmTask* task) override {}
  // Resets the form when the task being modified left the list.
  void OnTaskRemoved(IQuelmTask* task) override;
  // Plays "\sound\Notification.wav" beside the executable when the sound setting is on.
  void OnTaskRan(IQuelmTask* task) override;

 private:
  void Add();
  void Modify();
  // Empty when `editTask` may be listed, otherwise the message shown to the user.
  std::wstring CheckTask() const;
  void ShowError(const std::wstring& text);
  void OpenSelectObject();
  // The running programs to choose the one a watch task waits for.
  void OpenWatchPicker();
  void OpenDatePicker();
  static void OnDatePicked(const SYSTEMTIME& date, void* context);
  void SetRowVisible(const wchar_t* id, bool visible);
  // The day buttons of a weekly task: chosen days blue with white text, the others white.
  void ShowWeekDays();

  bool modifying_ = false;
  bool started_ = false;
  TaskManager* manager_ = nullptr;  // the manager this page lists into and observes, if any
  UIComboBox* mode_ = nullptr;
  UIComboBox* action_ = nullptr;
  UIButton* date_ = nullptr;
  TimeComBo* time_ = nullptr;
  UIButton* currentTime_ = nullptr;
  UIButton* object_ = nullptr;
  UIButton* selectObject_ = nullptr;
  UIButton* add_ = nullptr;
  UIButton* modifyCancel_ = nullptr;
  UIButton* modifyOk_ = nullptr;
  UICheckBox* showTips_ = nullptr;
  UIButton* watch_ = nullptr;  // "idwatch": the watched program's file name
  UIButton* days_[7] = {};     // "idweek0" (Monday) to "idweek6" (Sunday)
};

// Enters "PageAdd" into the control factory.
void RegisterPageAdd();
