#include "tasks/TaskManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "sys/HandOff.h"
#include "sys/ProcessProbe.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManagerDel.h"
#include "tasks/TaskStore.h"
#include "tests/support/FakeClock.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/RecordingSystemActions.h"

namespace {

// A store that keeps the saved lists in memory; Load lists the tasks it was given.
class MemoryStore : public TaskStore {
 public:
  MemoryStore() : TaskStore(L"") {}
  void Load(TaskManager& manager) override {
    for (IQuelmTask& task : toLoad)
      manager.AddTask(task, false);
  }
  PendingSave PrepareSave(const std::vector<IQuelmTask*>& tasks) override {
    std::vector<IQuelmTask> copy;
    for (IQuelmTask* task : tasks)
      copy.push_back(*task);
    saves.push_back(copy);
    return PendingSave();
  }
  bool CommitSave(PendingSave) override { return true; }
  std::vector<IQuelmTask> toLoad;
  std::vector<std::vector<IQuelmTask>> saves;
};

struct Event {
  char kind;  // 'a'dded, 'm'odified, 'r'emoved, 'x' ran
  std::wstring guid;
  IQuelmTask* task;
};

class ObserverLog : public TaskManagerDel {
 public:
  // With `order`, every call is also appended there as `tag` followed by the kind, so that
  // several observers share one record of the order of calls.
  explicit ObserverLog(std::vector<std::string>* order = nullptr, char tag = 0)
      : order_(order), tag_(tag) {}
  void OnTaskAdded(IQuelmTask* t) override { Record('a', t); }
  void OnTaskModified(IQuelmTask* t) override { Record('m', t); }
  void OnTaskRemoved(IQuelmTask* t) override { Record('r', t); }
  void OnTaskRan(IQuelmTask* t) override { Record('x', t); }

  std::vector<Event> Events() {
    std::lock_guard<std::mutex> hold(mutex_);
    return events_;
  }
  std::vector<std::wstring> Ran() {
    std::vector<std::wstring> guids;
    for (const Event& e : Events()) {
      if (e.kind == 'x')
        guids.push_back(e.guid);
    }
    return guids;
  }
  bool WaitForRan(size_t count) {
    std::unique_lock<std::mutex> hold(mutex_);
    return changed_.wait_for(hold, std::chrono::seconds(10), [&] {
      size_t n = 0;
      for (const Event& e : events_)
        n += e.kind == 'x';
      return n >= count;
    });
  }

 private:
  void Record(char kind, IQuelmTask* t) {
    std::lock_guard<std::mutex> hold(mutex_);
    events_.push_back({kind, t->guid, t});
    if (order_)
      order_->push_back(std::string{tag_, kind});
    changed_.notify_all();
  }
  std::vector<std::string>* order_;
  char tag_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;
};

// Records the system actions; the targets opened are what the tests watch. An opening can be
// held until the test releases it, to keep an action running.
class OpeningActions : public RecordingSystemActions {
 public:
  LaunchResult ShellOpen(const std::wstring& target) override {
    LaunchResult result = RecordingSystemActions::ShellOpen(target);
    std::unique_lock<std::mutex> hold(mutex_);
    released_.wait(hold, [&] { return !holdOpenings_; });
    return result;
  }

  void HoldOpenings() {
    std::lock_guard<std::mutex> hold(mutex_);
    holdOpenings_ = true;
  }
  void Release() {
    std::lock_guard<std::mutex> hold(mutex_);
    holdOpenings_ = false;
    released_.notify_all();
  }
  std::vector<std::wstring> Opened() const {
    std::vector<std::wstring> targets;
    for (const RecordedCall& call : Calls()) {
      EXPECT_EQ(call.name, L"ShellOpen") << "these tests run only openings";
      targets.push_back(call.args.at(0));
    }
    return targets;
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool holdOpenings_ = false;
};

IQuelmTask DailyOpen(int hour, int minute, int second, const std::wstring& url) {
  IQuelmTask task;
  task.mode = ScheduleMode::Daily;
  // Opening a file opens every piece as it stands, so the label comes back as the target.
  task.action = ActionKind::OpenFile;
  task.param1 = url;
  task.time.wHour = static_cast<WORD>(hour);
  task.time.wMinute = static_cast<WORD>(minute);
  task.time.wSecond = static_cast<WORD>(second);
  return task;
}

// Running programs as the test says; records what the watch asked.
class FakeProbe : public ProcessProbe {
 public:
  FakeProbe() : previous_(SetProcessProbe(this)) {}
  ~FakeProbe() override { SetProcessProbe(previous_); }
  std::vector<std::wstring> RunningAmong(const std::vector<std::wstring>& paths) override {
    std::lock_guard<std::mutex> hold(mutex_);
    asked.push_back(paths);
    std::vector<std::wstring> found;
    for (const std::wstring& path : paths) {
      if (std::find(running.begin(), running.end(), path) != running.end())
        found.push_back(path);
    }
    return found;
  }
  void SetRunning(std::vector<std::wstring> paths) {
    std::lock_guard<std::mutex> hold(mutex_);
    running = std::move(paths);
  }

