#include "tasks/ActionExecutor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>

#include "sys/Files.h"
#include "sys/HandOff.h"
#include "sys/Handles.h"
#include "sys/StringFormat.h"
#include "sys/UserToken.h"
#include "tasks/IQuelmTask.h"
#include "tasks/RunHistory.h"
#include "tasks/TaskPopups.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/RecordingSystemActions.h"
#include "tests/support/StartProcess.h"
#include "tests/support/TempDir.h"

namespace {

// The recorded calls as lines: the name, then the arguments joined by "|".
std::vector<std::wstring> Lines(const RecordingSystemActions& actions) {
  std::vector<std::wstring> lines;
  for (const RecordedCall& call : actions.Calls()) {
    std::wstring line = call.name;
    for (size_t i = 0; i < call.args.size(); ++i)
      line += (i == 0 ? L" " : L"|") + call.args[i];
    lines.push_back(line);
  }
  return lines;
}

class RecordingPopups : public TaskPopups {
 public:
  RecordingPopups() { previous_ = SetTaskPopups(this); }
  ~RecordingPopups() override { SetTaskPopups(previous_); }
  void ShowShutdownConfirm(const IQuelmTask& task) override { shown.push_back({L"confirm", task}); }
  void ShowReminder(const IQuelmTask& task) override { shown.push_back({L"remind", task}); }
  void StartCleaning() override { shown.push_back({L"clean", IQuelmTask()}); }

  std::vector<std::pair<std::wstring, IQuelmTask>> shown;

