// The add/modify form as built from the shipped main window layout, driven with real mouse
// messages and list choices, against the real task manager on a scratch data folder.
#include "pages/PageAdd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "pages/TimeComBo.h"
#include "pages/YearMonthDayDlg.h"
#include "sys/Sound.h"
#include "sys/StringFormat.h"
#include "tasks/Settings.h"
#include "tasks/TaskManager.h"
#include "tests/pages/PagesTest.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingSystemActions.h"
#include "tests/support/TempDir.h"
#include "ui/controls/UICheckBox.h"
#include "ui/controls/UIComboBox.h"
#include "ui/controls/UIMessageBox.h"

namespace {

std::vector<std::wstring> g_messages;  // texts of the message boxes shown, answered at once
std::atomic<int> g_sounds{0};
std::wstring g_soundPath;

void AnswerBox(UIMessageBox* box) {
  g_messages.push_back(box->text_label()->GetText());
  PostMessageW(box->hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
}

void CountSound(const std::wstring& path) {
  g_soundPath = path;
  ++g_sounds;
}

class PageAddTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    if (HasFatalFailure())
      return;
    UIMessageBox::SetShownHookForTesting(&AnswerBox);
    previousSound_ = SetSoundPlayerForTesting(&CountSound);
    g_messages.clear();
    g_sounds = 0;
    clock_.SetLocal(2024, 5, 1, 9, 30, 0);
    last_ = clock_.LocalTime();
    ini_.path = dir_.Child(L"cfg.ini");
    ini_.section = L"QuelmTask";
    previousIni_ = AppSettings().ini;
    AppSettings().ini = ini_;
    AppSettings().showTips = true;
    host_ = std::make_unique<MainLayoutHost>();
    page_ = static_cast<PageAdd*>(host_->GetRoot()->FindById(L"pageAdd"));
    ASSERT_NE(page_, nullptr);
    ASSERT_STREQ(page_->GetClassName(), "PageAdd");
    page_->Start(&manager_);
  }
  void TearDown() override {
    host_.reset();
    AppSettings().ini = previousIni_;
    SetSoundPlayerForTesting(previousSound_);
    PagesTest::TearDown();
  }

  UIControl* Find(const wchar_t* id) { return host_->GetRoot()->FindById(id); }
  UIComboBox* List(const wchar_t* id) { return static_cast<UIComboBox*>(Find(id)); }
  TimeComBo* Time() { return static_cast<TimeComBo*>(Find(L"idtime")); }
  bool Shown(const wchar_t* id) { return Find(id)->IsVisible(); }

  void Click(const wchar_t* id) {
    UIControl* control = Find(id);
    ASSERT_NE(control, nullptr);
    host_->Click(control);
  }
  // What a click on a row of the open drop list does.
  void Choose(UIComboBox* list, int index) { list->ChooseFromList(index); }
  void ChooseTime(int hour, int minute, int second) {
    Choose(Time()->hours(), hour);
    Choose(Time()->minutes(), minute);
    Choose(Time()->seconds(), second);
  }
  // What the task list's edit button does.
  void Edit(IQuelmTask* listed) {
    page_->editTask.CopyFrom(*listed);
    page_->SetModifying(true);
    page_->Refresh();
  }
  std::string TaskFile() { return ReadFileBytes(dir_.Child(L"task.xml")); }
  bool Step(int seconds = 1) {
    clock_.AdvanceSeconds(seconds);
    return manager_.RunSchedulerPass(last_);
  }

  SoundPlayer previousSound_ = nullptr;
  TempDir dir_;
  FakeClock clock_;
  RecordingSystemActions actions_;
  IniFile ini_;
  IniFile previousIni_;
  TaskStore store_{dir_.Child(L"task.xml")};
  TaskManager manager_{&store_};
  SYSTEMTIME last_ = {};
  std::unique_ptr<MainLayoutHost> host_;
  PageAdd* page_ = nullptr;
};