  std::vector<std::vector<std::wstring>> asked;  // one entry per walk

 private:
  std::mutex mutex_;
  std::vector<std::wstring> running;
  ProcessProbe* previous_;
};

IQuelmTask WatchOpen(const std::wstring& program, const std::wstring& url) {
  IQuelmTask task = DailyOpen(0, 0, 0, url);
  task.mode = ScheduleMode::Watch;
  task.watch = program;
  return task;
}

IQuelmTask CountOpen(ScheduleMode mode, int minutes, int seconds, const std::wstring& url) {
  IQuelmTask task = DailyOpen(0, minutes, seconds, url);
  task.mode = mode;
  return task;
}

class TaskManagerTest : public testing::Test {
 protected:
  void SetUp() override {
    liveBefore_ = IQuelmTask::LiveCount();
    clock.SetLocal(2024, 5, 1, 9, 59, 58);
    last = clock.LocalTime();
    manager.AddObserver(&log);
  }
  void TearDown() override {
    manager.Stop();
    manager.RemoveObserver(&log);
  }
  // Moves the clock and lets the scheduler evaluate once, as its loop would.
  bool Step(uint64_t seconds = 1) {
    clock.AdvanceSeconds(seconds);
    return manager.RunSchedulerPass(last);
  }

  FakeClock clock;
  OpeningActions actions;
  MemoryStore store;
  TaskManager manager{&store};
  ObserverLog log;
  SYSTEMTIME last = {};
  int32_t liveBefore_ = 0;
};

TEST_F(TaskManagerTest, AddListsACopyWithClearedFlagsAndSavesOnRequest) {
  IQuelmTask mine = DailyOpen(10, 0, 0, L"a");
  mine.ran = true;
  clock.AdvanceSeconds(30);
  IQuelmTask* listed = manager.AddTask(mine, true);
  EXPECT_NE(listed, &mine);
  EXPECT_FALSE(mine.ran) << "the caller's task is re-armed too";
  EXPECT_EQ(mine.startTick, clock.MonotonicMs());
  EXPECT_FALSE(listed->ran);
  EXPECT_EQ(listed->guid, mine.guid);
  EXPECT_EQ(manager.FindTask(mine.guid), listed);
  ASSERT_EQ(store.saves.size(), 1u);
  EXPECT_EQ(store.saves[0].size(), 1u);
  manager.AddTask(mine, false);
  EXPECT_EQ(store.saves.size(), 1u) << "an add without saving writes nothing";
  std::vector<Event> events = log.Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, 'a');
  EXPECT_EQ(events[0].task, listed);
}

TEST_F(TaskManagerTest, ModifyCopiesOntoTheListedTaskClearsRanAndSaves) {
  IQuelmTask mine = DailyOpen(10, 0, 0, L"a");
  IQuelmTask* listed = manager.AddTask(mine, false);
  listed->ran = true;
  IQuelmTask edit(*listed);
  edit.param1 = L"b";
  manager.ModifyTask(edit);
  EXPECT_EQ(listed->param1, L"b");
  EXPECT_FALSE(listed->ran);
  ASSERT_EQ(store.saves.size(), 1u);
  EXPECT_EQ(store.saves[0][0].param1, L"b");
  EXPECT_EQ(log.Events().back().kind, 'm');
  EXPECT_EQ(log.Events().back().task, listed);

  IQuelmTask stranger = DailyOpen(1, 2, 3, L"c");
  manager.ModifyTask(stranger);
  EXPECT_EQ(store.saves.size(), 1u) << "an unknown GUID changes nothing";
  EXPECT_EQ(log.Events().size(), 2u);
}

TEST_F(TaskManagerTest, DeleteRemovesNotifiesWithTheLiveTaskAndFreesIt) {
  IQuelmTask a = DailyOpen(10, 0, 0, L"a"), b = DailyOpen(11, 0, 0, L"b");
  IQuelmTask c = DailyOpen(12, 0, 0, L"c");
  manager.AddTask(a, false);
  manager.AddTask(b, false);
  manager.AddTask(c, false);
  int32_t live = IQuelmTask::LiveCount();
  manager.DeleteTask(b.guid);
  EXPECT_EQ(manager.FindTask(b.guid), nullptr);
  ASSERT_EQ(store.saves.size(), 1u);
  EXPECT_EQ(IQuelmTask::LiveCount(), live - 1 + 2) << "freed; the store kept copies of two";
  ASSERT_EQ(store.saves[0].size(), 2u);
  EXPECT_EQ(store.saves[0][0].guid, a.guid);
  EXPECT_EQ(store.saves[0][1].guid, c.guid) << "the others keep their order";
  EXPECT_EQ(log.Events().back().kind, 'r');
  EXPECT_EQ(log.Events().back().guid, b.guid);
  manager.DeleteTask(b.guid);
  EXPECT_EQ(store.saves.size(), 1u);

  manager.DeleteTask(a.guid);
  manager.DeleteTask(c.guid);
  ASSERT_EQ(store.saves.size(), 3u);
  EXPECT_TRUE(store.saves.back().empty()) << "deleting the last task saves an empty list";
}

TEST_F(TaskManagerTest, ObserversAreCalledInOrderUntilRemoved) {
  manager.RemoveObserver(&log);
  std::vector<std::string> order;
  ObserverLog first(&order, '1'), second(&order, '2'), third(&order, '3');
  manager.AddObserver(&first);
  manager.AddObserver(&second);
  manager.AddObserver(&third);
  IQuelmTask a = DailyOpen(10, 0, 0, L"a");
  manager.AddTask(a, false);
  manager.RemoveObserver(&second);
  manager.RemoveObserver(&second);  // not registered any more: nothing happens
  manager.NotifyObservers(manager.FindTask(a.guid), 1);
  manager.NotifyObservers(manager.FindTask(a.guid), 3);
  EXPECT_EQ(order, (std::vector<std::string>{"1a", "2a", "3a", "1m", "3m"}));
  manager.RemoveObserver(&first);
  manager.RemoveObserver(&third);
}

TEST_F(TaskManagerTest, TwoDailyTasksOfTheSameSecondFireInOnePassInListOrder) {
  manager.RemoveObserver(&log);
  std::vector<std::string> order;
  ObserverLog first(&order, '1'), second(&order, '2');
  manager.AddObserver(&first);
  manager.AddObserver(&second);
  IQuelmTask a = DailyOpen(10, 0, 0, L"first"), b = DailyOpen(10, 0, 0, L"second");
  IQuelmTask other = DailyOpen(10, 0, 1, L"later");
  manager.AddTask(a, false);
  manager.AddTask(b, false);
  manager.AddTask(other, false);
  EXPECT_TRUE(Step());  // 09:59:59
  EXPECT_TRUE(actions.Opened().empty());
  EXPECT_TRUE(Step());  // 10:00:00
  EXPECT_EQ(actions.Opened(), (std::vector<std::wstring>{L"first", L"second"}));
  EXPECT_EQ(first.Ran(), (std::vector<std::wstring>{a.guid, b.guid}));
  EXPECT_EQ(second.Ran(), (std::vector<std::wstring>{a.guid, b.guid}));
  const std::vector<std::string> expected = {"1a", "2a", "1a", "2a", "1a",
                                             "2a", "1x", "2x", "1x", "2x"};
  EXPECT_EQ(order, expected) << "each task is told to every observer before the next runs";
  EXPECT_TRUE(manager.FindTask(a.guid)->ran);
  EXPECT_EQ(manager.FindTask(a.guid)->StatusText(), L"已运行");
  EXPECT_FALSE(manager.RunSchedulerPass(last)) << "the same second is evaluated once";
  EXPECT_EQ(actions.Opened().size(), 2u);
  manager.RemoveObserver(&first);
  manager.RemoveObserver(&second);
}

TEST_F(TaskManagerTest, ASecondSkippedByAClockChangeIsMissed) {
  IQuelmTask a = DailyOpen(10, 0, 0, L"a");
  manager.AddTask(a, false);
  EXPECT_TRUE(Step());                   // 09:59:59
  clock.SetLocal(2024, 5, 1, 10, 0, 1);  // set forward: the monotonic clock did not move
  EXPECT_TRUE(manager.RunSchedulerPass(last));
  EXPECT_TRUE(actions.Opened().empty());
  EXPECT_EQ(manager.FindTask(a.guid)->StatusText(), L"明天");
}

TEST_F(TaskManagerTest, SecondsSkippedWhileBusyAreCaughtUpButAClockChangeIsNot) {
  IQuelmTask a = DailyOpen(10, 0, 0, L"a"), b = DailyOpen(11, 0, 0, L"b");
  manager.AddTask(a, false);
  manager.AddTask(b, false);
  EXPECT_TRUE(Step());   // 09:59:59
  EXPECT_TRUE(Step(3));  // 10:00:02: the thread was busy through 10:00:00 and 10:00:01
  EXPECT_EQ(actions.Opened(), std::vector<std::wstring>{L"a"});
  clock.SetLocal(2024, 5, 1, 11, 30, 0);  // the clock set forward by more than an hour
  clock.AdvanceSeconds(1);
  EXPECT_TRUE(manager.RunSchedulerPass(last));
  EXPECT_EQ(actions.Opened(), std::vector<std::wstring>{L"a"}) << "11:00:00 is not caught up";
}

TEST_F(TaskManagerTest, TheFollowUpReadsTheListedModeAndObserversGetAStableCopy) {
  // Edits the listed task from Interval to Countdown while the scheduler reports the run.
  struct Editor : TaskManagerDel {
    void OnTaskAdded(IQuelmTask*) override {}
    void OnTaskModified(IQuelmTask*) override {}
    void OnTaskRemoved(IQuelmTask*) override {}
    void OnTaskRan(IQuelmTask* t) override {
      IQuelmTask edit(*manager->FindTask(t->guid));
      edit.mode = ScheduleMode::Countdown;
      manager->ModifyTask(edit);
      modeSeen = t->mode;
    }
    TaskManager* manager = nullptr;
    ScheduleMode modeSeen = ScheduleMode::Daily;
  } editor;
  editor.manager = &manager;
  manager.AddObserver(&editor);
  IQuelmTask every = CountOpen(ScheduleMode::Interval, 0, 1, L"i");
  IQuelmTask* listed = manager.AddTask(every, false);
  Step();
  Step();
  manager.RemoveObserver(&editor);
  ASSERT_EQ(actions.Opened().size(), 1u);
  EXPECT_EQ(editor.modeSeen, ScheduleMode::Interval) << "the observer's task did not change";
  EXPECT_TRUE(listed->paused) << "the follow-up of the task as now listed: a countdown";
}

TEST_F(TaskManagerTest, TheSchedulerThreadAnswersMessagesToItsWindows) {
  // An action's shell extension may leave a window on the scheduler thread; a thread that
  // sends to it must get an answer instead of hanging.
  struct WindowMaker : TaskManagerDel {
    void OnTaskAdded(IQuelmTask*) override {}
    void OnTaskModified(IQuelmTask*) override {}
    void OnTaskRemoved(IQuelmTask*) override {}
    void OnTaskRan(IQuelmTask*) override {
      window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                               nullptr);
    }
    std::atomic<HWND> window{nullptr};
  } maker;
  manager.AddObserver(&maker);
  IQuelmTask a = DailyOpen(10, 0, 0, L"a");
  manager.AddTask(a, false);
  manager.Start();
  clock.AdvanceSeconds(2);
  manager.Wake();
  ASSERT_TRUE(log.WaitForRan(1));
  ASSERT_TRUE(PumpUntil([&] { return maker.window.load() != nullptr; }));
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(maker.window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result), 0);
  manager.Stop();
  manager.RemoveObserver(&maker);
}

