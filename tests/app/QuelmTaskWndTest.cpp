// The main window built from the shipped layout, read out of the built program, and driven
// with real window messages.
#include "app/QuelmTaskWnd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <thread>

#include "app/AppControls.h"
#include "app/HistoryList.h"
#include "app/MainMenu.h"
#include "app/RunHistoryDlg.h"
#include "app/Startup.h"
#include "pages/ListCtrlItem.h"
#include "pages/PageList.h"
#include "popups/TaskPopupWindows.h"
#include "sys/Files.h"
#include "sys/GdiplusSession.h"
#include "sys/HandOff.h"
#include "sys/MainWindowHandle.h"
#include "sys/Registry.h"
#include "tasks/IQuelmTask.h"
#include "tasks/RunHistory.h"
#include "tasks/Settings.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskStore.h"
#include "tasks/WakeScheduler.h"
#include "tests/support/FakeClock.h"
#include "tests/support/HostLinks.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/RecordingSystemActions.h"
#include "tests/support/TempDir.h"
#include "ui/controls/MenuLoader.h"
#include "ui/controls/UIBasicControls.h"
#include "ui/controls/UIListControls.h"
#include "ui/controls/UIMessageBox.h"
#include "ui/core/ResLoaderMgr.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIFont.h"

namespace {

std::wstring ProgramPath() {
  std::wstring tests = GetModuleDirectory();
  return tests.substr(0, tests.find_last_of(L'\\')) + L"\\QuelmTask.exe";
}

// Whether the shell holds the icon (hwnd, id): only an existing icon can be modified.
bool TrayHasIcon(HWND hwnd, UINT id) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = hwnd;
  data.uID = id;
  data.uFlags = NIF_TIP;
  wcscpy(data.szTip, L"Quelm定时任务");
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool TrayDeletes(HWND hwnd, UINT id) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = hwnd;
  data.uID = id;
  return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

void DrainQuit() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

class QuelmTaskWndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdiplus_ = new GdiplusSession;
    program_ = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    loader_ = new ResLoaderMgr;
    loader_->LoadModulePack(program_);
    SetResLoader(loader_);
    RegisterBasicControls();
    RegisterListControls();
    RegisterAppControls();
  }
  static void TearDownTestSuite() {
    SetResLoader(nullptr);
    delete loader_;
    ReleaseDefaultUIFont();
    FreeLibrary(program_);
    delete gdiplus_;
  }
  void TearDown() override { DrainQuit(); }

  // Presses and releases the left button over the control's centre.
  static void Click(UIHostWnd& window, const wchar_t* id) {
    UIControl* control = window.GetRoot()->FindById(id);
    ASSERT_NE(control, nullptr) << id;
    RECT r = control->WindowRect();
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(window.GetHwnd(), WM_MOUSEMOVE, 0, at);
    SendMessageW(window.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window.GetHwnd(), WM_LBUTTONUP, 0, at);
  }

  static GdiplusSession* gdiplus_;
  static HMODULE program_;
  static ResLoaderMgr* loader_;
};

// A main window over a task file of its own, built in this order.
struct StoredWindow {
  TempDir dir;
  TaskStore store{dir.Child(L"task.xml")};
  TaskManager manager{&store};
  QuelmTaskWnd window{&manager};
};

GdiplusSession* QuelmTaskWndTest::gdiplus_ = nullptr;
HMODULE QuelmTaskWndTest::program_ = nullptr;
ResLoaderMgr* QuelmTaskWndTest::loader_ = nullptr;

TEST_F(QuelmTaskWndTest, ShownOrHiddenStartBuildsTheWindowAndTheTrayIcon) {
  ASSERT_NE(program_, nullptr);
  for (bool hidden : {false, true}) {
    QuelmTaskWnd window;
    ASSERT_TRUE(window.CreateAndShow(hidden));
    HWND hwnd = window.GetHwnd();
    EXPECT_EQ(FindWindowW(L"QuelmTask", nullptr), hwnd);
    EXPECT_EQ(IsWindowVisible(hwnd) != FALSE, !hidden);
    RECT r = {};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 552);
    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    EXPECT_STREQ(title, L"Quelm定时任务");
    EXPECT_TRUE(window.IsTrayIconAdded());
    EXPECT_TRUE(TrayHasIcon(hwnd, QuelmTaskWnd::kTrayIconId));
    for (const wchar_t* id : {L"btnmenu", L"btnclose", L"pageAdd", L"pageList", L"header"})
      EXPECT_NE(window.GetRoot()->FindById(id), nullptr) << id;
    // The window is painted: the title-bar background is the layout's opaque colour.
    window.PaintNow();
    EXPECT_EQ(window.BackBufferPixelForTesting(400, 5), 0xFFF6FAFDu);
  }
}