TEST_F(PageAddTest, EachModeShowsItsRowsAndShapesTheTimePicker) {
  struct Case {
    int mode;
    bool date, time, duration, week, watch;
  } cases[] = {
      {4, false, false, false, false, false}, {1, true, true, false, false, false},
      {2, false, true, true, false, false},   {5, false, true, false, true, false},
      {6, false, false, false, false, true},  {3, false, true, true, false, false},
      {0, false, true, false, false, false},
  };
  for (const Case& c : cases) {
    Choose(List(L"cbModul"), c.mode);
    EXPECT_EQ(static_cast<int>(page_->editTask.mode), c.mode);
    EXPECT_EQ(Shown(L"lyDate"), c.date) << c.mode;
    EXPECT_EQ(Shown(L"lyTime"), c.time) << c.mode;
    EXPECT_EQ(Shown(L"lyWeek"), c.week) << c.mode;
    EXPECT_EQ(Shown(L"lyWatch"), c.watch) << c.mode;
    EXPECT_EQ(Time()->GetWidth(), c.duration ? 190 : 130) << c.mode;
    EXPECT_EQ(Time()->IsDurationForm(), c.duration) << c.mode;
    EXPECT_EQ(Shown(L"btncurtime"), !c.duration) << c.mode;
    // Hidden rows take no room: the buttons follow right under the rows shown.
    EXPECT_EQ(Find(L"lyOp")->GetRect().top, 150 + 75 * (c.date + c.time + c.week + c.watch))
        << c.mode;
  }
  EXPECT_FALSE(Shown(L"lyObj"));
  EXPECT_EQ(Find(L"idobject")->GetText(), L"无");
  EXPECT_EQ(Find(L"idwatch")->GetText(), L"无");
  page_->editTask.watch = L"D:\\下载\\aria2c.exe";
  page_->Refresh();
  EXPECT_EQ(Find(L"idwatch")->GetText(), L"aria2c.exe");
  Choose(List(L"cbAction"), static_cast<int>(ActionKind::OpenUrl));
  EXPECT_TRUE(Shown(L"lyObj"));
  EXPECT_TRUE(Find(L"btnselectobj")->IsEnabled());
  EXPECT_TRUE(Shown(L"btnadd"));
  EXPECT_FALSE(Shown(L"btnmodifyok"));
}

TEST_F(PageAddTest, AddRefusesWhatCannotRunAndListsTheRest) {
  struct Case {
    ScheduleMode mode;
    ActionKind action;
    int hour, minute, second;
    const wchar_t* refusal;  // null: listed
  } cases[] = {
      {ScheduleMode::Interval, ActionKind::Lock, 0, 0, 59, L"防止频繁执行,重复任务不能少于1分钟。"},
      {ScheduleMode::Interval, ActionKind::Lock, 0, 1, 0, nullptr},
      {ScheduleMode::Countdown, ActionKind::Lock, 0, 0, 0, nullptr},
      {ScheduleMode::Daily, ActionKind::OpenUrl, 8, 0, 0, L"网址不能为空"},
      {ScheduleMode::Watch, ActionKind::Lock, 0, 0, 0, L"请先选择要等待结束的程序"},
  };
  size_t listed = 0;
  for (const Case& c : cases) {
    g_messages.clear();
    Choose(List(L"cbModul"), static_cast<int>(c.mode));
    Choose(List(L"cbAction"), static_cast<int>(c.action));
    ChooseTime(c.hour, c.minute, c.second);
    Click(L"btnadd");
    listed += c.refusal == nullptr;
    std::vector<IQuelmTask*> tasks = manager_.TakeSnapshot();
    EXPECT_EQ(tasks.size(), listed);
    for (IQuelmTask* t : tasks)
      t->Release();
    ASSERT_EQ(g_messages.size(), c.refusal ? 1u : 0u);
    if (c.refusal) {
      EXPECT_EQ(g_messages[0], c.refusal);
    }
    EXPECT_EQ(page_->editTask.time.wSecond, c.second) << "the form keeps its values";
    EXPECT_TRUE(IsWindowEnabled(host_->hwnd())) << "the box released its owner";
  }
}

TEST_F(PageAddTest, WeeklyDaysAreToggledAndAtLeastOneIsNeeded) {
  Choose(List(L"cbModul"), static_cast<int>(ScheduleMode::Weekly));
  auto chosen = [&] {
    std::wstring days;
    for (int day = 0; day < 7; ++day) {
      UIControl* button = Find(WFormat(L"idweek%d", day).c_str());
      const bool blue = button->GetAttribute(L"btn") == L"img\\btn\\btn_day1.png";
      EXPECT_EQ(button->GetAttribute(L"clr"), blue ? L"#ffffffff" : L"#ff909090");
      days += blue ? button->GetText() : L"";
    }
    return days;
  };
  EXPECT_EQ(chosen(), L"一二三四五") << "a new weekly task runs on working days";
  for (const wchar_t* id : {L"idweek0", L"idweek1", L"idweek2", L"idweek3", L"idweek4"})
    Click(id);
  EXPECT_EQ(chosen(), L"");
  Click(L"btnadd");
  ASSERT_EQ(g_messages, std::vector<std::wstring>{L"请至少选择一天"});
  for (const wchar_t* id : {L"idweek0", L"idweek2", L"idweek6"})
    Click(id);
  EXPECT_EQ(chosen(), L"一三日");
  Click(L"btnadd");
  IQuelmTask* listed = manager_.FindTask(page_->editTask.guid);
  ASSERT_NE(listed, nullptr);
  EXPECT_EQ(listed->week, 0x45);
  EXPECT_EQ(listed->ModeTitle(), L"每周 一三日");
  EXPECT_NE(TaskFile().find("<week>69</week>"), std::string::npos);
  // Editing shows the task's days.
  page_->ResetForm();
  Edit(listed);
  EXPECT_TRUE(Shown(L"lyWeek"));
  EXPECT_EQ(chosen(), L"一三日");
}