 private:
  TaskPopups* previous_;
};

IQuelmTask Task(ActionKind action,
                const std::wstring& param1 = L"",
                const std::wstring& param2 = L"") {
  IQuelmTask task;
  task.action = action;
  task.name = L"N";
  task.param1 = param1;
  task.param2 = param2;
  return task;
}

const wchar_t kDebug[] = L"EnablePrivilege SeDebugPrivilege|true";
const wchar_t kShutdown[] = L"EnablePrivilege SeShutdownPrivilege|true";

TEST(ActionExecutor, SystemCallsOfEachAction) {
  using Calls = std::vector<std::wstring>;
  struct Case {
    IQuelmTask task;
    Calls expected;
  };
  const std::wstring xcopy = L"ShellRun " + SystemPath(L"xcopy.exe") + L"|";
  const Case cases[] = {
      {Task(ActionKind::Shutdown), {kDebug, kShutdown}},
      {Task(ActionKind::Restart), {kDebug, kShutdown}},
      {Task(ActionKind::Sleep), {kDebug, kShutdown, L"Suspend"}},
      {Task(ActionKind::LogOff), {kDebug, kShutdown, L"ExitSession 0"}},
      {Task(ActionKind::Lock), {kDebug, kShutdown, L"LockWorkStation"}},
      {Task(ActionKind::Remind, L"text"), {}},
      {Task(ActionKind::MonitorOff), {L"MonitorOff"}},
      {Task(ActionKind::MonitorOn), {L"MonitorOn"}},
      {Task(ActionKind::RunProgram, L"C:\\p.exe", L"-a \"b c\""),
       {L"ShellRun C:\\p.exe|-a \"b c\"||false|false"}},
      {Task(ActionKind::CloseProgram, L"C:\\p.exe"), {L"TerminateProgramByPath C:\\p.exe"}},
      {Task(ActionKind::OpenFile, L"C:\\a.txt||C:\\b.txt|"),
       {L"ShellOpen C:\\a.txt", L"ShellOpen ", L"ShellOpen C:\\b.txt"}},
      {Task(ActionKind::EmptyRecycleBin), {L"EmptyRecycleBin"}},
      {Task(ActionKind::CleanTempJunk), {}},
      {Task(ActionKind::BackupFiles, L"C:\\a.txt||C:\\b.txt|", L"D:\\dest"),
       {xcopy + L"\"C:\\a.txt\" \"D:\\dest\\\" /s /e /c /y||false|true",
        xcopy + L"\"C:\\b.txt\" \"D:\\dest\\\" /s /e /c /y||false|true"}},
      {Task(ActionKind::BackupDirectory, L"C:\\src", L"D:\\dest"),
       {xcopy + L"\"C:\\src\" \"D:\\dest\\\" /s /e /c /y||false|true"}},
      // Pieces no path can be are refused one by one; a bad destination refuses them all.
      {Task(ActionKind::BackupFiles, L"C:\\x\" & calc|C:\\a<b|C:\\t\tab|C:\\ok", L"D:\\d"),
       {xcopy + L"\"C:\\ok\" \"D:\\d\\\" /s /e /c /y||false|true"}},
      {Task(ActionKind::BackupDirectory, L"C:\\src", L"D:\\d\" & calc & \""), {}},
      {Task(ActionKind::BackupDirectory, L"C:\\src", L"D:\\d>x"), {}},
      {Task(ActionKind::OpenUrl, L"https://a.example/|||https://b.example/|"),
       {L"ShellOpen https://a.example/", L"ShellOpen https://b.example/"}},
      // Only web addresses open; a bare host name is given "http://".
      {Task(ActionKind::OpenUrl, L"calc|C:\\x.bat|file:///C:/x.bat|www.c.example/p"),
       {L"ShellOpen http://www.c.example/p"}},
      {Task(static_cast<ActionKind>(16), L"x"), {}},
      {Task(static_cast<ActionKind>(-3), L"x"), {}},
  };
  for (const Case& c : cases) {
    RecordingSystemActions actions;
    IQuelmTask task(c.task);
    ExecuteAction(task);
    EXPECT_EQ(Lines(actions), c.expected) << static_cast<int>(c.task.action);
  }
}

// The run history hears a start that an elevated program without a shell skipped as a skip,
// and a refused piece of an address list as one too.
TEST(ActionExecutor, WhatCameOfEachStartIsTheRunsResult) {
  const std::wstring notAsUser = SkippedResult(L"无法以普通用户身份启动");
  struct Case {
    IQuelmTask task;
    LaunchResult launch;
    std::wstring result;
  } cases[] = {
      {Task(ActionKind::RunProgram, L"C:\\p.exe"), LaunchResult::Started, kRunDone},
      {Task(ActionKind::RunProgram, L"C:\\p.exe"), LaunchResult::Failed,
       FailedResult(L"无法启动程序")},
      {Task(ActionKind::RunProgram, L"C:\\p.exe"), LaunchResult::Skipped, notAsUser},
      {Task(ActionKind::OpenFile, L"C:\\a.txt"), LaunchResult::Skipped, notAsUser},
      {Task(ActionKind::BackupFiles, L"C:\\a.txt", L"D:\\d"), LaunchResult::Skipped, notAsUser},
      {Task(ActionKind::BackupFiles, L"C:\\a.txt", L"D:\\d"), LaunchResult::Failed,
       FailedResult(L"无法启动备份")},
      {Task(ActionKind::OpenUrl, L"https://x/"), LaunchResult::Started, kRunDone},
      {Task(ActionKind::OpenUrl, L"https://x/"), LaunchResult::Skipped, notAsUser},
      {Task(ActionKind::OpenUrl, L"https://x/|calc"), LaunchResult::Started,
       SkippedResult(L"不是网址")},
  };
  for (const Case& c : cases) {
    RecordingSystemActions actions;
    actions.SetLaunchResult(c.launch);
    IQuelmTask task(c.task);
    EXPECT_EQ(ExecuteAction(task), c.result) << c.task.param1 << " " << static_cast<int>(c.launch);
  }
}

class ExecutorJobsTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(CreateHandOffWindow(), nullptr); }
  void TearDown() override { DestroyHandOffWindow(); }
};