TEST_F(QuelmTaskWndTest, CloseHidesAndTheTrayOrASecondStartShowsAgain) {
  QuelmTaskWnd window;
  ASSERT_TRUE(window.CreateAndShow(false));
  HWND hwnd = window.GetHwnd();
  struct Step {
    const char* what;
    UINT message;
    LPARAM lparam;
  } shows[] = {
      {"tray double-click", QuelmTaskWnd::kTrayMessage, WM_LBUTTONDBLCLK},
      {"second instance", QuelmTaskWnd::kShowMessage, 0},
  };
  for (const Step& s : shows) {
    Click(window, L"btnclose");
    EXPECT_FALSE(IsWindowVisible(hwnd)) << s.what;
    EXPECT_TRUE(IsWindow(hwnd)) << s.what;
    EXPECT_TRUE(TrayHasIcon(hwnd, QuelmTaskWnd::kTrayIconId)) << s.what;
    // Other tray mouse messages leave the window as it is.
    SendMessageW(hwnd, QuelmTaskWnd::kTrayMessage, 0, WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(hwnd)) << s.what;
    PostMessageW(hwnd, s.message, 0, s.lparam);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(hwnd) != FALSE; }, 5000)) << s.what;
  }
  window.OnMenuCommand(static_cast<int>(QuelmTaskWnd::MenuCommand::kHide));
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(QuelmTaskWndTest, TheListsStatusTimerRunsOnlyWhileTheWindowIsShown) {
  FakeClock clock;
  clock.SetLocal(2026, 12, 8, 10, 0, 0);
  RecordingSystemActions system;
  StoredWindow w;
  ASSERT_TRUE(w.window.CreateAndShow(true));
  HWND hwnd = w.window.GetHwnd();
  IQuelmTask daily;
  daily.mode = ScheduleMode::Daily;
  daily.action = ActionKind::Lock;
  daily.time.wHour = 11;
  daily.time.wMinute = daily.time.wSecond = 0;
  std::wstring guid = w.manager.AddTask(daily, true)->guid;
  auto* page = dynamic_cast<PageList*>(w.window.GetRoot()->FindById(L"pageList"));
  ASSERT_NE(page, nullptr);
  // Only a timer that exists can be killed; one that did is set again as it was.
  auto timerRuns = [&] {
    UINT_PTR id = UIControl::TimerId(page->GetHandle(), PageList::kStatusTimer);
    if (!KillTimer(hwnd, id))
      return false;
    SetTimer(hwnd, id, PageList::kStatusPeriodMs, nullptr);
    return true;
  };
  struct Step {
    const char* what;
    UINT message;  // 0: the menu's hide entry
    WPARAM wparam;
    LPARAM lparam;
    bool shown;
  } steps[] = {
      {"tray double-click", QuelmTaskWnd::kTrayMessage, 0, WM_LBUTTONDBLCLK, true},
      {"close button", 0, 0, 0, false},
      {"second instance", QuelmTaskWnd::kShowMessage, 0, 0, true},
      {"Alt+F4", WM_SYSCOMMAND, SC_CLOSE, 0, false},
  };
  EXPECT_FALSE(timerRuns()) << "started hidden";
  int seconds = 3600;
  for (const Step& step : steps) {
    clock.AdvanceSeconds(5);
    seconds -= 5;
    if (step.message)
      SendMessageW(hwnd, step.message, step.wparam, step.lparam);
    else
      Click(w.window, L"btnclose");
    ASSERT_EQ(IsWindowVisible(hwnd) != FALSE, step.shown) << step.what;
    EXPECT_EQ(timerRuns(), step.shown) << step.what;
    if (!step.shown)
      continue;
    wchar_t status[16];
    std::swprintf(status, 16, L"%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    ListCtrlItem* row = page->FindRowByGuid(guid);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->status_label()->GetText(), status) << step.what << ": refreshed at once";
  }
}

TEST_F(QuelmTaskWndTest, EveryCloseRequestHidesOnlyTheSessionsEndStopsAndSaves) {
  FakeClock clock;
  RecordingSystemActions system;
  StoredWindow w;
  ASSERT_TRUE(w.window.CreateAndShow(false));
  HWND hwnd = w.window.GetHwnd();
  for (UINT message : {WM_CLOSE, WM_SYSCOMMAND}) {
    ShowWindow(hwnd, SW_SHOW);
    SendMessageW(hwnd, message, message == WM_SYSCOMMAND ? SC_CLOSE : 0, 0);  // Alt+F4
    EXPECT_TRUE(IsWindow(hwnd)) << message;
    EXPECT_FALSE(IsWindowVisible(hwnd)) << message;
  }

  // A countdown ends; the UI job that writes its pause is left waiting in the queue.
  IQuelmTask count;
  count.mode = ScheduleMode::Countdown;
  count.action = ActionKind::Lock;
  count.time.wHour = count.time.wMinute = 0;
  count.time.wSecond = 1;
  IQuelmTask* listed = w.manager.AddTask(count, true);
  for (int i = 0; i < 1000 && !listed->paused; ++i) {
    clock.AdvanceSeconds(1);
    Sleep(10);
  }
  ASSERT_TRUE(listed->paused);
  EXPECT_EQ(ReadFileBytes(w.store.path()).find("<pause>1</pause>"), std::string::npos);

  EXPECT_EQ(SendMessageW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  SendMessageW(hwnd, WM_ENDSESSION, FALSE, 0);  // another program refused: nothing ends
  EXPECT_EQ(ReadFileBytes(w.store.path()).find("<pause>1</pause>"), std::string::npos);
  SendMessageW(hwnd, WM_ENDSESSION, TRUE, 0);
  EXPECT_NE(ReadFileBytes(w.store.path()).find("<pause>1</pause>"), std::string::npos);
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the loop ends";
}

TEST_F(QuelmTaskWndTest, ExitEndsTheLoopAndTheDestructorRemovesTheTrayIcon) {
  auto window = std::make_unique<QuelmTaskWnd>();
  ASSERT_TRUE(window->CreateAndShow(true));
  HWND hwnd = window->GetHwnd();
  static QuelmTaskWnd* exiting = nullptr;
  exiting = window.get();
  UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
    if (exiting)
      exiting->OnMenuCommand(static_cast<int>(QuelmTaskWnd::MenuCommand::kExit));
    exiting = nullptr;
  });
  EXPECT_EQ(window->RunModal(nullptr), 0);
  KillTimer(nullptr, timer);
  EXPECT_FALSE(IsWindow(hwnd));
  window.reset();
  EXPECT_FALSE(TrayDeletes(hwnd, QuelmTaskWnd::kTrayIconId));
}