TEST_F(TaskManagerTest, StartingAgainAfterStopDoesNotLoadTwice) {
  store.toLoad.push_back(DailyOpen(10, 0, 0, L"loaded"));
  manager.Start();
  manager.Stop();
  manager.Start();
  std::vector<IQuelmTask*> listed = manager.TakeSnapshot();
  EXPECT_EQ(listed.size(), 1u);
  for (IQuelmTask* task : listed)
    task->Release();
}

TEST_F(TaskManagerTest, TheDayChangeRearmsDailyAndWeeklyTasksOnly) {
  clock.SetLocal(2024, 5, 1, 23, 59, 58);  // a Wednesday
  last = clock.LocalTime();
  IQuelmTask daily = DailyOpen(23, 59, 59, L"d");
  IQuelmTask once = DailyOpen(23, 59, 59, L"o");
  once.mode = ScheduleMode::AtDateTime;
  once.time = MakeTime(2024, 5, 1, 23, 59, 59);
  IQuelmTask weekly = DailyOpen(23, 59, 59, L"w");
  weekly.mode = ScheduleMode::Weekly;
  weekly.week = 0x0C;  // Wednesday and Thursday
  manager.AddTask(daily, false);
  manager.AddTask(once, false);
  manager.AddTask(weekly, false);
  Step();  // 23:59:59
  EXPECT_EQ(actions.Opened().size(), 3u);
  Step();  // 00:00:00 of the next day
  EXPECT_FALSE(manager.FindTask(daily.guid)->ran);
  EXPECT_FALSE(manager.FindTask(weekly.guid)->ran);
  EXPECT_TRUE(manager.FindTask(once.guid)->ran) << "nothing re-arms a dated task";
  Step(86399);  // Thursday 23:59:59
  Step(86400);  // Friday, not a day of the weekly task
  EXPECT_EQ(actions.Opened(), (std::vector<std::wstring>{L"d", L"o", L"w", L"d", L"w", L"d"}));
}