TEST_F(ExecutorJobsTest, ShutdownAndRestartOnlyAskTheConfirmationWindow) {
  RecordingSystemActions actions;
  RecordingPopups popups;
  int32_t live = IQuelmTask::LiveCount();
  IQuelmTask* shutdown = new IQuelmTask(Task(ActionKind::Shutdown));
  shutdown->mode = ScheduleMode::Watch;  // "when the download ends" still asks first
  IQuelmTask* restart = new IQuelmTask(Task(ActionKind::Restart));
  ExecuteAction(*shutdown);
  ExecuteAction(*restart);
  EXPECT_EQ(shutdown->refCount, 2) << "the posted job holds its own reference";
  EXPECT_TRUE(popups.shown.empty()) << "the window opens from the UI thread's job, not inline";
  ASSERT_TRUE(PumpUntil([&] { return popups.shown.size() == 2; }));
  EXPECT_EQ(popups.shown[0].first, L"confirm");
  EXPECT_EQ(popups.shown[0].second.guid, shutdown->guid);
  EXPECT_EQ(popups.shown[1].second.action, ActionKind::Restart);
  EXPECT_EQ(shutdown->refCount, 1) << "the job dropped its reference";
  shutdown->Release();
  restart->Release();
  EXPECT_EQ(IQuelmTask::LiveCount(), live + 2) << "only the popups' copies remain";
  for (const std::wstring& call : Lines(actions))
    EXPECT_EQ(call.find(L"ExitSession"), std::wstring::npos) << "never ends the session itself";
}

TEST_F(ExecutorJobsTest, ReminderShowsACopyAndCleaningTakesNoReference) {
  RecordingSystemActions actions;
  RecordingPopups popups;
  IQuelmTask remind = Task(ActionKind::Remind, L"喝水");
  remind.name = L"提醒";
  IQuelmTask clean = Task(ActionKind::CleanTempJunk);
  ExecuteAction(remind);
  ExecuteAction(clean);
  EXPECT_EQ(remind.refCount, 2);
  EXPECT_EQ(clean.refCount, 1);
  ASSERT_TRUE(PumpUntil([&] { return popups.shown.size() == 2; }));
  EXPECT_EQ(popups.shown[0].first, L"remind");
  EXPECT_EQ(popups.shown[0].second.name, L"提醒");
  EXPECT_EQ(popups.shown[1].first, L"clean");
  EXPECT_EQ(remind.refCount, 1);
}

TEST_F(ExecutorJobsTest, JobsDropTheirReferenceWhenNoPopupsAreInstalled) {
  RecordingSystemActions actions;
  IQuelmTask remind = Task(ActionKind::Remind, L"x");
  ExecuteAction(remind);
  ASSERT_TRUE(PumpUntil([&] { return remind.refCount == 1; }));
}

TEST_F(ExecutorJobsTest, JobsStillQueuedAtShutDownGiveTheirReferenceBack) {
  RecordingSystemActions actions;
  RecordingPopups popups;
  IQuelmTask remind = Task(ActionKind::Remind, L"x");
  ExecuteAction(remind);
  ASSERT_EQ(remind.refCount, 2);
  DestroyHandOffWindow();
  EXPECT_EQ(remind.refCount, 1);
  EXPECT_TRUE(popups.shown.empty());
}

TEST(ExecutorWithoutHandOffWindow, PostingActionsKeepNoReference) {
  RecordingSystemActions actions;
  IQuelmTask remind = Task(ActionKind::Remind, L"x");
  IQuelmTask shutdown = Task(ActionKind::Shutdown);
  ExecuteAction(remind);
  ExecuteAction(shutdown);
  EXPECT_EQ(remind.refCount, 1);
  EXPECT_EQ(shutdown.refCount, 1);
}

