#include "pages/PageAdd.h"

#include <cstring>

#include "pages/SelectObjDlg.h"
#include "pages/TimeComBo.h"
#include "pages/YearMonthDayDlg.h"
#include "sys/Clock.h"
#include "sys/Files.h"
#include "sys/Guid.h"
#include "sys/Sound.h"
#include "sys/StringFormat.h"
#include "tasks/Settings.h"
#include "tasks/TaskManager.h"
#include "ui/controls/AppMessage.h"
#include "ui/controls/UIButton.h"
#include "ui/controls/UICheckBox.h"
#include "ui/controls/UIComboBox.h"
#include "ui/core/UIBuilder.h"

namespace {

const wchar_t kIntervalTooShort[] = L"防止频繁执行,重复任务不能少于1分钟。";
const wchar_t kNoDayChosen[] = L"请至少选择一天";
const wchar_t kNoProgramWatched[] = L"请先选择要等待结束的程序";
const wchar_t kDayChosen[] = L"img\\btn\\btn_day1.png";
const wchar_t kDayNotChosen[] = L"img\\btn\\btn_day0.png";
constexpr uint64_t kMinIntervalMs = 60000;
constexpr int kClockTimeWidth = 130;
constexpr int kDurationTimeWidth = 190;

bool IsObjectAction(ActionKind action) {
  switch (action) {
    case ActionKind::Remind:
    case ActionKind::RunProgram:
    case ActionKind::CloseProgram:
    case ActionKind::OpenFile:
    case ActionKind::BackupFiles:
    case ActionKind::BackupDirectory:
    case ActionKind::OpenUrl:
      return true;
    default:
      return false;
  }
}

bool IsDuration(ScheduleMode mode) {
  return mode == ScheduleMode::Countdown || mode == ScheduleMode::Interval;
}

// The selection of `list` when it is one of its items, else -1.
int SelectionOf(const UIComboBox* list) {
  if (!list)
    return -1;
  int selected = list->GetSelected();
  return selected < list->GetItemCount() ? selected : -1;
}

// Shows `value` in `list`; a value the list does not hold selects nothing.
void SelectIn(UIComboBox* list, int value) {
  if (!list)
    return;
  int index = value >= 0 && value < list->GetItemCount() ? value : -1;
  if (index != list->GetSelected())
    list->SetSelected(index);
}

bool SameSchedule(const IQuelmTask& a, const IQuelmTask& b) {
  const SYSTEMTIME& x = a.time;
  const SYSTEMTIME& y = b.time;
  return a.mode == b.mode && x.wYear == y.wYear && x.wMonth == y.wMonth && x.wDay == y.wDay &&
         x.wHour == y.wHour && x.wMinute == y.wMinute && x.wSecond == y.wSecond;
}

template <typename T>
T* FindAs(UIControl* root, const wchar_t* id, const char* className) {
  UIControl* control = root->FindById(id);
  if (!control || std::strcmp(control->GetClassName(), className) != 0)
    return nullptr;
  return static_cast<T*>(control);
}

UIControl* CreatePageAdd() {
  return new PageAdd;
}

}  // namespace

PageAdd::PageAdd() {
  SetEventSink(true);
}

PageAdd::~PageAdd() {
  if (manager_)
    manager_->RemoveObserver(this);
}

void PageAdd::Start(TaskManager* manager) {
  if (started_)
    return;
  started_ = true;
  mode_ = FindAs<UIComboBox>(this, L"cbModul", "UIComboBox");
  action_ = FindAs<UIComboBox>(this, L"cbAction", "UIComboBox");
  date_ = FindAs<UIButton>(this, L"iddate", "UIButton");
  time_ = FindAs<TimeComBo>(this, L"idtime", "TimeComBo");
  currentTime_ = FindAs<UIButton>(this, L"btncurtime", "UIButton");
  object_ = FindAs<UIButton>(this, L"idobject", "UIButton");
  selectObject_ = FindAs<UIButton>(this, L"btnselectobj", "UIButton");
  add_ = FindAs<UIButton>(this, L"btnadd", "UIButton");
  modifyCancel_ = FindAs<UIButton>(this, L"btnmodifycancel", "UIButton");
  modifyOk_ = FindAs<UIButton>(this, L"btnmodifyok", "UIButton");
  showTips_ = FindAs<UICheckBox>(this, L"ckShowTips", "UICheckBox");
  watch_ = FindAs<UIButton>(this, L"idwatch", "UIButton");
  for (int day = 0; day < 7; ++day)
    days_[day] = FindAs<UIButton>(this, WFormat(L"idweek%d", day).c_str(), "UIButton");
  if (showTips_)
    showTips_->SetChecked(AppSettings().showTips);
  SetModifying(false);
  Refresh();
  manager_ = manager;
  if (manager_)
    manager_->AddObserver(this);
}

void PageAdd::SetRowVisible(const wchar_t* id, bool visible) {
  if (UIControl* row = FindById(id)) {
    if (row->IsVisible() != visible)
      row->SetVisible(visible);
  }
}