TEST_F(TaskManagerTest, IntervalRepeatsEverySixtyOrSixtyOneSeconds) {
  IQuelmTask every = CountOpen(ScheduleMode::Interval, 1, 0, L"i");
  manager.AddTask(every, false);
  std::vector<uint64_t> fired;
  for (int i = 0; i < 250; ++i) {
    size_t before = actions.Opened().size();
    Step();
    if (actions.Opened().size() > before)
      fired.push_back(clock.MonotonicMs());
  }
  ASSERT_EQ(fired.size(), 4u);
  for (size_t i = 1; i < fired.size(); ++i)
    EXPECT_TRUE(fired[i] - fired[i - 1] == 60000 || fired[i] - fired[i - 1] == 61000);
  EXPECT_FALSE(manager.FindTask(every.guid)->ran) << "an interval re-arms after its action";
}

TEST_F(TaskManagerTest, SwitchingAPausedIntervalOnRestartsItsPeriod) {
  IQuelmTask every = CountOpen(ScheduleMode::Interval, 1, 0, L"i");
  IQuelmTask* listed = manager.AddTask(every, false);
  Step(30);
  manager.SetPaused(listed);
  EXPECT_TRUE(listed->paused);
  EXPECT_EQ(listed->StatusText(), L"已暂停");
  for (int i = 0; i < 100; ++i)
    Step();
  EXPECT_TRUE(actions.Opened().empty());
  manager.SetPaused(listed);
  EXPECT_FALSE(listed->paused);
  ASSERT_EQ(store.saves.size(), 2u);
  EXPECT_TRUE(store.saves[0][0].paused);
  EXPECT_FALSE(store.saves[1][0].paused);
  uint64_t switchedOn = clock.MonotonicMs();
  while (actions.Opened().empty() && clock.MonotonicMs() - switchedOn < 120000)
    Step();
  EXPECT_EQ(clock.MonotonicMs() - switchedOn, 61000u) << "one full period after the switch";
}

