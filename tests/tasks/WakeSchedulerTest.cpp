#include "tasks/WakeScheduler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sys/Clock.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManager.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingSystemActions.h"

namespace {

IQuelmTask At(ScheduleMode mode, const SYSTEMTIME& time, uint8_t week = kWorkingDays) {
  IQuelmTask task;
  task.mode = mode;
  task.time = time;
  task.week = week;
  task.action = ActionKind::OpenUrl;
  task.param1 = L"https://u.example/";
  return task;
}

IQuelmTask DailyAt(int hour, int minute, int second) {
  return At(ScheduleMode::Daily, MakeTime(2000, 1, 1, hour, minute, second));
}

std::string Text(const SYSTEMTIME& t) {
  char text[32];
  snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour,
           t.wMinute, t.wSecond);
  return text;
}

// What the scheduler armed: "moment / wake time", or "" when nothing.
std::string Armed(const WakeScheduler& wake) {
  SYSTEMTIME moment, wakeAt;
  return wake.ArmedFor(&moment, &wakeAt) ? Text(moment) + " / " + Text(wakeAt) : "";
}

class WakeSchedulerTest : public testing::Test {
 protected:
  void SetNow(const SYSTEMTIME& t) {
    clock_.SetLocal(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  }

  FakeClock clock_;
  RecordingSystemActions actions_;
};

TEST_F(WakeSchedulerTest, TheTimerFallsDueAMinuteBeforeTheEarliestComingMoment) {
  IQuelmTask paused = DailyAt(7, 0, 0);
  paused.paused = true;
  IQuelmTask ran = At(ScheduleMode::AtDateTime, MakeTime(2024, 5, 1, 9, 0, 0));
  ran.ran = true;
  IQuelmTask countdown = At(ScheduleMode::Countdown, MakeTime(2024, 5, 1, 0, 0, 30));
  IQuelmTask interval = At(ScheduleMode::Interval, MakeTime(2024, 5, 1, 0, 1, 0));
  IQuelmTask afterBoot = At(ScheduleMode::AfterBoot, MakeTime(2024, 5, 1, 0, 0, 0));
  IQuelmTask watch = At(ScheduleMode::Watch, MakeTime(2024, 5, 1, 0, 0, 0));
  IQuelmTask noSuchDay = At(ScheduleMode::AtDateTime, MakeTime(2024, 1, 1, 9, 0, 0));
  noSuchDay.time.wMonth = 13;
  struct Case {
    std::vector<IQuelmTask> tasks;
    SYSTEMTIME now;  // 1 May 2024 is a Wednesday
    const char* armed;
  } cases[] = {
      {{}, MakeTime(2024, 5, 1, 7, 0, 0), ""},
      {{paused, ran, countdown, interval, afterBoot, watch, noSuchDay},
       MakeTime(2024, 5, 1, 7, 0, 0),
       ""},
      {{DailyAt(8, 0, 0)}, MakeTime(2024, 5, 1, 7, 0, 0),
       "2024-05-01 08:00:00 / 2024-05-01 07:59:00"},
      // Its second is now: it has just run, the next one is tomorrow.
      {{DailyAt(8, 0, 0)}, MakeTime(2024, 5, 1, 8, 0, 0),
       "2024-05-02 08:00:00 / 2024-05-02 07:59:00"},
      // Less than the lead left: the timer falls due at the moment itself.
      {{DailyAt(8, 0, 0)}, MakeTime(2024, 5, 1, 7, 59, 30),
       "2024-05-01 08:00:00 / 2024-05-01 08:00:00"},
      {{DailyAt(0, 0, 30)}, MakeTime(2024, 12, 31, 23, 58, 0),
       "2025-01-01 00:00:30 / 2024-12-31 23:59:30"},
      // Working days from a Friday evening: Monday.
      {{At(ScheduleMode::Weekly, MakeTime(2000, 1, 1, 8, 0, 0))}, MakeTime(2024, 5, 10, 9, 0, 0),
       "2024-05-13 08:00:00 / 2024-05-13 07:59:00"},
      // Sundays only, on a Sunday after its time: a week ahead.
      {{At(ScheduleMode::Weekly, MakeTime(2000, 1, 1, 8, 0, 0), 0x40)},
       MakeTime(2024, 5, 12, 9, 0, 0), "2024-05-19 08:00:00 / 2024-05-19 07:59:00"},
      {{At(ScheduleMode::Weekly, MakeTime(2000, 1, 1, 8, 0, 0), 0x40)},
       MakeTime(2024, 5, 12, 7, 0, 0), "2024-05-12 08:00:00 / 2024-05-12 07:59:00"},
      {{At(ScheduleMode::AtDateTime, MakeTime(2024, 4, 30, 23, 0, 0))},
       MakeTime(2024, 5, 1, 7, 0, 0),
       ""},
      // The earliest of several, whatever the order of the list.
      {{DailyAt(8, 0, 0), At(ScheduleMode::AtDateTime, MakeTime(2024, 5, 1, 7, 30, 0)),
        At(ScheduleMode::Weekly, MakeTime(2000, 1, 1, 7, 10, 0), 0x01), paused},
       MakeTime(2024, 5, 1, 7, 0, 0), "2024-05-01 07:30:00 / 2024-05-01 07:29:00"},
      {{DailyAt(8, 0, 0), At(ScheduleMode::Weekly, MakeTime(2000, 1, 1, 7, 10, 0), 0x04)},
       MakeTime(2024, 5, 1, 7, 0, 0), "2024-05-01 07:10:00 / 2024-05-01 07:09:00"},
  };
  for (const Case& c : cases) {
    SetNow(c.now);
    TaskManager manager(nullptr);
    for (IQuelmTask task : c.tasks) {
      const bool wasRan = task.ran;
      manager.AddTask(task, false)->ran = wasRan;
    }
    WakeScheduler wake(&manager);
    wake.SetEnabled(true);
    EXPECT_EQ(Armed(wake), c.armed) << Text(c.now) << ", " << c.tasks.size() << " tasks";
    wake.SetEnabled(false);
    EXPECT_EQ(Armed(wake), "") << "off: nothing armed";
  }
}

// The real timer: a moment in the real past is signalled at once, one in the future is not.
TEST_F(WakeSchedulerTest, EveryChangeAndEveryResumeArmTheTimerAgain) {
  SetNow(MakeTime(2099, 5, 1, 7, 0, 0));
  TaskManager manager(nullptr);
  IQuelmTask daily = DailyAt(8, 0, 0);
  IQuelmTask* listed = manager.AddTask(daily, false);
  WakeScheduler wake(&manager);
  wake.Start();
  EXPECT_EQ(Armed(wake), "") << "off by default";
  wake.SetEnabled(true);
  EXPECT_EQ(Armed(wake), "2099-05-01 08:00:00 / 2099-05-01 07:59:00");
  EXPECT_FALSE(wake.timer().IsSignalled());

  SetNow(MakeTime(2020, 5, 1, 7, 0, 0));
  wake.OnResumed();
  EXPECT_EQ(Armed(wake), "2020-05-01 08:00:00 / 2020-05-01 07:59:00");
  EXPECT_TRUE(wake.timer().IsSignalled());

  SetNow(MakeTime(2099, 5, 1, 7, 0, 0));
  IQuelmTask dated = At(ScheduleMode::AtDateTime, MakeTime(2099, 5, 1, 7, 30, 0));
  manager.AddTask(dated, false);
  EXPECT_EQ(Armed(wake), "2099-05-01 07:30:00 / 2099-05-01 07:29:00");
  EXPECT_FALSE(wake.timer().IsSignalled());
  manager.DeleteTask(dated.guid);
  EXPECT_EQ(Armed(wake), "2099-05-01 08:00:00 / 2099-05-01 07:59:00");

  IQuelmTask edit(*listed);
  edit.time.wHour = 9;
  manager.ModifyTask(edit);
  EXPECT_EQ(Armed(wake), "2099-05-01 09:00:00 / 2099-05-01 08:59:00");
  // The run at its second arms the next day's.
  SYSTEMTIME last = MakeTime(2099, 5, 1, 8, 59, 59);
  SetNow(MakeTime(2099, 5, 1, 9, 0, 0));
  ASSERT_TRUE(manager.RunSchedulerPass(last));
  EXPECT_EQ(actions_.Calls().size(), 1u);
  EXPECT_EQ(Armed(wake), "2099-05-02 09:00:00 / 2099-05-02 08:59:00");
  manager.SetPaused(listed);
  EXPECT_EQ(Armed(wake), "");
  manager.SetPaused(listed);
  EXPECT_EQ(Armed(wake), "2099-05-02 09:00:00 / 2099-05-02 08:59:00");
}

}  // namespace