// The real actions, carried out by Wine's shell and xcopy.
class RealActionsTest : public testing::Test {
 protected:
  void SetUp() override {
    recorder = GetModuleDirectory() + L"\\quelm_recorder.exe";
    // Where the recorder writes when the desktop shell started it, without our environment.
    log = GetModuleDirectory() + L"\\quelm_recorder.log";
    DeleteFileW(log.c_str());
    actions.ForwardHarmlessCalls(true);
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"QUELM_RECORDER_STAY", nullptr);
    DeleteFileW(log.c_str());
  }
  // The recorder's command lines once `count` of them arrived (or what came within 20 s).
  std::vector<std::wstring> RecordedLines(size_t count) {
    std::vector<std::wstring> lines;
    PumpUntil(
        [&] {
          lines.clear();
          std::wistringstream in(Utf8ToWide(ReadFileBytes(log)));
          for (std::wstring line; std::getline(in, line);)
            lines.push_back(line);
          return lines.size() >= count;
        },
        20000);
    return lines;
  }
  static size_t Count(const std::vector<std::wstring>& lines, const std::wstring& what) {
    size_t n = 0;
    for (const std::wstring& line : lines)
      n += line.find(what) != std::wstring::npos;
    return n;
  }
  // Makes the file type `key` open with the recorder.
  void RegisterOpenCommand(const std::wstring& key) {
    const std::wstring& base = key;
    std::wstring command = L"\"" + recorder + L"\" \"%1\"";
    RegSetKeyValueW(HKEY_CLASSES_ROOT, (base + L"\\shell\\open\\command").c_str(), nullptr, REG_SZ,
                    command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    registered.push_back(base);
  }
  // Makes web addresses of `scheme` open with the recorder until the test ends; the prefix's
  // own command (Wine's browser) is put back then.
  void RedirectWebScheme(const std::wstring& scheme) {
    const std::wstring key = scheme + L"\\shell\\open\\command";
    wchar_t saved[1024] = {};
    DWORD size = sizeof(saved);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, saved,
                     &size) == ERROR_SUCCESS)
      redirected.push_back({key, saved});
    const std::wstring command = L"\"" + recorder + L"\" \"%1\"";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, command.c_str(),
                              static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  ~RealActionsTest() override {
    for (const std::wstring& key : registered)
      RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    for (const auto& [key, command] : redirected) {
      RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, command.c_str(),
                      static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
  }

  TempDir temp;
  std::wstring recorder;
  std::wstring log;
  std::vector<std::wstring> registered;
  std::vector<std::pair<std::wstring, std::wstring>> redirected;
  RecordingSystemActions actions;
};

TEST_F(RealActionsTest, RunProgramStartsTheExecutableWithItsParameters) {
  IQuelmTask task = Task(ActionKind::RunProgram, recorder, L"alpha \"beta gamma\"");
  ExecuteAction(task);
  std::vector<std::wstring> lines = RecordedLines(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(L"alpha \"beta gamma\""), std::wstring::npos) << lines[0];
}

TEST_F(RealActionsTest, CloseProgramEndsEveryProcessOfThatPath) {
  SetEnvironmentVariableW(L"QUELM_RECORDER_STAY", L"1");
  ScopedHandle copies[2];
  for (ScopedHandle& copy : copies) {
    copy = StartProcess(recorder, L"");
    ASSERT_TRUE(copy);
  }
  RecordedLines(2);  // both are up and running
  IQuelmTask task = Task(ActionKind::CloseProgram, recorder);
  ExecuteAction(task);
  for (ScopedHandle& copy : copies) {
    DWORD waited = WaitForSingleObject(copy.get(), 20000);
    if (waited != WAIT_OBJECT_0)
      TerminateProcess(copy.get(), 1);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
  }
}

TEST_F(RealActionsTest, OpenFileOpensEachFileWithItsProgram) {
  RegisterOpenCommand(L"QuelmTest.Record");
  RegSetKeyValueW(HKEY_CLASSES_ROOT, L".quelmrec", nullptr, REG_SZ, L"QuelmTest.Record",
                  sizeof(L"QuelmTest.Record"));
  registered.push_back(L".quelmrec");
  std::wstring a = temp.WriteFile(L"first.quelmrec", "1");
  std::wstring b = temp.WriteFile(L"second.quelmrec", "2");
  IQuelmTask task = Task(ActionKind::OpenFile, a + L"|" + b);
  ExecuteAction(task);
  std::vector<std::wstring> lines = RecordedLines(2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Count(lines, L"first.quelmrec"), 1u);
  EXPECT_EQ(Count(lines, L"second.quelmrec"), 1u);
}

TEST_F(RealActionsTest, OpenUrlOpensEachAddressOnceDespiteATrailingSeparator) {
  RedirectWebScheme(L"https");
  IQuelmTask task = Task(ActionKind::OpenUrl, L"https://a.example/one|https://a.example/two|");
  ExecuteAction(task);
  std::vector<std::wstring> lines = RecordedLines(2);
  PumpUntil([] { return false; }, 500);  // a third opening would have arrived by now
  lines = RecordedLines(2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Count(lines, L"https://a.example/one"), 1u);
  EXPECT_EQ(Count(lines, L"https://a.example/two"), 1u);
}