// A clock that runs `during` once, the next time the monotonic clock is read: the scheduler
// thread taking its turn in the middle of a change made on the UI thread.
class InterruptingClock : public FakeClock {
 public:
  uint64_t MonotonicMs() override {
    std::function<void()> run = std::move(during);
    during = nullptr;
    if (run)
      run();
    return FakeClock::MonotonicMs();
  }
  std::function<void()> during;
};

TEST_F(TaskManagerTest, SwitchingOnNeverRunsAnOverdueCountAtOnce) {
  for (ScheduleMode mode : {ScheduleMode::Countdown, ScheduleMode::Interval}) {
    InterruptingClock interrupting;
    SYSTEMTIME seen = interrupting.LocalTime();
    auto pass = [&](int seconds) {
      interrupting.AdvanceSeconds(seconds);
      manager.RunSchedulerPass(seen);
    };
    IQuelmTask count = CountOpen(mode, 1, 0, L"c");
    IQuelmTask* listed = manager.AddTask(count, false);
    manager.SetPaused(listed);
    pass(600);  // long past the old origin's minute
    interrupting.during = [&] { pass(1); };
    manager.SetPaused(listed);
    EXPECT_FALSE(listed->paused);
    EXPECT_TRUE(actions.Opened().empty()) << static_cast<int>(mode);
    for (int i = 0; i < 61 && actions.Opened().empty(); ++i)
      pass(1);
    EXPECT_EQ(actions.Opened().size(), 1u) << "one minute after the switch";
    actions.Clear();
    manager.DeleteTask(listed->guid);
  }
}