TEST_F(PageAddTest, AddingTwiceListsTwoTasksWithTheirOwnGuids) {
  Click(L"btnadd");
  Click(L"btnadd");
  std::vector<IQuelmTask*> tasks = manager_.TakeSnapshot();
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_NE(tasks[0]->guid, tasks[1]->guid);
  std::string file = TaskFile();
  for (IQuelmTask* t : tasks) {
    EXPECT_NE(file.find(std::string(t->guid.begin(), t->guid.end())), std::string::npos);
    t->Release();
  }
  EXPECT_FALSE(page_->IsModifying());
}

TEST_F(PageAddTest, TheSoundBoxWritesTheSettingAtOnceAndRunsFollowIt) {
  EXPECT_TRUE(static_cast<UICheckBox*>(Find(L"ckShowTips"))->IsChecked());
  for (bool on : {false, true}) {
    Click(L"ckShowTips");
    EXPECT_EQ(ini_.ReadInt(L"showtips", -1), on ? 1 : 0);
    IQuelmTask lock;
    lock.action = ActionKind::Lock;
    lock.time = AddSeconds(clock_.LocalTime(), 1);
    manager_.AddTask(lock, false);
    g_sounds = 0;
    Step();
    EXPECT_EQ(actions_.CallNames().back(), L"LockWorkStation");
    EXPECT_EQ(g_sounds, on ? 1 : 0);
  }
  EXPECT_EQ(g_soundPath, GetModuleDirectory() + L"\\sound\\Notification.wav");
}

TEST_F(PageAddTest, StoredValuesOutsideTheListsShowNoSelection) {
  dir_.WriteFile(L"task.xml",
                 "<cfg><item><guid>high</guid><modul>7</modul><tag>42</tag>"
                 "<date>2024/05/01 99:99:99</date></item>"
                 "<item><guid>negative</guid><modul>-1</modul><tag>-1</tag>"
                 "<date>2024/05/01 24:60:60</date></item></cfg>");
  store_.Load(manager_);
  struct Case {
    const wchar_t* guid;
    const char* stored;  // what "确定修改" writes back
  } cases[] = {
      {L"high", "<modul>7</modul>\r\n<tag>42</tag>\r\n<date>2024/05/01 05:00:00</date>"},
      {L"negative", "<modul>-1</modul>\r\n<tag>-1</tag>\r\n<date>2024/05/01 05:00:00</date>"},
  };
  for (const Case& c : cases) {
    IQuelmTask* listed = manager_.FindTask(c.guid);
    ASSERT_NE(listed, nullptr);
    Edit(listed);  // after a form that shows the defaults, each list with a selection
    for (UIComboBox* list : {List(L"cbModul"), List(L"cbAction"), Time()->hours(),
                             Time()->minutes(), Time()->seconds()})
      EXPECT_EQ(list->GetSelected(), -1);
    EXPECT_FALSE(Shown(L"lyDate"));
    EXPECT_TRUE(Shown(L"lyTime"));
    EXPECT_FALSE(Shown(L"lyObj"));
    // Picking the hour wraps the minute and second, and the lists show it.
    Choose(Time()->hours(), 5);
    EXPECT_EQ(Time()->minutes()->GetSelected(), 0);
    EXPECT_EQ(Time()->seconds()->GetSelected(), 0);
    Click(L"btnmodifyok");
    EXPECT_FALSE(page_->IsModifying());
    // A mode or action the lists cannot show is kept.
    EXPECT_NE(TaskFile().find(c.stored), std::string::npos) << TaskFile();
  }
}

