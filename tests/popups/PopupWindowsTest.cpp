#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "popups/CleanTmpDlg.h"
#include "popups/RemindTips.h"
#include "popups/ShutdownTips.h"
#include "popups/TaskPopupWindows.h"
#include "sys/Handles.h"
#include "sys/StringFormat.h"
#include "tasks/ActionExecutor.h"
#include "tasks/CleanFiles.h"
#include "tasks/IQuelmTask.h"
#include "tasks/RunHistory.h"
#include "tasks/TaskManager.h"
#include "tests/popups/PopupTestEnv.h"
#include "tests/support/FakeClock.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/RecordingSystemActions.h"
#include "tests/support/TempDir.h"
#include "ui/core/UIValueParse.h"

namespace {

IQuelmTask TaskOf(ActionKind action, const std::wstring& name = L"", const std::wstring& text = L"") {
  IQuelmTask task;
  task.action = action;
  task.name = name;
  task.param1 = text;
  return task;
}

std::vector<std::wstring> ExitSessions(const RecordingSystemActions& system) {
  std::vector<std::wstring> kinds;
  for (const RecordedCall& call : system.Calls()) {
    if (call.name == L"ExitSession")
      kinds.push_back(call.args.at(0));
  }
  return kinds;
}

class PopupWindowsTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(env_.loaded()); }

  // The results recorded, oldest first.
  std::vector<std::wstring> Results() {
    std::vector<std::wstring> results;
    for (const HistoryEvent& e : history_.ReadNewestFirst())
      results.insert(results.begin(), e.result);
    return results;
  }

  PopupTestEnv env_;
  RecordingSystemActions system_;
  TempDir data_;
  RunHistory history_{data_.Child(L"history.log")};
  ScopedRunHistory installHistory_{&history_};
};