TEST_F(TaskManagerTest, EditingATaskThatRanTodayRearmsIt) {
  IQuelmTask a = DailyOpen(10, 0, 0, L"a");
  IQuelmTask* listed = manager.AddTask(a, false);
  Step();
  Step();  // 10:00:00: fires
  ASSERT_TRUE(listed->ran);
  IQuelmTask edit(*listed);
  edit.time.wMinute = 5;
  manager.ModifyTask(edit);
  EXPECT_FALSE(listed->ran);
  Step(300);  // 10:05:00
  EXPECT_EQ(actions.Opened().size(), 2u);
}

TEST_F(TaskManagerTest, AFinishedCountdownPausesAndTheUiJobStoresThePause) {
  ASSERT_NE(CreateHandOffWindow(), nullptr);
  IQuelmTask count = CountOpen(ScheduleMode::Countdown, 0, 3, L"c");
  IQuelmTask* listed = manager.AddTask(count, false);
  for (int i = 0; i < 4; ++i)
    Step();
  EXPECT_EQ(actions.Opened().size(), 1u);
  EXPECT_TRUE(listed->paused);
  EXPECT_TRUE(store.saves.empty()) << "the pause is saved by the UI thread's job";
  ASSERT_TRUE(PumpUntil([&] { return !store.saves.empty(); }));
  ASSERT_EQ(store.saves.size(), 1u);
  EXPECT_TRUE(store.saves[0][0].paused);
  EXPECT_FALSE(listed->ran);
  EXPECT_EQ(listed->StatusText(), L"已暂停");
  EXPECT_EQ(log.Events().back().kind, 'm');
  for (int i = 0; i < 10; ++i)
    Step();
  EXPECT_EQ(actions.Opened().size(), 1u) << "a paused countdown stays quiet";
  DestroyHandOffWindow();
}

TEST_F(TaskManagerTest, WithoutAHandOffWindowTheCountdownEndLeaksNothing) {
  IQuelmTask count = CountOpen(ScheduleMode::Countdown, 0, 0, L"c");
  manager.AddTask(count, false);
  Step();
  EXPECT_EQ(actions.Opened().size(), 1u);
  EXPECT_EQ(IQuelmTask::LiveCount(), liveBefore_ + 2) << "only `count` and the listed task live";
}

TEST_F(TaskManagerTest, StartLoadsTheStoreAndTheLoopRunsDueTasks) {
  store.toLoad.push_back(DailyOpen(10, 0, 0, L"loaded"));
  store.toLoad.back().ran = true;
  manager.Start();
  IQuelmTask* listed = manager.FindTask(store.toLoad[0].guid);
  ASSERT_NE(listed, nullptr);
  EXPECT_FALSE(listed->ran);
  EXPECT_TRUE(store.saves.empty()) << "loading does not save";
  clock.AdvanceSeconds(2);
  manager.Wake();
  ASSERT_TRUE(log.WaitForRan(1));
  EXPECT_EQ(actions.Opened(), std::vector<std::wstring>{L"loaded"});
  manager.Stop();
  manager.Stop();
}