TEST_F(QuelmTaskWndTest, ShellRestartPutsTheIconBackOnce) {
  QuelmTaskWnd window;
  ASSERT_TRUE(window.CreateAndShow(true));
  HWND hwnd = window.GetHwnd();
  SendMessageW(hwnd, TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(window.IsTrayIconAdded());
  EXPECT_TRUE(TrayDeletes(hwnd, QuelmTaskWnd::kTrayIconId));
  EXPECT_FALSE(TrayDeletes(hwnd, QuelmTaskWnd::kTrayIconId));  // no duplicate was left
  // The retry timer brings a vanished icon back.
  SendMessageW(hwnd, WM_TIMER, UIControl::TimerId(window.GetRoot()->GetHandle(), 10), 0);
  EXPECT_TRUE(TrayHasIcon(hwnd, QuelmTaskWnd::kTrayIconId));
}

TEST_F(QuelmTaskWndTest, AutostartEntryFlipsTheRunValue) {
  const bool before = IsAutostartOn();
  QuelmTaskWnd window;
  ASSERT_TRUE(window.CreateAndShow(true));
  const int autostart = static_cast<int>(QuelmTaskWnd::MenuCommand::kAutostart);
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  for (int round = 0; round < 2; ++round) {
    bool was = IsAutostartOn();
    window.OnMenuCommand(autostart);
    EXPECT_NE(IsAutostartOn(), was);
    EXPECT_EQ(ReadRunValue(L"QuelmTask"), was ? L"" : L"\"" + std::wstring(self) + L"\"");
  }
  SetAutostart(before);
}

}  // namespace