// Joined with "|", one address with a batch file after it was two things to open, and the
// shell runs a batch file it is asked to open.
TEST_F(RealActionsTest, AnAddressFollowedByABatchFileOpensOnlyTheAddress) {
  RedirectWebScheme(L"https");
  const std::wstring batch =
      temp.WriteFile(L"owned.bat", "@echo owned> \"%~dp0owned.txt\"\r\n@exit\r\n");
  IQuelmTask task = Task(ActionKind::OpenUrl, L"https://x/?q=a|" + batch);
  EXPECT_EQ(ExecuteAction(task), SkippedResult(L"不是网址"));
  std::vector<std::wstring> lines = RecordedLines(1);
  PumpUntil([] { return false; }, 1000);  // the batch file opened after it would have run
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Count(lines, L"https://x/?q=a"), 1u);
  EXPECT_FALSE(PathExists(temp.Child(L"owned.txt")));
  EXPECT_EQ(Lines(actions), std::vector<std::wstring>{L"ShellOpen https://x/?q=a"});
}

TEST_F(RealActionsTest, BackupCopiesFilesAndFolderContentsIntoTheDestination) {
  CreateDirectoryW(temp.Child(L"dest").c_str(), nullptr);
  CreateDirectoryW(temp.Child(L"src1").c_str(), nullptr);
  CreateDirectoryW(temp.Child(L"src1\\nested").c_str(), nullptr);
  CreateDirectoryW(temp.Child(L"src1\\empty").c_str(), nullptr);
  CreateDirectoryW(temp.Child(L"src2").c_str(), nullptr);
  temp.WriteFile(L"src1\\top.txt", "top");
  temp.WriteFile(L"src1\\nested\\deep.txt", "deep");
  temp.WriteFile(L"src2\\other.txt", "other");
  std::wstring f1 = temp.WriteFile(L"one file.txt", "1");
  std::wstring f2 = temp.WriteFile(L"two.txt", "2");
  std::wstring dest = temp.Child(L"dest");

  IQuelmTask files = Task(ActionKind::BackupFiles, f1 + L"|" + f2 + L"|", dest);
  IQuelmTask dirs =
      Task(ActionKind::BackupDirectory, temp.Child(L"src1") + L"|" + temp.Child(L"src2"), dest);
  ExecuteAction(files);
  ExecuteAction(dirs);

  const wchar_t* expected[] = {L"one file.txt", L"two.txt", L"top.txt", L"nested\\deep.txt",
                               L"other.txt"};
  bool all = PumpUntil(
      [&] {
        for (const wchar_t* name : expected) {
          if (ReadFileBytes(dest + L"\\" + name).empty())
            return false;
        }
        return true;
      },
      30000);
  EXPECT_TRUE(all);
  EXPECT_EQ(ReadFileBytes(dest + L"\\nested\\deep.txt"), "deep");
  EXPECT_EQ(ReadFileBytes(dest + L"\\other.txt"), "other");
  EXPECT_NE(GetFileAttributesW((dest + L"\\empty").c_str()), INVALID_FILE_ATTRIBUTES)
      << "empty folders are copied too";
  EXPECT_EQ(GetFileAttributesW((dest + L"\\src1").c_str()), INVALID_FILE_ATTRIBUTES)
      << "a folder's contents land directly in the destination";
}

TEST_F(RealActionsTest, BackupRunsNoCommandHiddenInATaskText) {
  const std::wstring owned = L"C:\\owned.txt";
  DeleteFileW(owned.c_str());
  std::wstring source = temp.WriteFile(L"plain.txt", "plain");
  std::wstring dest = temp.Child(L"dest");
  CreateDirectoryW(dest.c_str(), nullptr);
  IQuelmTask task =
      Task(ActionKind::BackupFiles, L"C:\\x\" & echo owned > " + owned + L" & \"|" + source, dest);
  ExecuteAction(task);
  // The hostile piece comes first, so its command would be done once the plain copy is.
  EXPECT_TRUE(PumpUntil([&] { return !ReadFileBytes(dest + L"\\plain.txt").empty(); }, 30000));
  EXPECT_FALSE(PathExists(owned));
  DeleteFileW(owned.c_str());
}

}  // namespace