TEST_F(PageAddTest, ModifyKeepsWhatTheListChangedWhileTheFormWasOpen) {
  struct Case {
    const char* what;
    bool fire;         // the countdown ends while the form is open
    bool switchOff;    // the row's switch is pressed while the form is open
    bool newSchedule;  // the user picks another time in the form
  } cases[] = {
      {"countdown ended", true, false, false},
      {"switched off", false, true, false},
      {"countdown ended, then a new time", true, false, true},
  };
  for (const Case& c : cases) {
    Choose(List(L"cbModul"), static_cast<int>(ScheduleMode::Countdown));
    Choose(List(L"cbAction"), static_cast<int>(ActionKind::Lock));
    ChooseTime(0, 0, 3);
    Click(L"btnadd");
    IQuelmTask* listed = manager_.FindTask(page_->editTask.guid);
    ASSERT_NE(listed, nullptr);
    Edit(listed);
    const uint64_t editedFrom = listed->startTick;
    if (c.fire)
      Step(4);
    if (c.switchOff)
      manager_.SetPaused(listed);
    ASSERT_TRUE(listed->paused) << c.what;
    const uint64_t listedTick = listed->startTick;
    if (c.newSchedule)
      Choose(Time()->minutes(), 5);
    Click(L"btnmodifyok");
    EXPECT_FALSE(page_->IsModifying()) << c.what;
    EXPECT_TRUE(listed->paused) << c.what;
    EXPECT_EQ(listed->startTick, c.newSchedule ? editedFrom : listedTick) << c.what;
    EXPECT_NE(TaskFile().find("<pause>1</pause>"), std::string::npos) << c.what;
    manager_.DeleteTask(listed->guid);
  }
}

// The date picker this thread has open, or null.
YearMonthDayDlg* OpenDatePicker() {
  YearMonthDayDlg* found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM out) -> BOOL {
        auto* picker =
            dynamic_cast<YearMonthDayDlg*>(static_cast<UIWindowImp*>(GetPropW(hwnd, L"skinobj")));
        if (picker)
          *reinterpret_cast<YearMonthDayDlg**>(out) = picker;
        return !picker;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(PageAddTest, TheDatePickerOpensUnderTheDateOrAboveItInsideTheWorkArea) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  Choose(List(L"cbModul"), static_cast<int>(ScheduleMode::AtDateTime));
  const RECT date = Find(L"iddate")->WindowRect();
  const struct {
    const char* where;
    int dateLeft, dateBottom;  // where the host puts the date button, from the work area's corner
    bool above;
  } cases[] = {
      {"room below", 100, 200, false},
      {"near the bottom right corner", work.right - work.left - 60, work.bottom - work.top, true},
  };
  for (const auto& c : cases) {
    SetWindowPos(host_->hwnd(), nullptr, work.left + c.dateLeft - date.left,
                 work.top + c.dateBottom - date.bottom, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Click(L"iddate");
    YearMonthDayDlg* picker = OpenDatePicker();
    ASSERT_NE(picker, nullptr) << c.where;
    RECT shown, button = Find(L"iddate")->ScreenRect();
    GetWindowRect(picker->hwnd(), &shown);
    EXPECT_EQ(shown.bottom - shown.top, 400) << c.where;
    EXPECT_EQ(c.above ? shown.bottom : shown.top, c.above ? button.top : button.bottom) << c.where;
    EXPECT_GE(shown.left, work.left) << c.where;
    EXPECT_LE(shown.right, work.right) << c.where;
    EXPECT_GE(shown.top, work.top) << c.where;
    EXPECT_LE(shown.bottom, work.bottom) << c.where;
    DestroyWindow(picker->hwnd());
  }
}

TEST_F(PageAddTest, CancelOrDeletingTheEditedTaskReturnsToAddMode) {
  Click(L"btnadd");
  IQuelmTask* listed = manager_.FindTask(page_->editTask.guid);
  ASSERT_NE(listed, nullptr);
  const std::wstring guid = listed->guid;
  for (bool viaDelete : {false, true}) {
    Edit(listed);
    EXPECT_FALSE(Shown(L"btnadd"));
    EXPECT_TRUE(Shown(L"btnmodifycancel") && Shown(L"btnmodifyok"));
    if (viaDelete)
      manager_.DeleteTask(guid);
    else
      Click(L"btnmodifycancel");
    EXPECT_FALSE(page_->IsModifying());
    EXPECT_TRUE(Shown(L"btnadd"));
    EXPECT_NE(page_->editTask.guid, guid) << "a fresh record";
  }
}

}  // namespace