namespace {

TEST_F(QuelmTaskWndTest, AutostartAndWakeEntriesAreCheckedOnlyWhileOn) {
  const bool before = IsAutostartOn();
  const bool wakeBefore = AppSettings().wake;
  for (int state = 0; state < 4; ++state) {
    const bool autostart = state & 1, wake = state & 2;
    SetAutostart(autostart);
    AppSettings().wake = wake;
    std::unique_ptr<SkinMenu> menu = LoadSkinMenu(L"xml\\mainmenu.xml");
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->items.size(), 9u);
    DecorateMainMenu(menu.get());
    EXPECT_EQ(menu->items[4].text, L"开机启动");
    EXPECT_EQ(menu->items[6].text, L"唤醒电脑执行任务");
    for (size_t i = 0; i < menu->items.size(); ++i) {
      const SkinMenuItem& entry = menu->items[i];
      const bool on = (i == 4 && autostart) || (i == 6 && wake);
      EXPECT_EQ(entry.Is(SkinMenuItem::kChecked), on) << state << " " << i;
      if (i == 4 || i == 6) {
        EXPECT_EQ(entry.Is(SkinMenuItem::kHasImage), on);
        EXPECT_EQ(entry.image, on ? L"img\\btn\\check.png" : L"");
      }
    }
  }
  AppSettings().wake = wakeBefore;
  // A shorter menu has no autostart entry to mark.
  SetAutostart(true);
  SkinMenu shortMenu;
  shortMenu.items.resize(4);
  DecorateMainMenu(&shortMenu);
  for (const SkinMenuItem& item : shortMenu.items)
    EXPECT_FALSE(item.Is(SkinMenuItem::kChecked));
  SetAutostart(before);
}

