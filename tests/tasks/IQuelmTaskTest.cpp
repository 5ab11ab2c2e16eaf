#include "tasks/IQuelmTask.h"

#include <gtest/gtest.h>

#include "tests/support/FakeClock.h"
#include "tests/support/TempDir.h"

namespace {

// A clock reading of the installed clock at local time `local`.
ClockReading At(const SYSTEMTIME& local) {
  ClockReading reading = ReadClock();
  reading.local = local;
  return reading;
}

IQuelmTask MakeTask(ScheduleMode mode, int hour, int minute, int second) {
  IQuelmTask task;
  task.mode = mode;
  task.time.wHour = static_cast<WORD>(hour);
  task.time.wMinute = static_cast<WORD>(minute);
  task.time.wSecond = static_cast<WORD>(second);
  return task;
}

IQuelmTask MakeDated(int year, int month, int day, int hour, int minute, int second) {
  IQuelmTask task;
  task.mode = ScheduleMode::AtDateTime;
  task.time = MakeTime(year, month, day, hour, minute, second);
  return task;
}

TEST(IQuelmTask, ConstructionGivesAFreshArmedDailyShutdown) {
  FakeClock clock;
  clock.SetLocal(2024, 5, 1, 8, 30, 15);
  clock.SetMonotonicMs(777000);
  IQuelmTask task;
  EXPECT_EQ(task.refCount, 1);
  EXPECT_FALSE(task.ran);
  EXPECT_FALSE(task.paused);
  EXPECT_EQ(task.startTick, 777000u);
  EXPECT_EQ(task.guid.size(), 36u);
  EXPECT_EQ(task.mode, ScheduleMode::Daily);
  EXPECT_EQ(task.action, ActionKind::Shutdown);
  EXPECT_EQ(task.time.wYear, 2024);
  EXPECT_EQ(task.time.wHour, 8);
  EXPECT_EQ(task.time.wSecond, 15);
  EXPECT_TRUE(task.path.empty() && task.name.empty() && task.param1.empty() && task.param2.empty());
  EXPECT_NE(IQuelmTask().guid, task.guid);
}

TEST(IQuelmTask, ResetRearmsButKeepsTheTexts) {
  FakeClock clock;
  IQuelmTask task;
  task.name = L"n";
  task.param1 = L"p1";
  task.param2 = L"p2";
  task.ran = true;
  task.paused = true;
  task.mode = ScheduleMode::Interval;
  task.action = ActionKind::OpenUrl;
  std::wstring oldGuid = task.guid;
  clock.AdvanceSeconds(90);
  task.Reset();
  EXPECT_FALSE(task.ran);
  EXPECT_FALSE(task.paused);
  EXPECT_EQ(task.mode, ScheduleMode::Daily);
  EXPECT_EQ(task.action, ActionKind::Shutdown);
  EXPECT_NE(task.guid, oldGuid);
  EXPECT_EQ(task.startTick, clock.MonotonicMs());
  EXPECT_EQ(task.name, L"n");
  EXPECT_EQ(task.param1, L"p1");
  EXPECT_EQ(task.param2, L"p2");
}

TEST(IQuelmTask, CopyFromCopiesEverythingButTheReferenceCount) {
  IQuelmTask source;
  source.ran = true;
  source.paused = true;
  source.startTick = 42;
  source.action = ActionKind::BackupFiles;
  source.mode = ScheduleMode::Countdown;
  source.time = MakeTime(2030, 2, 3, 4, 5, 6);
  source.path = L"p";
  source.name = L"名字";
  source.param1 = L"a|b";
  source.param2 = L"c";
  source.watch = L"C:\\w.exe";
  source.watchPhase = WatchPhase::Running;
  source.AddRef();

  IQuelmTask target;
  target.CopyFrom(source);
  EXPECT_EQ(target.refCount, 1);
  EXPECT_TRUE(target.ran);
  EXPECT_TRUE(target.paused);
  EXPECT_EQ(target.startTick, 42u);
  EXPECT_EQ(target.guid, source.guid);
  EXPECT_EQ(target.action, ActionKind::BackupFiles);
  EXPECT_EQ(target.mode, ScheduleMode::Countdown);
  EXPECT_EQ(target.time.wYear, 2030);
  EXPECT_EQ(target.time.wSecond, 6);
  EXPECT_EQ(target.path, L"p");
  EXPECT_EQ(target.name, L"名字");
  EXPECT_EQ(target.param1, L"a|b");
  EXPECT_EQ(target.param2, L"c");
  EXPECT_EQ(target.watch, L"C:\\w.exe");
  EXPECT_EQ(target.watchPhase, WatchPhase::Waiting) << "only the listed task knows its program";

  IQuelmTask copy(source);
  EXPECT_EQ(copy.refCount, 1);
  EXPECT_EQ(copy.guid, source.guid);

  source.CopyFrom(source);
  EXPECT_EQ(source.name, L"名字");
  EXPECT_EQ(source.refCount, 2);
}

TEST(IQuelmTask, LastReleaseDestroysTheTask) {
  static int destroyed = 0;
  struct Counted : IQuelmTask {
    ~Counted() override { ++destroyed; }
  };
  Counted* task = new Counted;
  task->AddRef();
  task->Release();
  EXPECT_EQ(destroyed, 0);
  task->Release();
  EXPECT_EQ(destroyed, 1);
}

TEST(IQuelmTask, PeriodAndTimeText) {
  IQuelmTask interval = MakeTask(ScheduleMode::Interval, 1, 30, 0);
  EXPECT_EQ(interval.PeriodMs(), 5400000u);
  EXPECT_EQ(interval.TimeText(), L"01时30分00秒");
  EXPECT_EQ(MakeTask(ScheduleMode::Countdown, 0, 0, 7).TimeText(), L"00时00分07秒");
  EXPECT_EQ(MakeTask(ScheduleMode::Daily, 23, 0, 5).TimeText(), L"23:00:05");
  EXPECT_EQ(MakeDated(2024, 5, 1, 7, 3, 9).TimeText(), L"07:03:09");
  EXPECT_EQ(MakeTask(ScheduleMode::AfterBoot, 1, 2, 3).TimeText(), L"5分钟");
  EXPECT_EQ(MakeTask(static_cast<ScheduleMode>(9), 1, 2, 3).TimeText(), L"未定义");
  EXPECT_EQ(MakeTask(ScheduleMode::Countdown, 23, 59, 59).PeriodMs(), 86399000u);
}

TEST(IQuelmTask, ActionObjectTextForEveryAction) {
  const std::pair<ActionKind, const wchar_t*> expected[] = {
      {ActionKind::Shutdown, L"关机"},
      {ActionKind::Restart, L"重启"},
      {ActionKind::Sleep, L"睡眠"},
      {ActionKind::LogOff, L"注销"},
      {ActionKind::Lock, L"锁定"},
      {ActionKind::Remind, L"NAME"},
      {ActionKind::MonitorOff, L"显示器"},
      {ActionKind::MonitorOn, L"显示器"},
      {ActionKind::RunProgram, L"NAME"},
      {ActionKind::CloseProgram, L"NAME"},
      {ActionKind::OpenFile, L"A|B|"},
      {ActionKind::EmptyRecycleBin, L"回收站"},
      {ActionKind::CleanTempJunk, L"垃圾"},
      {ActionKind::BackupFiles, L"A|B|"},
      {ActionKind::BackupDirectory, L"A|B|"},
      {ActionKind::OpenUrl, L"A|B|"},
      {static_cast<ActionKind>(16), L"未知"},
      {static_cast<ActionKind>(-1), L"未知"},
  };
  IQuelmTask task;
  task.name = L"NAME";
  task.param1 = L"A|B|";
  task.param2 = L"DEST";
  for (const auto& [action, text] : expected) {
    task.action = action;
    EXPECT_EQ(task.ActionObjectText(), text) << static_cast<int>(action);
  }
}

TEST(IQuelmTask, StatusFlagsTakePrecedence) {
  FakeClock clock;
  IQuelmTask task = MakeTask(ScheduleMode::Daily, 23, 0, 0);
  task.ran = true;
  EXPECT_EQ(task.StatusText(), L"已运行");
  task.paused = true;
  EXPECT_EQ(task.StatusText(), L"已暂停");
}

TEST(IQuelmTask, DailyStatusCountsDownToItsSecondThenSaysTomorrow) {
  FakeClock clock;
  IQuelmTask task = MakeTask(ScheduleMode::Daily, 23, 0, 0);
  const std::pair<int, const wchar_t*> cases[] = {
      {0, L"23:00:00"},     {22 * 3600 + 59 * 60 + 50, L"00:00:10"},
      {82795, L"00:00:05"}, {82796, L"即将运行"},
      {82800, L"即将运行"}, {82801, L"明天"},
      {86399, L"明天"},
  };
  for (const auto& [secondOfDay, text] : cases) {
    clock.SetLocal(2024, 5, 1, secondOfDay / 3600, secondOfDay % 3600 / 60, secondOfDay % 60);
    EXPECT_EQ(task.StatusText(), text) << secondOfDay;
  }
}

TEST(IQuelmTask, AtDateTimeStatusByDayThenByTimeLeft) {
  FakeClock clock;
  clock.SetLocal(2024, 12, 31, 10, 0, 0);
  EXPECT_EQ(MakeDated(2025, 1, 1, 9, 0, 0).StatusText(), L"1天后执行");
  EXPECT_EQ(MakeDated(2025, 3, 1, 9, 0, 0).StatusText(), L"60天后执行");
  EXPECT_EQ(MakeDated(2024, 12, 30, 23, 0, 0).StatusText(), L"过期");
  EXPECT_EQ(MakeDated(2024, 12, 31, 9, 59, 59).StatusText(), L"过期");
  EXPECT_EQ(MakeDated(2024, 12, 31, 11, 2, 3).StatusText(), L"01:02:03");
  EXPECT_EQ(MakeDated(2024, 12, 31, 10, 0, 4).StatusText(), L"即将运行");
  EXPECT_EQ(MakeDated(2024, 12, 31, 10, 0, 5).StatusText(), L"00:00:05");
  EXPECT_EQ(MakeDated(2024, 12, 31, 10, 0, 0).StatusText(), L"即将运行");
}

TEST(IQuelmTask, CountStatusIsTheTimeLeftOfThePeriod) {
  FakeClock clock;
  clock.SetMonotonicMs(100000);
  IQuelmTask task = MakeTask(ScheduleMode::Countdown, 0, 1, 0);
  EXPECT_EQ(task.startTick, 100000u);
  EXPECT_EQ(task.StatusText(), L"") << "no time has passed since the start";
  clock.SetMonotonicMs(100001);
  EXPECT_EQ(task.StatusText(), L"00:00:59");
  clock.SetMonotonicMs(100000 + 55000);
  EXPECT_EQ(task.StatusText(), L"00:00:05");
  clock.SetMonotonicMs(100000 + 55001);
  EXPECT_EQ(task.StatusText(), L"即将运行");
  clock.SetMonotonicMs(100000 + 60000);
  EXPECT_EQ(task.StatusText(), L"");
  task.mode = ScheduleMode::Interval;
  task.time.wHour = 2;
  clock.SetMonotonicMs(100000 + 1000);
  EXPECT_EQ(task.StatusText(), L"02:00:59");
  clock.SetMonotonicMs(50);
  EXPECT_EQ(task.StatusText(), L"") << "a clock behind the start shows nothing";
}

TEST(IQuelmTask, AfterBootAtTheFiveMinuteBoundary) {
  FakeClock clock;
  IQuelmTask task = MakeTask(ScheduleMode::AfterBoot, 0, 0, 0);
  SYSTEMTIME now = clock.LocalTime();
  clock.SetUpTimeMs(299999);
  EXPECT_TRUE(task.EvaluateDue(At(now)));
  EXPECT_EQ(task.StatusText(), L"正在运行");
  clock.SetUpTimeMs(300000);
  EXPECT_FALSE(task.EvaluateDue(At(now)));
  EXPECT_EQ(task.StatusText(), L"正在运行");
  clock.SetUpTimeMs(300999);
  EXPECT_EQ(task.StatusText(), L"正在运行");
  clock.SetUpTimeMs(301000);
  EXPECT_FALSE(task.EvaluateDue(At(now)));
  EXPECT_EQ(task.StatusText(), L"过期");
}

TEST(IQuelmTask, DailyIsDueInItsSecondOnlyWhileArmed) {
  FakeClock clock;
  IQuelmTask task = MakeTask(ScheduleMode::Daily, 23, 59, 59);
  task.time.wYear = 1999;  // the date part of a daily task never counts
  EXPECT_FALSE(task.EvaluateDue(At(MakeTime(2024, 5, 1, 23, 59, 58))));
  EXPECT_TRUE(task.EvaluateDue(At(MakeTime(2024, 5, 1, 23, 59, 59))));
  task.ran = true;
  EXPECT_FALSE(task.EvaluateDue(At(MakeTime(2024, 5, 1, 23, 59, 59))));
  task.ran = false;  // the day change re-arms daily tasks
  EXPECT_TRUE(task.EvaluateDue(At(MakeTime(2024, 5, 2, 23, 59, 59))));
  task.paused = true;
  EXPECT_FALSE(task.EvaluateDue(At(MakeTime(2024, 5, 2, 23, 59, 59))));
}

TEST(IQuelmTask, WeeklyIsDueOnItsDaysAndCountsToTheNextOne) {
  FakeClock clock;
  struct Case {
    uint8_t week;  // 0: as read from a file without <week>
    SYSTEMTIME now;
    bool due;
    const wchar_t* status;
  } cases[] = {
      // 6 May 2024 is a Monday.
      {kWorkingDays, MakeTime(2024, 5, 6, 8, 0, 0), true, L"即将运行"},
      {kWorkingDays, MakeTime(2024, 5, 6, 7, 0, 0), false, L"01:00:00"},
      {kWorkingDays, MakeTime(2024, 5, 6, 8, 0, 1), false, L"明天"},
      {kWorkingDays, MakeTime(2024, 5, 10, 8, 0, 0), true, L"即将运行"},
      {kWorkingDays, MakeTime(2024, 5, 10, 8, 0, 1), false, L"3天后执行"},
      {kWorkingDays, MakeTime(2024, 5, 11, 8, 0, 0), false, L"2天后执行"},
      {kWorkingDays, MakeTime(2024, 5, 12, 23, 59, 59), false, L"明天"},
      {0, MakeTime(2024, 5, 11, 8, 0, 0), false, L"2天后执行"},
      {0, MakeTime(2024, 5, 13, 8, 0, 0), true, L"即将运行"},
      {kWeekendDays, MakeTime(2024, 5, 11, 7, 59, 55), false, L"00:00:05"},
      {kWeekendDays, MakeTime(2024, 5, 12, 8, 0, 0), true, L"即将运行"},
      {0x40, MakeTime(2024, 5, 12, 9, 0, 0), false, L"7天后执行"},
      {0x40, MakeTime(2024, 5, 13, 8, 0, 0), false, L"6天后执行"},
      // Across the turn of the year: 30 December 2024 is a Monday.
      {0x02, MakeTime(2024, 12, 30, 8, 0, 0), false, L"明天"},
      {0x02, MakeTime(2024, 12, 31, 8, 0, 0), true, L"即将运行"},
      {0x02, MakeTime(2025, 1, 1, 8, 0, 0), false, L"6天后执行"},
  };
  for (const Case& c : cases) {
    IQuelmTask task = MakeTask(ScheduleMode::Weekly, 8, 0, 0);
    task.week = c.week;
    clock.SetLocal(c.now.wYear, c.now.wMonth, c.now.wDay, c.now.wHour, c.now.wMinute,
                   c.now.wSecond);
    SCOPED_TRACE(testing::Message() << int(c.week) << " " << c.now.wMonth << "/" << c.now.wDay
                                    << " " << c.now.wHour << ":" << c.now.wMinute);
    EXPECT_EQ(task.EvaluateDue(At(c.now)), c.due);
    EXPECT_EQ(task.StatusText(), c.status);
    EXPECT_EQ(task.TimeText(), L"08:00:00");
  }
}

TEST(IQuelmTask, WeeklyTitleNamesItsDays) {
  const std::pair<uint8_t, const wchar_t*> cases[] = {
      {kWorkingDays, L"每周 工作日"},     {0, L"每周 工作日"},
      {kWeekendDays, L"每周 周末"},       {0x15, L"每周 一三五"},
      {kAllDays, L"每周 一二三四五六日"}, {0x41, L"每周 一日"},
  };
  for (const auto& [week, title] : cases) {
    IQuelmTask task = MakeTask(ScheduleMode::Weekly, 8, 0, 0);
    task.week = week;
    EXPECT_EQ(task.ModeTitle(), title) << int(week);
  }
  EXPECT_EQ(MakeTask(static_cast<ScheduleMode>(7), 0, 0, 0).ModeTitle(), L"未知");
}

TEST(IQuelmTask, WatchIsDueFiveQuietSecondsAfterItsProgramWasLastSeen) {
  FakeClock clock;
  const uint64_t start = clock.MonotonicMs();
  IQuelmTask task = MakeTask(ScheduleMode::Watch, 8, 0, 0);
  task.watch = L"C:\\Tools\\render.exe";
  EXPECT_EQ(task.ModeTitle(), L"程序结束后");
  EXPECT_EQ(task.TimeText(), L"render.exe");
  EXPECT_TRUE(task.PausesAfterRun());
  enum Seen { kNoCheck, kGone, kRunning };
  struct Step {
    uint64_t ms;  // after the start
    Seen seen;
    bool due;
    const wchar_t* status;
  } steps[] = {
      {0, kNoCheck, false, L"等待程序启动"},
      {0, kGone, false, L"等待程序启动"},  // never seen yet: nothing has ended
      {2000, kRunning, false, L"等待程序结束"},
      {4000, kGone, false, L"即将运行"},
      {6000, kRunning, false, L"等待程序结束"},  // back within the quiet time
      {8000, kGone, false, L"即将运行"},
      {10000, kGone, false, L"即将运行"},
      {12999, kNoCheck, false, L"即将运行"},
      {13000, kNoCheck, true, L"已运行"},
      {14000, kRunning, false, L"已运行"},  // once only
      {30000, kGone, false, L"已运行"},
  };
  for (const Step& step : steps) {
    clock.SetMonotonicMs(start + step.ms);
    if (step.seen != kNoCheck)
      task.ObserveWatch(step.seen == kRunning, start + step.ms);
    EXPECT_EQ(task.EvaluateDue(At(clock.LocalTime())), step.due) << step.ms;
    EXPECT_EQ(task.StatusText(), step.status) << step.ms;
  }
  task.paused = true;
  EXPECT_EQ(task.StatusText(), L"已运行") << "a watch that ran switched itself off";
  EXPECT_FALSE(task.IsWatching());
  task.RearmWatch();
  EXPECT_EQ(task.StatusText(), L"已暂停");
  task.paused = false;
  EXPECT_TRUE(task.IsWatching());
  EXPECT_EQ(task.StatusText(), L"等待程序启动");
}

TEST(IQuelmTask, AtDateTimeIsDueOnlyOnItsDate) {
  FakeClock clock;
  IQuelmTask task = MakeDated(2024, 5, 1, 7, 3, 9);
  EXPECT_FALSE(task.EvaluateDue(At(MakeTime(2024, 5, 2, 7, 3, 9))));
  EXPECT_FALSE(task.EvaluateDue(At(MakeTime(2025, 5, 1, 7, 3, 9))));
  EXPECT_FALSE(task.EvaluateDue(At(MakeTime(2024, 5, 1, 7, 3, 10))));
  EXPECT_TRUE(task.EvaluateDue(At(MakeTime(2024, 5, 1, 7, 3, 9))));
}

TEST(IQuelmTask, UnknownModeIsNeverDueAndShowsNoStatus) {
  FakeClock clock;
  IQuelmTask task = MakeTask(static_cast<ScheduleMode>(7), 0, 0, 0);
  clock.SetUpTimeMs(0);
  EXPECT_FALSE(task.EvaluateDue(At(clock.LocalTime())));
  EXPECT_EQ(task.StatusText(), L"");
}

// Evaluates once per whole second, as the scheduler does, and records the fire times.
std::vector<uint64_t> FireTimes(IQuelmTask& task, FakeClock& clock, int seconds) {
  std::vector<uint64_t> fired;
  for (int i = 0; i < seconds; ++i) {
    clock.AdvanceSeconds(1);
    if (task.EvaluateDue(At(clock.LocalTime()))) {
      fired.push_back(clock.MonotonicMs());
      if (task.mode == ScheduleMode::Interval)
        task.ran = false;  // the scheduler re-arms an interval after its action
      else
        task.ran = true;
    }
  }
  return fired;
}

TEST(IQuelmTask, IntervalFiresAfterItsPeriodAndDriftsAtMostASecondPerRepetition) {
  FakeClock clock;
  const uint64_t t0 = clock.MonotonicMs();
  IQuelmTask task = MakeTask(ScheduleMode::Interval, 0, 1, 0);
  std::vector<uint64_t> fired = FireTimes(task, clock, 400);
  ASSERT_GE(fired.size(), 5u);
  EXPECT_EQ(fired[0], t0 + 61000) << "strictly more than the period: not at exactly 60 s";
  for (size_t i = 1; i < fired.size(); ++i) {
    uint64_t gap = fired[i] - fired[i - 1];
    EXPECT_TRUE(gap == 60000 || gap == 61000) << gap;
  }
  EXPECT_EQ(task.startTick, fired.back());

  // Evaluations half a second off the start: the first wait is 60.5 s, later ones 61 s.
  IQuelmTask offset = MakeTask(ScheduleMode::Interval, 0, 1, 0);
  const uint64_t start = clock.MonotonicMs() - 500;
  offset.startTick = start;
  std::vector<uint64_t> more = FireTimes(offset, clock, 200);
  ASSERT_GE(more.size(), 2u);
  EXPECT_EQ(more[0] - start, 60500u);
  EXPECT_EQ(more[1] - more[0], 61000u);
}

TEST(IQuelmTask, ZeroCountdownFiresAtTheFirstEvaluationAfterItsStart) {
  FakeClock clock;
  IQuelmTask task = MakeTask(ScheduleMode::Countdown, 0, 0, 0);
  EXPECT_FALSE(task.EvaluateDue(At(clock.LocalTime()))) << "no time has passed yet";
  clock.AdvanceMs(1);
  EXPECT_TRUE(task.EvaluateDue(At(clock.LocalTime())));
  EXPECT_EQ(task.startTick, clock.MonotonicMs());
}

TEST(IQuelmTask, CountdownWaitsStrictlyLongerThanItsDuration) {
  FakeClock clock;
  IQuelmTask task = MakeTask(ScheduleMode::Countdown, 0, 0, 10);
  uint64_t start = task.startTick;
  clock.SetMonotonicMs(start + 10000);
  EXPECT_FALSE(task.EvaluateDue(At(clock.LocalTime())));
  EXPECT_EQ(task.startTick, start) << "a task that is not due keeps its start";
  clock.SetMonotonicMs(start + 10001);
  EXPECT_TRUE(task.EvaluateDue(At(clock.LocalTime())));
}

TEST(IQuelmTask, ValidateChecksTheObjectOfEachAction) {
  TempDir dir;
  std::wstring file = dir.WriteFile(L"a.txt", "x");
  std::wstring missing = dir.Child(L"missing.txt");
  struct Case {
    ActionKind action;
    std::wstring param1;
    std::wstring param2;
    std::wstring expected;
  };
  const Case cases[] = {
      {ActionKind::Remind, L"", L"", L"请输入提醒内容"},
      {ActionKind::Remind, L"hello", L"", L""},
      {ActionKind::RunProgram, L"", L"", L"请先选择exe路径"},
      {ActionKind::CloseProgram, L"", L"", L"请先选择exe路径"},
      {ActionKind::CloseProgram, L"C:\\nowhere.exe", L"", L""},
      {ActionKind::OpenFile, L"", L"", L"请先选择要打开的文件"},
      {ActionKind::OpenFile, file + L"|" + missing, L"", L"文件不存在：" + missing},
      {ActionKind::OpenFile, file + L"|" + dir.path() + L"|", L"", L""},
      {ActionKind::OpenFile, L"|" + file, L"", L"文件不存在："},
      {ActionKind::BackupFiles, L"", dir.path(), L"请先选择要备份的文件"},
      {ActionKind::BackupFiles, missing, dir.path(), L"文件不存在：" + missing},
      {ActionKind::BackupFiles, file, missing, L"备份的保存目录不存在"},
      {ActionKind::BackupDirectory, dir.path(), L"", L"备份的保存目录不存在"},
      {ActionKind::BackupDirectory, dir.path() + L"|" + file, dir.path(), L""},
      {ActionKind::OpenUrl, L"", L"", L"网址不能为空"},
      {ActionKind::OpenUrl, L"|", L"", L""},
      {ActionKind::OpenUrl, L"https://example.com|", L"", L""},
      {ActionKind::Shutdown, L"", L"", L""},
      {ActionKind::CleanTempJunk, L"", L"", L""},
  };
  for (const Case& c : cases) {
    IQuelmTask task;
    task.action = c.action;
    task.param1 = c.param1;
    task.param2 = c.param2;
    EXPECT_EQ(task.Validate(), c.expected) << static_cast<int>(c.action) << " " << c.param1.size();
  }
}

TEST(DayNumber, DifferencesCountCalendarDays) {
  EXPECT_EQ(DayNumber(2024, 3, 1) - DayNumber(2024, 2, 28), 2);
  EXPECT_EQ(DayNumber(2023, 3, 1) - DayNumber(2023, 2, 28), 1);
  EXPECT_EQ(DayNumber(2000, 3, 1) - DayNumber(2000, 2, 28), 2);
  EXPECT_EQ(DayNumber(1900, 3, 1) - DayNumber(1900, 2, 28), 1);
  EXPECT_EQ(DayNumber(2025, 1, 1) - DayNumber(2024, 12, 31), 1);
  EXPECT_EQ(DayNumber(2025, 1, 1) - DayNumber(2024, 1, 1), 366);
  EXPECT_EQ(DayNumber(2026, 1, 1) - DayNumber(2025, 1, 1), 365);
}

TEST(SplitList, KeepsInnerEmptyPiecesAndDropsAnEmptyTail) {
  using List = std::vector<std::wstring>;
  EXPECT_EQ(SplitList(L""), List{});
  EXPECT_EQ(SplitList(L"a"), List{L"a"});
  EXPECT_EQ(SplitList(L"a|"), List{L"a"});
  EXPECT_EQ(SplitList(L"|a"), (List{L"", L"a"}));
  EXPECT_EQ(SplitList(L"a||b"), (List{L"a", L"", L"b"}));
  EXPECT_EQ(SplitList(L"|"), List{L""});
  EXPECT_EQ(SplitList(L"a|b||"), (List{L"a", L"b", L""}));
  EXPECT_EQ(SplitList(L"2024/5/1 7:3:9", L' '), (List{L"2024/5/1", L"7:3:9"}));
}

}  // namespace