void PageAdd::Refresh() {
  const SYSTEMTIME& t = editTask.time;
  if (date_) {
    date_->SetText(WFormat(L"%d/%02d/%02d", t.wYear, t.wMonth, t.wDay));
    date_->Invalidate();
  }
  SelectIn(mode_, static_cast<int>(editTask.mode));
  SelectIn(action_, static_cast<int>(editTask.action));
  if (time_)
    time_->SetTime(t.wHour, t.wMinute, t.wSecond);
  const bool objectAction = IsObjectAction(editTask.action);
  if (object_) {
    object_->SetText(objectAction ? editTask.ActionObjectText() : std::wstring(L"无"));
    object_->Invalidate();
  }
  SetRowVisible(L"lyObj", objectAction);
  if (selectObject_ && selectObject_->IsEnabled() != objectAction)
    selectObject_->SetEnabled(objectAction);
  const ScheduleMode mode = editTask.mode;
  SetRowVisible(L"lyDate", mode == ScheduleMode::AtDateTime);
  SetRowVisible(L"lyTime", mode != ScheduleMode::AfterBoot && mode != ScheduleMode::Watch);
  SetRowVisible(L"lyWeek", mode == ScheduleMode::Weekly);
  SetRowVisible(L"lyWatch", mode == ScheduleMode::Watch);
  if (watch_) {
    watch_->SetText(editTask.watch.empty() ? std::wstring(L"无") : editTask.WatchedName());
    watch_->Invalidate();
  }
  ShowWeekDays();
  const bool duration = IsDuration(editTask.mode);
  if (time_) {
    if (time_->IsDurationForm() != duration)
      time_->SetDurationForm(duration);
    time_->SetPos(10, 45, duration ? kDurationTimeWidth : kClockTimeWidth, 30);
  }
  if (currentTime_ && currentTime_->IsVisible() == duration)
    currentTime_->SetVisible(!duration);
  Relayout();
}

void PageAdd::ShowWeekDays() {
  for (int day = 0; day < 7; ++day) {
    if (!days_[day])
      continue;
    const bool chosen = (editTask.week & (1 << day)) != 0;
    if (days_[day]->GetAttribute(L"btn") == (chosen ? kDayChosen : kDayNotChosen))
      continue;
    days_[day]->SetAttribute(L"btn", chosen ? kDayChosen : kDayNotChosen);
    days_[day]->SetAttribute(L"clr", chosen ? L"#ffffffff" : L"#ff909090");
  }
}

void PageAdd::SetModifying(bool modifying) {
  modifying_ = modifying;
  if (add_)
    add_->SetVisible(!modifying);
  if (modifyCancel_)
    modifyCancel_->SetVisible(modifying);
  if (modifyOk_)
    modifyOk_->SetVisible(modifying);
}

void PageAdd::ReadControls() {
  SYSTEMTIME& t = editTask.time;
  if (time_) {
    int hour = SelectionOf(time_->hours());
    int minute = SelectionOf(time_->minutes());
    int second = SelectionOf(time_->seconds());
    if (hour >= 0)
      t.wHour = static_cast<WORD>(hour);
    if (minute >= 0)
      t.wMinute = static_cast<WORD>(minute);
    if (second >= 0)
      t.wSecond = static_cast<WORD>(second);
  }
  if (t.wHour > 23)
    t.wHour = 0;
  if (t.wMinute >= 60)
    t.wMinute = 0;
  if (t.wSecond >= 60)
    t.wSecond = 0;
  int mode = SelectionOf(mode_);
  if (mode >= 0)
    editTask.mode = static_cast<ScheduleMode>(mode);
  int action = SelectionOf(action_);
  if (action >= 0)
    editTask.action = static_cast<ActionKind>(action);
}

void PageAdd::ResetForm() {
  editTask.Reset();
  SetModifying(false);
  Refresh();
}

std::wstring PageAdd::CheckTask() const {
  std::wstring message = editTask.Validate();
  if (message.empty() && editTask.mode == ScheduleMode::Interval &&
      editTask.PeriodMs() < kMinIntervalMs)
    message = kIntervalTooShort;
  if (message.empty() && editTask.mode == ScheduleMode::Weekly && (editTask.week & kAllDays) == 0)
    message = kNoDayChosen;
  if (message.empty() && editTask.mode == ScheduleMode::Watch && editTask.watch.empty())
    message = kNoProgramWatched;
  return message;
}

void PageAdd::ShowError(const std::wstring& text) {
  HWND owner = GetHost() ? GetHost()->GetHwnd() : nullptr;
  ShowAppMessage(owner, text, L"确定", MessageIcon::Error);
}

void PageAdd::Add() {
  editTask.guid = NewGuidString();
  ReadControls();
  std::wstring message = CheckTask();
  if (!message.empty()) {
    ShowError(message);
    return;
  }
  if (manager_)
    manager_->AddTask(editTask, true);
}