TEST_F(QuelmTaskWndTest, TheWakeEntrySwitchesTheTimerAndAResumeArmsItAgain) {
  FakeClock clock;
  clock.SetLocal(2099, 5, 1, 7, 0, 0);
  TempDir dir;
  TaskManager manager(nullptr);
  IQuelmTask task;
  task.action = ActionKind::Lock;
  task.time = MakeTime(2099, 5, 1, 8, 0, 0);
  manager.AddTask(task, false);
  WakeScheduler wake(&manager);
  const IniFile previousIni = AppSettings().ini;
  AppSettings().ini.path = dir.Child(L"cfg.ini");
  AppSettings().ini.section = L"QuelmTask";
  AppSettings().wake = false;
  auto armed = [&] {
    SYSTEMTIME moment, wakeAt;
    return wake.ArmedFor(&moment, &wakeAt) ? moment.wDay * 100 + moment.wHour : 0;
  };
  {
    QuelmTaskWnd window(&manager, &wake);
    ASSERT_TRUE(window.CreateAndShow(true));
    EXPECT_EQ(armed(), 0);
    const int entry = static_cast<int>(QuelmTaskWnd::MenuCommand::kWake);
    window.OnMenuCommand(entry);
    EXPECT_TRUE(AppSettings().wake);
    EXPECT_EQ(AppSettings().ini.ReadString(L"wake", L""), L"1");
    EXPECT_EQ(armed(), 108) << "the task's 08:00 today";
    clock.SetLocal(2099, 5, 1, 9, 0, 0);
    SendMessageW(window.GetHwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_EQ(armed(), 208) << "woken after it, the timer waits for tomorrow's";
    clock.SetLocal(2099, 5, 3, 7, 0, 0);
    SendMessageW(window.GetHwnd(), WM_TIMECHANGE, 0, 0);
    EXPECT_EQ(armed(), 308);
    clock.SetLocal(2099, 5, 3, 7, 59, 30);
    SendMessageW(window.GetHwnd(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    SYSTEMTIME moment, wakeAt;
    ASSERT_TRUE(wake.ArmedFor(&moment, &wakeAt));
    EXPECT_EQ(wakeAt.wHour * 100 + wakeAt.wMinute, 800) << "asleep within the lead: at the second";
    window.OnMenuCommand(entry);
    EXPECT_FALSE(AppSettings().wake);
    EXPECT_EQ(AppSettings().ini.ReadString(L"wake", L""), L"0");
    EXPECT_EQ(armed(), 0);
  }
  manager.Stop();
  AppSettings().ini = previousIni;
}

TEST_F(QuelmTaskWndTest, TheAddPageStartsInAddModeWithTodaysDate) {
  QuelmTaskWnd window;
  ASSERT_TRUE(window.CreateAndShow(true));
  UIControl* root = window.GetRoot();
  // The layout hides every button of the form; only the page's start shows the add set.
  EXPECT_TRUE(root->FindById(L"btnadd")->IsVisible());
  EXPECT_FALSE(root->FindById(L"btnmodifyok")->IsVisible());
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[16];
  swprintf(date, 16, L"%d/%02d/%02d", now.wYear, now.wMonth, now.wDay);
  EXPECT_EQ(root->FindById(L"iddate")->GetText(), date);
}

}  // namespace

namespace {

// The visible reminder windows the program has open, owned by `owner`.
int ReminderWindows(HWND owner) {
  struct Count {
    HWND owner;
    int n = 0;
  } count{owner};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM context) {
        Count* c = reinterpret_cast<Count*>(context);
        wchar_t name[32] = {};
        GetClassNameW(hwnd, name, 32);
        RECT r = {};
        GetWindowRect(hwnd, &r);
        if (wcscmp(name, L"UIWidget") == 0 && IsWindowVisible(hwnd) &&
            GetWindow(hwnd, GW_OWNER) == c->owner && r.right - r.left == 460 &&
            r.bottom - r.top == 300)
          ++c->n;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

// Started hidden soon after boot, the stored after-boot reminder fires in the scheduler's
// first passes, while the window is still being built and the pages register with the
// manager, and only once.
TEST_F(QuelmTaskWndTest, HiddenStartShowsAnAfterBootReminderAtOnce) {
  FakeClock clock;
  clock.SetLocal(2031, 2, 3, 8, 0, 0);
  clock.SetUpTimeMs(10000);
  TempDir dir;
  TaskStore store(dir.Child(L"task.xml"));
  std::wstring guid;
  {
    TaskManager seed(&store);
    IQuelmTask task;
    task.mode = ScheduleMode::AfterBoot;
    task.action = ActionKind::Remind;
    task.name = L"开机提醒";
    task.param1 = L"备份照片";
    guid = seed.AddTask(task, true)->guid;
  }
  CreateHandOffWindow();
  TaskManager manager(&store);
  TaskPopupWindows popups(&MainWindowHandle);
  SetTaskPopups(&popups);
  // A new second every 50 ms, from before the scheduler starts.
  std::atomic<bool> ticking{true};
  std::thread ticker([&] {
    for (int i = 0; i < 200 && ticking; ++i) {
      clock.AdvanceSeconds(1);
      Sleep(50);
    }
  });
  {
    QuelmTaskWnd window(&manager);
    EXPECT_TRUE(window.CreateAndShow(true));
    SetMainWindowHandle(window.GetHwnd());
    EXPECT_TRUE(PumpUntil([&] { return ReminderWindows(window.GetHwnd()) == 1; }));
    // Later passes leave the ran task alone.
    uint64_t seen = clock.UpTimeMs();
    PumpUntil([&] { return clock.UpTimeMs() >= seen + 5000; });
    EXPECT_EQ(ReminderWindows(window.GetHwnd()), 1);
    EXPECT_FALSE(IsWindowVisible(window.GetHwnd()));
    EXPECT_TRUE(window.IsTrayIconAdded());
    IQuelmTask* listed = manager.FindTask(guid);
    EXPECT_TRUE(listed && listed->ran.load());
    SetMainWindowHandle(nullptr);
  }
  ticking = false;
  ticker.join();
  SetTaskPopups(nullptr);
  manager.Stop();
}

}  // namespace

namespace {

int g_clearAnswer = 0;  // the button the clearing question is answered with

void AnswerClear(UIMessageBox* box) {
  UIControl* target = box->button_controls().at(g_clearAnswer - 1);
  RECT r = target->WindowRect();
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageW(box->hwnd(), WM_MOUSEMOVE, 0, at);
  PostMessageW(box->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(box->hwnd(), WM_LBUTTONUP, 0, at);
}

std::vector<std::wstring> ListedResults(RunHistoryDlg* dialog) {
  std::vector<std::wstring> results;
  for (const HistoryEvent& e : dialog->list()->events())
    results.push_back(e.result);
  return results;
}

TEST_F(QuelmTaskWndTest, TheHistoryEntryOpensOneWindowThatFollowsTheHistory) {
  FakeClock clock;
  clock.SetLocal(2031, 2, 3, 8, 0, 0);
  ASSERT_NE(CreateHandOffWindow(), nullptr);
  TempDir dir;
  RunHistory history(dir.Child(L"history.log"));
  ScopedRunHistory install(&history);
  IQuelmTask task;
  task.action = ActionKind::Lock;
  RecordRun(task, kRunDone);
  RecordRun(task, FailedResult(L"无法注销"));
  QuelmTaskWnd window;
  ASSERT_TRUE(window.CreateAndShow(true));
  const int entry = static_cast<int>(QuelmTaskWnd::MenuCommand::kHistory);
  window.OnMenuCommand(entry);
  RunHistoryDlg* dialog = RunHistoryDlg::Current();
  ASSERT_NE(dialog, nullptr);
  RECT r = {};
  GetWindowRect(dialog->GetHwnd(), &r);
  EXPECT_EQ(r.right - r.left, 600);
  EXPECT_EQ(r.bottom - r.top, 460);
  EXPECT_EQ(ListedResults(dialog), (std::vector<std::wstring>{L"失败：无法注销", L"已执行"}));
  EXPECT_EQ(dialog->GetRoot()->FindById(L"idcount")->GetText(), L"共 2 条记录");
  // The first row's card, right of its result column.
  dialog->PaintNow();
  EXPECT_EQ(dialog->BackBufferPixelForTesting(585, 48 + 37 + HistoryList::kRowHeight / 2),
            0xFFFFFFFFu);
  window.OnMenuCommand(entry);
  EXPECT_EQ(RunHistoryDlg::Current(), dialog) << "one window at a time";

  RecordRun(task, kRunCancelled);
  EXPECT_TRUE(PumpUntil([&] { return ListedResults(dialog).size() == 3; }));
  EXPECT_EQ(ListedResults(dialog).front(), L"已取消");

  UIMessageBox::SetShownHookForTesting(&AnswerClear);
  for (int answer : {1, 2}) {
    g_clearAnswer = answer;
    Click(*dialog, L"btnclear");
    EXPECT_EQ(history.ReadNewestFirst().size(), answer == 1 ? 3u : 0u);
    EXPECT_EQ(ListedResults(dialog).size(), answer == 1 ? 3u : 0u);
  }
  UIMessageBox::SetShownHookForTesting(nullptr);
  EXPECT_EQ(dialog->GetRoot()->FindById(L"idcount")->GetText(), L"共 0 条记录");
  dialog->Close();
  EXPECT_EQ(RunHistoryDlg::Current(), nullptr);
  DestroyHandOffWindow();
}

}  // namespace

namespace {

int g_boxes = 0;
std::wstring g_boxText;

void RecordAndConfirm(UIMessageBox* box) {
  ++g_boxes;
  g_boxText = box->text_label()->GetText();
  g_clearAnswer = 1;
  AnswerClear(box);
}

}  // namespace

TEST_F(QuelmTaskWndTest, ADataFolderThatIsALinkKeepsTheTasksSavesNothingAndSaysSoOnce) {
  TempDir dir;
  TempDir elsewhere;
  IQuelmTask stored;
  stored.name = L"stored";
  ASSERT_TRUE(TaskStore(elsewhere.Child(L"task.xml")).Save({&stored}));
  const std::string before = ReadFileBytes(elsewhere.Child(L"task.xml"));
  const std::wstring linked = dir.Child(L"QuelmTask");
  ASSERT_TRUE(MakeHostSymlinkAt(elsewhere.path(), linked));
  g_boxes = 0;
  UIMessageBox::SetShownHookForTesting(&RecordAndConfirm);
  {
    TaskStore store(linked + L"\\task.xml");
    TaskManager manager(&store);
    QuelmTaskWnd window(&manager);
    ASSERT_TRUE(window.CreateAndShow(true));
    EXPECT_TRUE(PumpUntil([] { return g_boxes > 0; }));
    std::vector<IQuelmTask*> tasks = manager.TakeSnapshot();
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks[0]->name, L"stored");
    for (IQuelmTask* task : tasks)
      task->Release();
    IQuelmTask added;
    manager.AddTask(added, true);
    tasks = manager.TakeSnapshot();
    EXPECT_EQ(tasks.size(), 2u) << "kept in memory";
    for (IQuelmTask* task : tasks)
      task->Release();
    window.ShowAndActivate();
    manager.Stop();
  }
  UIMessageBox::SetShownHookForTesting(nullptr);
  EXPECT_TRUE(RemoveHostLinkAt(linked));
  EXPECT_EQ(g_boxes, 1);
  EXPECT_EQ(g_boxText, L"数据文件夹 " + linked + L" 是一个链接，任务不会被保存。");
  EXPECT_EQ(ReadFileBytes(elsewhere.Child(L"task.xml")), before);
  EXPECT_FALSE(PathExists(elsewhere.Child(L"task.xml.tmp")));
}