TEST_F(TaskManagerTest, DeletingATaskWhileItsActionRunsFreesItAfterTheAction) {
  actions.HoldOpenings();
  IQuelmTask a = DailyOpen(10, 0, 0, L"slow");
  IQuelmTask* listed = manager.AddTask(a, false);
  manager.Start();
  clock.AdvanceSeconds(2);
  manager.Wake();
  ASSERT_TRUE(actions.WaitForCalls(1, 10000));
  int32_t live = IQuelmTask::LiveCount();
  manager.DeleteTask(a.guid);
  EXPECT_EQ(manager.FindTask(a.guid), nullptr) << "the task leaves the list at once";
  EXPECT_EQ(log.Events().back().kind, 'r');
  EXPECT_EQ(listed->refCount, 1) << "only the scheduler still holds it";
  EXPECT_EQ(IQuelmTask::LiveCount(), live);
  actions.Release();
  ASSERT_TRUE(log.WaitForRan(1));
  manager.Stop();
  EXPECT_EQ(log.Ran(), std::vector<std::wstring>{a.guid});
  EXPECT_EQ(IQuelmTask::LiveCount(), liveBefore_ + 1) << "only `a` is left";
}

TEST_F(TaskManagerTest, AWatchRunsOnceItsProgramStayedAwayThenPausesUntilSwitchedOnAgain) {
  ASSERT_NE(CreateHandOffWindow(), nullptr);
  FakeProbe probe;
  const std::wstring render = L"C:\\Tools\\render.exe";
  manager.RunWatchCheck();
  EXPECT_TRUE(probe.asked.empty()) << "no watch task, no walk";
  IQuelmTask watch = WatchOpen(render, L"w"), twin = WatchOpen(render, L"t");
  IQuelmTask off = WatchOpen(L"C:\\off.exe", L"o");
  off.paused = true;
  IQuelmTask* listed = manager.AddTask(watch, false);
  manager.AddTask(twin, false);
  manager.AddTask(off, false);
  manager.RunWatchCheck();
  ASSERT_EQ(probe.asked.size(), 1u);
  EXPECT_EQ(probe.asked[0], std::vector<std::wstring>{render}) << "each program once";
  EXPECT_EQ(listed->StatusText(), L"等待程序启动");

  probe.SetRunning({render});
  Step();
  manager.RunWatchCheck();
  EXPECT_EQ(listed->StatusText(), L"等待程序结束");
  probe.SetRunning({});
  Step();
  manager.RunWatchCheck();
  EXPECT_EQ(listed->StatusText(), L"即将运行");
  Step(4);
  EXPECT_TRUE(actions.Opened().empty());
  Step();
  EXPECT_EQ(actions.Opened(), (std::vector<std::wstring>{L"w", L"t"}));
  EXPECT_TRUE(listed->paused);
  ASSERT_TRUE(PumpUntil([&] { return !store.saves.empty(); })) << "the pause is saved";
  EXPECT_TRUE(store.saves.back()[0].paused);
  EXPECT_EQ(listed->StatusText(), L"已运行");

  probe.SetRunning({render});
  const size_t walks = probe.asked.size();
  manager.RunWatchCheck();
  EXPECT_EQ(probe.asked.size(), walks) << "nothing waits any more";
  Step(10);
  EXPECT_EQ(actions.Opened().size(), 2u);

  manager.SetPaused(listed);
  EXPECT_FALSE(listed->paused);
  EXPECT_EQ(listed->StatusText(), L"等待程序启动") << "switched on, it waits afresh";
  EXPECT_FALSE(store.saves.back()[0].paused);
  manager.RunWatchCheck();
  EXPECT_EQ(listed->StatusText(), L"等待程序结束");
  DestroyHandOffWindow();
}

TEST_F(TaskManagerTest, TheWatchThreadChecksTheProgramsOfTheListedTasks) {
  FakeProbe probe;
  probe.SetRunning({L"C:\\setup.exe"});
  // One watch stored before the start, one added after it (the thread is made on demand).
  store.toLoad.push_back(WatchOpen(L"C:\\setup.exe", L"stored"));
  manager.Start();
  IQuelmTask* stored = manager.FindTask(store.toLoad[0].guid);
  ASSERT_NE(stored, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return stored->StatusText() == L"等待程序结束"; }));
  IQuelmTask watch = WatchOpen(L"C:\\setup.exe", L"w");
  IQuelmTask* listed = manager.AddTask(watch, false);
  EXPECT_TRUE(PumpUntil([&] { return listed->StatusText() == L"等待程序结束"; }));
  manager.Stop();
}

}  // namespace
