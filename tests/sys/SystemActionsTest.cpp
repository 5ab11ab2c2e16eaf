#include "sys/SystemActions.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "sys/Guid.h"
#include "sys/Processes.h"
#include "sys/Win32SystemActions.h"
#include "tests/support/RecordingSystemActions.h"
#include "tests/support/TempDir.h"
#include "tests/sys/SysTestSupport.h"

namespace {

std::wstring TouchArguments(const std::wstring& file) {
  return L"touch \"" + file + L"\"";
}

}  // namespace

TEST(SystemActions, TheWin32ActionsAreInForceUnlessAFakeIsInstalled) {
  SystemActions* real = &CurrentSystemActions();
  EXPECT_NE(dynamic_cast<Win32SystemActions*>(real), nullptr);
  {
    RecordingSystemActions outer;
    EXPECT_EQ(&CurrentSystemActions(), &outer);
    {
      RecordingSystemActions inner;
      EXPECT_EQ(&CurrentSystemActions(), &inner);
    }
    EXPECT_EQ(&CurrentSystemActions(), &outer);
  }
  EXPECT_EQ(&CurrentSystemActions(), real);
  EXPECT_EQ(SetSystemActions(nullptr), real);
  EXPECT_EQ(&CurrentSystemActions(), real);
}

TEST(RecordingSystemActions, RecordsEveryCallWithItsArgumentsAndDoesNothing) {
  RecordingSystemActions fake;
  TempDir dir;
  SystemActions& actions = CurrentSystemActions();
  EXPECT_TRUE(actions.EnablePrivilege(L"SeShutdownPrivilege", true));
  EXPECT_TRUE(actions.ExitSession(1));
  actions.LockWorkStation();
  actions.Suspend();
  actions.MonitorOff();
  actions.MonitorOn();
  actions.EmptyRecycleBin();
  fake.SetResult(false);
  EXPECT_EQ(actions.ShellRun(HelperPath(), TouchArguments(dir.Child(L"a")), L"C:\\", false, true),
            LaunchResult::Failed);
  EXPECT_FALSE(actions.EnablePrivilege(L"SeDebugPrivilege", false));
  actions.ShellOpen(L"https://example.com/");
  actions.TerminateProgramByPath(L"C:\\x\\y.exe");
  const std::vector<RecordedCall> expected = {
      {L"EnablePrivilege", {L"SeShutdownPrivilege", L"true"}},
      {L"ExitSession", {L"1"}},
      {L"LockWorkStation", {}},
      {L"Suspend", {}},
      {L"MonitorOff", {}},
      {L"MonitorOn", {}},
      {L"EmptyRecycleBin", {}},
      {L"ShellRun", {HelperPath(), TouchArguments(dir.Child(L"a")), L"C:\\", L"false", L"true"}},
      {L"EnablePrivilege", {L"SeDebugPrivilege", L"false"}},
      {L"ShellOpen", {L"https://example.com/"}},
      {L"TerminateProgramByPath", {L"C:\\x\\y.exe"}},
  };
  EXPECT_EQ(fake.Calls(), expected);
  EXPECT_EQ(fake.CallNames().size(), expected.size());
  EXPECT_EQ(fake.CallNames()[1], L"ExitSession");

  // A forwarded run afterwards proves the recorded one did not start the helper.
  fake.ForwardHarmlessCalls(true);
  EXPECT_EQ(actions.ShellRun(HelperPath(), TouchArguments(dir.Child(L"b")), L"", false, true),
            LaunchResult::Started);
  EXPECT_TRUE(PumpUntil([&] { return PathExists(dir.Child(L"b")); }));
  EXPECT_FALSE(PathExists(dir.Child(L"a")));
  fake.Clear();
  EXPECT_TRUE(fake.Calls().empty());
}

TEST(RecordingSystemActions, ForwardsTheHarmlessCallsToTheRealSystem) {
  RecordingSystemActions fake;
  fake.ForwardHarmlessCalls(true);
  TempDir dir;
  const std::wstring batch =
      dir.WriteFile(L"open.bat", "@echo opened> \"%~dp0opened.txt\"\r\n@exit\r\n");
  CurrentSystemActions().ShellOpen(batch);
  EXPECT_TRUE(PumpUntil([&] { return PathExists(dir.Child(L"opened.txt")); }));

  const std::wstring eventName = L"Local\\quelm-sys-helper-" + NewGuidString();
  ScopedHandle event(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
  ScopedHandle helper = StartHelper(L"wait " + eventName);
  ASSERT_TRUE(helper.valid());
  DWORD pid = GetProcessId(helper.get());
  std::wstring path;
  ASSERT_TRUE(PumpUntil([&] {
    for (const RunningProcess& process : ListProcesses()) {
      if (process.pid == pid)
        path = process.path;
    }
    return !path.empty();
  }));
  CurrentSystemActions().TerminateProgramByPath(path);
  ASSERT_EQ(WaitForSingleObject(helper.get(), 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(helper.get(), &code);
  EXPECT_EQ(code, 0u) << "ended by termination, not by the event";
  SetEvent(event.get());
  EXPECT_EQ(fake.CallNames(), (std::vector<std::wstring>{L"ShellOpen", L"TerminateProgramByPath"}));
}

TEST(RecordingSystemActions, RecordsCallsFromManyThreads) {
  RecordingSystemActions fake;
  const int kThreads = 4;
  const int kCalls = 50;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kCalls; ++i)
        CurrentSystemActions().ExitSession(t * 1000 + i);
    });
  }
  ASSERT_TRUE(fake.WaitForCalls(kThreads * kCalls, 10000));
  for (std::thread& thread : threads)
    thread.join();
  std::vector<int> next(kThreads, 0);
  for (const RecordedCall& call : fake.Calls()) {
    int value = std::stoi(call.args.at(0));
    int t = value / 1000;
    EXPECT_EQ(value % 1000, next[t]++) << "each thread's calls keep their order";
  }
  EXPECT_EQ(next, std::vector<int>(kThreads, kCalls));
  EXPECT_FALSE(fake.WaitForCalls(kThreads * kCalls + 1, 0));
}

TEST(Win32SystemActions, MonitorOnLeavesThePointerWhereItWas) {
  SetCursorPos(200, 300);
  POINT before = {};
  GetCursorPos(&before);
  Win32SystemActions().MonitorOn();
  POINT after = {};
  GetCursorPos(&after);
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);
}