void PageAdd::Modify() {
  ReadControls();
  std::wstring message = CheckTask();
  if (!message.empty()) {
    ShowError(message);
    return;
  }
  if (TaskManager* manager = manager_) {
    // The form's copy of the flags is as old as the edit: the row's switch or the scheduler
    // may have changed them since, and writing them back would undo that (a finished countdown
    // would run again). Only a schedule changed here restarts from the form's values.
    if (IQuelmTask* listed = manager->FindTask(editTask.guid)) {
      editTask.paused = listed->paused.load();
      if (SameSchedule(editTask, *listed))
        editTask.startTick = listed->startTick.load();
    }
    manager->ModifyTask(editTask);
  }
  ResetForm();
}

void PageAdd::OpenSelectObject() {
  HWND owner = GetHost() ? GetHost()->GetHwnd() : nullptr;
  if (SelectObjDlg::Run(owner, &editTask) > 0)
    Refresh();
}

void PageAdd::OpenWatchPicker() {
  // The close-program page of the select-object dialog lists the running programs; it works on
  // a scratch task, so the object of this task's own action stays as it is.
  IQuelmTask scratch;
  scratch.action = ActionKind::CloseProgram;
  scratch.name = editTask.WatchedName();
  scratch.param1 = editTask.watch;
  HWND owner = GetHost() ? GetHost()->GetHwnd() : nullptr;
  if (SelectObjDlg::Run(owner, &scratch) > 0) {
    editTask.watch = scratch.param1;
    Refresh();
  }
}

void PageAdd::OnDatePicked(const SYSTEMTIME& date, void* context) {
  auto* page = static_cast<PageAdd*>(context);
  page->editTask.time.wYear = date.wYear;
  page->editTask.time.wMonth = date.wMonth;
  page->editTask.time.wDay = date.wDay;
  page->Refresh();
}

void PageAdd::OpenDatePicker() {
  if (!date_ || !GetHost())
    return;
  const SYSTEMTIME& t = editTask.time;
  auto* picker = new YearMonthDayDlg;
  picker->SetInitialDate(t.wYear, t.wMonth, t.wDay);
  picker->SetCallback(&PageAdd::OnDatePicked, this);
  RECT at = date_->ScreenRect();
  HWND hwnd = picker->Create(GetHost()->GetHwnd(), WS_POPUP | WS_VISIBLE, WS_EX_LAYERED, at.left,
                             at.bottom, 100, 100);
  if (!hwnd) {
    delete picker;
    return;
  }
  // Layered: nothing shows before the first paint, so the move once the layout has given the
  // real size is not seen.
  picker->PlaceAt(at);
  ShowWindow(hwnd, SW_SHOW);
  picker->PaintNow();
  SetFocus(hwnd);
}

bool PageAdd::OnChildEvent(UIEvent& event) {
  const std::wstring& id = event.id;
  const bool click = event.name == "click";
  if (id == L"btnadd" && click) {
    Add();
  } else if (id == L"ckShowTips" && event.name == "checkchanged") {
    SetShowTips(event.param2 != 0);
  } else if (id == L"btnmodifyok" && click) {
    Modify();
  } else if (id == L"btnselectobj" && click) {
    if (IsObjectAction(editTask.action))
      OpenSelectObject();
  } else if (id == L"btnselectwatch" && click) {
    OpenWatchPicker();
  } else if (id == L"btnmodifycancel" && click) {
    ResetForm();
  } else if (id == L"iddate" && click) {
    OpenDatePicker();
  } else if (id == L"cbModul" && event.name == "comboselectchanged") {
    int mode = SelectionOf(mode_);
    if (mode >= 0)
      editTask.mode = static_cast<ScheduleMode>(mode);
    Refresh();
  } else if (id == L"cbAction" && event.name == "comboselectchanged") {
    int action = SelectionOf(action_);
    if (action >= 0)
      editTask.action = static_cast<ActionKind>(action);
    Refresh();
  } else if (id == L"btncurtime" && click) {
    SYSTEMTIME now = SystemClock().LocalTime();
    editTask.time.wHour = now.wHour;
    editTask.time.wMinute = now.wMinute;
    editTask.time.wSecond = now.wSecond;
    Refresh();
  } else if (id.size() == 7 && id.compare(0, 6, L"idweek") == 0 && id[6] >= L'0' && id[6] <= L'6') {
    if (click) {
      editTask.week ^= static_cast<uint8_t>(1 << (id[6] - L'0'));
      ShowWeekDays();
    }
  } else if (event.name == "comboselectchanged") {
    ReadControls();
    // A stored time outside the lists has just wrapped; show what the record now holds.
    if (time_)
      time_->SetTime(editTask.time.wHour, editTask.time.wMinute, editTask.time.wSecond);
  } else {
    return false;
  }
  return true;
}

void PageAdd::OnTaskRemoved(IQuelmTask* task) {
  if (task && task->guid == editTask.guid)
    ResetForm();
}

void PageAdd::OnTaskRan(IQuelmTask* task) {
  if (AppSettings().showTips)
    PlaySoundFileAsync(GetModuleDirectory() + L"\\sound\\Notification.wav");
}

void RegisterPageAdd() {
  RegisterControlClass(L"PageAdd", &CreatePageAdd);
}
