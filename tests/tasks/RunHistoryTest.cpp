#include "tasks/RunHistory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sys/Files.h"
#include "sys/HandOff.h"
#include "sys/StringFormat.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManager.h"
#include "tests/support/FakeClock.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/RecordingSystemActions.h"
#include "tests/support/TempDir.h"

namespace {

IQuelmTask TaskOf(ActionKind action,
                  const std::wstring& param1 = L"",
                  const std::wstring& param2 = L"") {
  IQuelmTask task;
  task.action = action;
  task.name = L"名称";
  task.param1 = param1;
  task.param2 = param2;
  task.time = MakeTime(2024, 5, 6, 8, 0, 1);
  return task;
}

IQuelmTask Paused(IQuelmTask task) {
  task.paused = true;
  return task;
}

size_t LinesOf(const std::wstring& path) {
  std::string bytes = ReadFileBytes(path);
  return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

class RunHistoryTest : public testing::Test {
 protected:
  void SetUp() override { clock_.SetLocal(2024, 5, 6, 8, 0, 0); }

  FakeClock clock_;
  RecordingSystemActions actions_;
  TempDir dir_;
  RunHistory history_{dir_.Child(L"history.log")};
  ScopedRunHistory install_{&history_};
};

TEST_F(RunHistoryTest, EveryRunOfTheEngineIsRecordedWithWhatItCameTo) {
  TaskManager manager(nullptr);
  SYSTEMTIME last = clock_.LocalTime();
  actions_.SetResult(false);  // the program cannot be started
  struct Case {
    IQuelmTask task;
    bool runNow;
    std::wstring verb, object, result;
  } cases[] = {
      {TaskOf(ActionKind::Lock), false, L"执行", L"锁定", L"已执行"},
      {Paused(TaskOf(ActionKind::RunProgram, L"C:\\a.exe")), true, L"运行", L"名称",
       L"失败：无法启动程序"},
      {TaskOf(ActionKind::BackupFiles, L"C:\\a.txt", L"C:\\<b>"), false, L"备份", L"C:\\a.txt",
       L"已跳过：保存目录不安全"},
      // Without a UI thread the reminder cannot be shown.
      {TaskOf(ActionKind::Remind, L"text"), false, L"提醒", L"名称", L"失败：无法显示窗口"},
  };
  for (Case& c : cases) {
    IQuelmTask* listed = manager.AddTask(c.task, false);
    if (c.runNow)
      manager.RunNow(listed);
  }
  clock_.AdvanceSeconds(1);
  ASSERT_TRUE(manager.RunSchedulerPass(last));
  std::vector<HistoryEvent> events = history_.ReadNewestFirst();
  ASSERT_EQ(events.size(), 4u);
  // The run now came first, then the scheduled runs in list order; newest first.
  const Case* order[] = {&cases[3], &cases[2], &cases[0], &cases[1]};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(events[i].time, i < 3 ? L"2024/05/06 08:00:01" : L"2024/05/06 08:00:00");
    EXPECT_EQ(events[i].guid, order[i]->task.guid);
    EXPECT_EQ(events[i].mode, L"每天");
    EXPECT_EQ(events[i].verb, order[i]->verb);
    EXPECT_EQ(events[i].object, order[i]->object);
    EXPECT_EQ(events[i].result, order[i]->result);
  }
}

TEST_F(RunHistoryTest, OneLinePerEventWithTheTextsFlattened) {
  IQuelmTask task = TaskOf(ActionKind::Remind);
  task.mode = ScheduleMode::Weekly;
  task.week = 0x15;
  task.name = L"a\tb\r\nc";
  RecordRun(task, L"");  // nothing happened: nothing is written
  RecordRun(task, kRunReminded);
  const std::string expected =
      WideToUtf8(L"2024/05/06 08:00:00\t" + task.guid + L"\t每周 一三五\t提醒\ta b  c\t已提醒\n");
  EXPECT_EQ(ReadFileBytes(history_.path()), expected);
  history_.Clear();
  EXPECT_EQ(ReadFileBytes(history_.path()), "");
  EXPECT_TRUE(history_.ReadNewestFirst().empty());
}

TEST_F(RunHistoryTest, TheUiThreadKeepsTheNewestThousandAndHearsEveryEvent) {
  ASSERT_NE(CreateHandOffWindow(), nullptr);
  std::string full;
  for (size_t i = 0; i < RunHistory::kTrimAbove; ++i)
    full += "2024/05/06 07:00:00\told-" + std::to_string(i) + "\t每天\t执行\t锁定\t已执行\n";
  dir_.WriteFile(L"history.log", full);
  std::vector<HistoryEvent> heard;
  SetHistoryListener(
      [](const HistoryEvent& e, uint64_t, void* heard) {
        static_cast<std::vector<HistoryEvent>*>(heard)->push_back(e);
      },
      &heard);
  IQuelmTask task = TaskOf(ActionKind::Lock);
  history_.Record(task, kRunDone);
  EXPECT_EQ(LinesOf(history_.path()), RunHistory::kTrimAbove + 1) << "the append only";
  EXPECT_TRUE(PumpUntil(
      [&] { return LinesOf(history_.path()) == RunHistory::kKeep && heard.size() == 1; }));
  std::vector<HistoryEvent> events = history_.ReadNewestFirst();
  ASSERT_EQ(events.size(), RunHistory::kKeep);
  EXPECT_EQ(events.front().guid, task.guid);
  EXPECT_EQ(events.back().guid, L"old-201") << "the oldest 201 went";
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].result, L"已执行");
  SetHistoryListener(nullptr, nullptr);
  DestroyHandOffWindow();
}

}  // namespace