TEST_F(PopupWindowsTest, CountdownEndsTheSessionOnlyAtZeroOrOnConfirm) {
  struct Case {
    const char* name;
    ActionKind action;
    const wchar_t* click;  // after the ticks; null for none
    int ticks;
    std::vector<std::wstring> exits;
    bool open;
    std::vector<std::wstring> recorded;
    bool refused = false;  // the system refuses to end the session
  };
  const Case cases[] = {
      {"nine ticks leave it counting", ActionKind::Shutdown, nullptr, 9, {}, true, {}},
      {"the tenth tick shuts down", ActionKind::Shutdown, nullptr, 10, {L"1"}, false, {L"已执行"}},
      {"the tenth tick restarts", ActionKind::Restart, nullptr, 10, {L"2"}, false, {L"已执行"}},
      {"confirm at once", ActionKind::Shutdown, L"idok", 0, {L"1"}, false, {L"已执行"}},
      {"confirm a restart midway", ActionKind::Restart, L"idok", 4, {L"2"}, false, {L"已执行"}},
      {"a refused restart",
       ActionKind::Restart,
       L"idok",
       0,
       {L"2"},
       false,
       {L"失败：无法重启"},
       true},
      {"cancel", ActionKind::Shutdown, L"idcancel", 3, {}, false, {L"已取消"}},
      {"close button cancels", ActionKind::Restart, L"btnclose", 0, {}, false, {L"已取消"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    system_.Clear();
    system_.SetResult(!c.refused);
    history_.Clear();
    ShutdownTips* tips = ShutdownTips::Open(TaskOf(c.action), nullptr);
    ASSERT_NE(tips, nullptr);
    HWND hwnd = tips->GetHwnd();
    EXPECT_NE(ControlText(tips, L"idtips").find(L">10<"), std::wstring::npos);
    for (int i = 0; i < c.ticks; ++i) {
      EXPECT_TRUE(ExitSessions(system_).empty()) << "before tick " << i + 1;
      TickRootTimer(tips, ShutdownTips::kTimerIndex);
    }
    if (c.click)
      ClickControl(tips, c.click);
    EXPECT_EQ(ExitSessions(system_), c.exits);
    EXPECT_EQ(Results(), c.recorded);
    EXPECT_EQ(IsWindow(hwnd) != FALSE, c.open);
    if (IsWindow(hwnd)) {
      EXPECT_NE(ControlText(tips, L"idtips").find(L"即将"), std::wstring::npos);
      tips->Close();
    }
  }
}

TEST_F(PopupWindowsTest, MouseStopsTheCountOnlyBeyondTenPixelsAfterTheFirstSecond) {
  struct Case {
    const char* name;
    int ticksBefore;
    int dx, dy;
    bool stops;
  };
  const Case cases[] = {
      {"first second", 0, 40, 40, false},
      {"exactly ten both ways", 1, 10, -10, false},
      {"eleven across", 1, 11, 0, true},
      {"eleven up", 3, 0, -11, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    system_.Clear();
    ShutdownTips* tips = ShutdownTips::Open(TaskOf(ActionKind::Shutdown), nullptr);
    ASSERT_NE(tips, nullptr);
    HWND hwnd = tips->GetHwnd();
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    for (int i = 0; i < c.ticksBefore; ++i)
      TickRootTimer(tips, ShutdownTips::kTimerIndex);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(100 + c.dx, 100 + c.dy));
    EXPECT_EQ(tips->SecondsLeft() == 0, c.stops);
    const std::wstring text = ControlText(tips, L"idtips");
    EXPECT_EQ(text.find(L"点击\"确定\"执行") != std::wstring::npos, c.stops) << text;

    // A stopped count never ends the session by itself; confirming then does at once. A running
    // one ends it and frees the window at its last tick.
    for (int i = 0; i < ShutdownTips::kSeconds && IsWindow(hwnd); ++i)
      TickRootTimer(tips, ShutdownTips::kTimerIndex);
    if (c.stops) {
      ASSERT_TRUE(IsWindow(hwnd));
      EXPECT_TRUE(ExitSessions(system_).empty());
      ClickControl(tips, L"idok");
    }
    EXPECT_EQ(ExitSessions(system_), std::vector<std::wstring>{L"1"});
    EXPECT_FALSE(IsWindow(hwnd));
  }
}

TEST_F(PopupWindowsTest, ConfirmationsOpenTogetherCascadeAndStayOnTop) {
  auto place = [](ShutdownTips* tips) {
    RECT r;
    GetWindowRect(tips->GetHwnd(), &r);
    return std::make_pair(r.left, r.top);
  };
  std::vector<ShutdownTips*> open;
  for (int i = 0; i < 3; ++i) {
    open.push_back(ShutdownTips::Open(TaskOf(ActionKind::Shutdown), nullptr));
    ASSERT_NE(open.back(), nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(open.back()->GetHwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) << i;
  }
  const auto [x, y] = place(open[0]);
  EXPECT_EQ(place(open[1]), std::make_pair(x + 30, y + 30));
  EXPECT_EQ(place(open[2]), std::make_pair(x + 60, y + 60));
  // A place left by a closed one is taken again; none is shared.
  ClickControl(open[0], L"idcancel");
  open[0] = ShutdownTips::Open(TaskOf(ActionKind::Restart), nullptr);
  ASSERT_NE(open[0], nullptr);
  EXPECT_EQ(place(open[0]), std::make_pair(x, y));
  for (ShutdownTips* tips : open)
    ClickControl(tips, L"idcancel");
  EXPECT_TRUE(ExitSessions(system_).empty());
}

TEST_F(PopupWindowsTest, TwoRemindersDueTogetherOpenTwoWindows) {
  TaskPopupWindows windows;
  TaskPopups* previous = SetTaskPopups(&windows);
  IQuelmTask* first = new IQuelmTask(TaskOf(ActionKind::Remind, L"开会", L"三楼会议室"));
  IQuelmTask* second = new IQuelmTask(TaskOf(ActionKind::Remind, L"", L"喝水"));
  ExecuteAction(*first);
  ExecuteAction(*second);
  first->Release();
  second->Release();
  RunPostedJobs();
  ASSERT_EQ(VisibleHostWindows().size(), 2u);
  SetTaskPopups(previous);

  std::map<std::wstring, std::wstring> shown;
  for (UIHostWnd* host : VisibleHostWindows()) {
    ASSERT_NE(dynamic_cast<RemindTips*>(host), nullptr);
    shown[ControlText(host, L"idtitle")] = ControlText(host, L"idtips");
  }
  EXPECT_EQ(shown, (std::map<std::wstring, std::wstring>{{L"开会", L"三楼会议室"}, {L"", L"喝水"}}));

  ClickControl(VisibleHostWindows().at(0), L"idok");
  EXPECT_EQ(VisibleHostWindows().size(), 1u);
  ClickControl(VisibleHostWindows().at(0), L"btnclose");
  EXPECT_TRUE(VisibleHostWindows().empty());
  EXPECT_EQ(Results(), (std::vector<std::wstring>{L"已提醒", L"已提醒"}));
}

TEST_F(PopupWindowsTest, PuttingOffBringsTheSameWindowBackTenMinutesLaterUntilTheTaskChanges) {
  FakeClock clock;
  clock.SetLocal(2024, 5, 6, 8, 0, 0);
  SYSTEMTIME last = clock.LocalTime();
  TaskManager manager(nullptr);
  TaskPopupWindows windows(nullptr, &manager);
  TaskPopups* previous = SetTaskPopups(&windows);
  IQuelmTask shutdown = TaskOf(ActionKind::Shutdown);
  IQuelmTask remind = TaskOf(ActionKind::Remind, L"喝水", L"起来走走");
  for (IQuelmTask* task : {&shutdown, &remind})
    task->time = MakeTime(2024, 5, 6, 8, 0, 1);
  IQuelmTask* listed[] = {manager.AddTask(shutdown, false), manager.AddTask(remind, false)};
  const SYSTEMTIME scheduled = listed[0]->time;
  auto step = [&](int seconds) {
    clock.AdvanceSeconds(seconds);
    manager.RunSchedulerPass(last);
  };
  // Both windows open, the count runs, and each is put off by its own button.
  auto putOff = [&] {
    RunPostedJobs();
    ASSERT_EQ(VisibleHostWindows().size(), 2u);
    for (UIHostWnd* host : VisibleHostWindows()) {
      if (auto* tips = dynamic_cast<ShutdownTips*>(host)) {
        EXPECT_NE(ControlText(tips, L"idtips").find(L">10<"), std::wstring::npos);
        TickRootTimer(tips, ShutdownTips::kTimerIndex);
      } else {
        EXPECT_EQ(ControlText(host, L"idtitle"), L"喝水");
        EXPECT_EQ(ControlText(host, L"idtips"), L"起来走走");
      }
      ClickControl(host, L"idpostpone");
    }
    EXPECT_TRUE(VisibleHostWindows().empty());
  };
  step(1);  // 08:00:01
  putOff();
  for (IQuelmTask* task : listed)
    EXPECT_EQ(task->StatusText(), L"推迟到 08:10");
  step(599);
  EXPECT_TRUE(listed[0]->IsPostponed() && listed[1]->IsPostponed()) << "a second early";
  step(1);   // 08:10:01
  putOff();  // again: the same windows, afresh
  EXPECT_TRUE(ExitSessions(system_).empty());

  // The schedule is untouched: the daily task ran today and waits for tomorrow.
  step(600);
  RunPostedJobs();
  ASSERT_EQ(VisibleHostWindows().size(), 2u);
  for (UIHostWnd* host : VisibleHostWindows())
    host->Close();
  EXPECT_EQ(listed[0]->StatusText(), L"已运行");
  EXPECT_EQ(listed[0]->time.wHour, scheduled.wHour);
  EXPECT_EQ(listed[0]->time.wMinute, scheduled.wMinute);

  // Pausing, modifying or deleting the task drops a postponement.
  for (IQuelmTask* task : listed)
    task->Postpone(ReadClock(), TaskManager::kPostponeMs);
  manager.SetPaused(listed[0]);
  IQuelmTask edited(*listed[1]);
  manager.ModifyTask(edited);
  EXPECT_FALSE(listed[0]->IsPostponed());
  EXPECT_FALSE(listed[1]->IsPostponed());
  EXPECT_EQ(listed[0]->StatusText(), L"已暂停");
  SetTaskPopups(previous);
  EXPECT_EQ(Results(), (std::vector<std::wstring>{L"已提醒", L"已推迟", L"已推迟", L"已提醒",
                                                  L"已推迟", L"已推迟", L"已提醒"}));
}

// Wine's GDI+ draws no ellipsis, so what is checked is the title's request for one, in the words
// its text painter reads: "trim" true, or "ntrim" 3 to 5.
TEST_F(PopupWindowsTest, AReminderTitleTooLongForItsLineAsksForAnEllipsis) {
  RemindTips* tips = RemindTips::Open(TaskOf(ActionKind::Remind, std::wstring(60, L'长')), nullptr);
  ASSERT_NE(tips, nullptr);
  UIControl* title = tips->GetRoot()->FindById(L"idtitle");
  ASSERT_NE(title, nullptr);
  const int ntrim = ParseDecimal(title->GetAttribute(L"ntrim"));
  EXPECT_TRUE(ParseBool(title->GetAttribute(L"trim")) || (ntrim >= 3 && ntrim <= 5))
      << "trim=" << testing::PrintToString(title->GetAttribute(L"trim")) << " ntrim=" << ntrim;
  tips->Close();
}

// Every rectangle a window of this thread had while visible, in the order it had them.
std::vector<std::pair<HWND, RECT>> visibleRects;

LRESULT CALLBACK RecordVisibleRect(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
  if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGED && IsWindowVisible(call->hwnd)) {
    RECT r;
    GetWindowRect(call->hwnd, &r);
    visibleRects.emplace_back(call->hwnd, r);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Something outside the program that finds a popup visible must also find it where it stays:
// a click aimed at it would otherwise land beside it.
TEST_F(PopupWindowsTest, PopupsBecomeVisibleOnlyAtTheirCentredPlace) {
  struct Case {
    const char* name;
    UIHostWnd* (*open)();
  };
  const Case cases[] = {
      {"reminder",
       [] { return static_cast<UIHostWnd*>(RemindTips::Open(TaskOf(ActionKind::Remind), nullptr)); }},
      {"confirmation",
       [] { return static_cast<UIHostWnd*>(ShutdownTips::Open(TaskOf(ActionKind::Shutdown), nullptr)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    visibleRects.clear();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, RecordVisibleRect, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    UIHostWnd* host = c.open();
    UnhookWindowsHookEx(hook);
    ASSERT_NE(host, nullptr);
    RECT final;
    GetWindowRect(host->GetHwnd(), &final);
    EXPECT_GT(final.left, 0);
    int seen = 0;
    for (const auto& [hwnd, r] : visibleRects) {
      if (hwnd != host->GetHwnd())
        continue;
      ++seen;
      EXPECT_TRUE(EqualRect(&r, &final)) << "visible at " << r.left << "," << r.top << " "
                                         << r.right - r.left << "x" << r.bottom - r.top;
    }
    EXPECT_GT(seen, 0);
    host->Close();
  }
}

// Points TMP and TEMP of this process at `folder` for the object's life.
class ScopedTemp {
 public:
  explicit ScopedTemp(const std::wstring& folder) {
    for (const wchar_t* name : {L"TMP", L"TEMP"}) {
      wchar_t old[32768] = {};
      DWORD length = GetEnvironmentVariableW(name, old, 32768);
      saved_[name] = std::wstring(old, length);
      SetEnvironmentVariableW(name, folder.c_str());
    }
  }
  ~ScopedTemp() {
    for (const auto& [name, value] : saved_)
      SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
  }

 private:
  std::map<std::wstring, std::wstring> saved_;
};

TEST_F(PopupWindowsTest, CleaningDialogShowsTheRunningTotalAndClosesAfterTheRun) {
  TempDir scratch;
  ScopedTemp temp(scratch.path());
  CreateDirectoryW(scratch.Child(L"sub").c_str(), nullptr);
  const std::wstring big = scratch.WriteFile(L"sub\\big.bin", std::string(2 << 20, 'x'));
  const std::wstring small = scratch.WriteFile(L"small.txt", std::string(3000, 'y'));
  const std::wstring held = scratch.WriteFile(L"zheld.txt", std::string(5000, 'z'));
  const uint64_t freed = GetFileSizeOnDisk(big) + GetFileSizeOnDisk(small);
  ScopedHandle lock(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock.valid());

  CleanTmpDlg* dialog = CleanTmpDlg::Start(nullptr, CleanPauses{5, 300});
  ASSERT_NE(dialog, nullptr);
  dialog->AddRef();
  EXPECT_EQ(ControlText(dialog, L"idstatustitle"), L"准备中");
  EXPECT_EQ(ControlText(dialog, L"idstatus"), L"...");

  // The last report is in while the window still shows it.
  ASSERT_TRUE(PumpUntil([&] { return ControlText(dialog, L"idstatus") == held; }));
  EXPECT_TRUE(dialog->WindowExists());
  EXPECT_EQ(dialog->Total(), freed);
  EXPECT_EQ(ControlText(dialog, L"idstatustitle"), FormatSize(freed));
  EXPECT_EQ(FormatSize(freed).back(), L'M');

  ASSERT_TRUE(PumpUntil([&] { return !dialog->WindowExists(); }));
  EXPECT_FALSE(PathExists(big));
  EXPECT_FALSE(PathExists(small));
  EXPECT_TRUE(PathExists(held));
  dialog->Release();
}

TEST_F(PopupWindowsTest, ClosingTheCleaningDialogMidRunLeavesTheWorkerHarmless) {
  TempDir scratch;
  ScopedTemp temp(scratch.path());
  std::vector<std::wstring> files;
  for (int i = 0; i < 6; ++i)
    files.push_back(scratch.WriteFile(L"f" + std::to_wstring(i), std::string(1000, 'a')));

  uint64_t all = 0;
  for (const std::wstring& f : files)
    all += GetFileSizeOnDisk(f);

  CleanTmpDlg* dialog = CleanTmpDlg::Start(nullptr, CleanPauses{100, 0});
  ASSERT_NE(dialog, nullptr);
  dialog->AddRef();
  ASSERT_TRUE(PumpUntil([&] { return dialog->Total() > 0; }));
  ClickControl(dialog, L"btnclose");
  EXPECT_FALSE(dialog->WindowExists());
  const uint64_t shown = dialog->Total();

  ASSERT_TRUE(PumpUntil([&] {
    return std::none_of(files.begin(), files.end(), [](const std::wstring& f) { return PathExists(f); });
  }));
  EXPECT_EQ(dialog->Total(), shown) << "reports into a closed window";
  EXPECT_LT(shown, all);
  dialog->Release();
}

}  // namespace
