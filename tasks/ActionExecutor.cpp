#include "tasks/ActionExecutor.h"

#include "sys/DebugLog.h"
#include "sys/HandOff.h"
#include "sys/StringFormat.h"
#include "sys/SystemActions.h"
#include "sys/UserToken.h"
#include "tasks/IQuelmTask.h"
#include "tasks/RunHistory.h"
#include "tasks/TaskPopups.h"
#include "tasks/TaskRef.h"
#include "tasks/WebAddress.h"

namespace {

void EnableSessionPrivileges(SystemActions& system) {
  system.EnablePrivilege(L"SeDebugPrivilege", true);
  system.EnablePrivilege(L"SeShutdownPrivilege", true);
}

// Posts a job that hands a copy of `task` to `show` on the UI thread. The job holds its own
// reference, dropped with the job whether it ran or not. Empty when posted: the window records
// the outcome.
template <class Show>
std::wstring PostPopupJob(IQuelmTask& task, Show show) {
  const bool posted =
      PostToUiThread(MakePostJob(&task, [show, ref = TaskRef(&task)](IQuelmTask* t) {
        if (TaskPopups* popups = CurrentTaskPopups())
          show(*popups, IQuelmTask(*t));
      }));
  return posted ? std::wstring() : FailedResult(L"无法显示窗口");
}

std::wstring DoneOr(bool ok, const wchar_t* failure) {
  return ok ? std::wstring(kRunDone) : FailedResult(failure);
}

// Why a start was skipped: the program is elevated and nothing could start it as the user.
const wchar_t kNotAsUser[] = L"无法以普通用户身份启动";

std::wstring LaunchOutcome(LaunchResult result, const wchar_t* failure) {
  switch (result) {
    case LaunchResult::Started:
      return kRunDone;
    case LaunchResult::Skipped:
      return SkippedResult(kNotAsUser);
    case LaunchResult::Failed:
      break;
  }
  return FailedResult(failure);
}

}  // namespace

std::wstring BackupCommandLine(const std::wstring& source, const std::wstring& destination) {
  return WFormat(L"\"%ls\" \"%ls\\\" /s /e /c /y", source.c_str(), destination.c_str());
}

bool IsPlainPath(const std::wstring& text) {
  if (text.empty())
    return false;
  for (wchar_t c : text) {
    if (c < 32 || c == L'"' || c == L'<' || c == L'>' || c == L'|')
      return false;
  }
  return true;
}

std::wstring ExecuteAction(IQuelmTask& task) {
  SystemActions& system = CurrentSystemActions();
  switch (task.action) {
    case ActionKind::Shutdown:
    case ActionKind::Restart:
      EnableSessionPrivileges(system);
      return PostPopupJob(
          task, [](TaskPopups& p, const IQuelmTask& copy) { p.ShowShutdownConfirm(copy); });
    case ActionKind::Sleep:
      EnableSessionPrivileges(system);
      system.Suspend();
      break;
    case ActionKind::LogOff:
      EnableSessionPrivileges(system);
      return DoneOr(system.ExitSession(0), L"无法注销");
    case ActionKind::Lock:
      EnableSessionPrivileges(system);
      system.LockWorkStation();
      break;
    case ActionKind::Remind:
      return PostPopupJob(task,
                          [](TaskPopups& p, const IQuelmTask& copy) { p.ShowReminder(copy); });
    case ActionKind::MonitorOff:
      system.MonitorOff();
      break;
    case ActionKind::MonitorOn:
      system.MonitorOn();
      break;
    case ActionKind::RunProgram:
      return LaunchOutcome(system.ShellRun(task.param1, task.param2, L"", false, false),
                           L"无法启动程序");
    case ActionKind::CloseProgram:
      system.TerminateProgramByPath(task.param1);
      break;
    case ActionKind::OpenFile: {
      bool skipped = false;
      for (const std::wstring& piece : SplitList(task.param1))
        skipped |= system.ShellOpen(piece) == LaunchResult::Skipped;
      if (skipped)
        return SkippedResult(kNotAsUser);
      break;
    }
    case ActionKind::EmptyRecycleBin:
      system.EmptyRecycleBin();
      break;
    case ActionKind::CleanTempJunk: {
      const bool posted = PostToUiThread(MakePostJob(static_cast<void*>(nullptr), [](void*) {
        if (TaskPopups* popups = CurrentTaskPopups())
          popups->StartCleaning();
      }));
      return DoneOr(posted, L"无法显示窗口");
    }
    case ActionKind::BackupFiles:
    case ActionKind::BackupDirectory: {
      if (!IsPlainPath(task.param2))
        return SkippedResult(L"保存目录不安全");
      // By its full path: a planted xcopy.exe in a working folder is never the one found.
      const std::wstring xcopy = SystemPath(L"xcopy.exe");
      if (xcopy.empty())
        return FailedResult(L"无法启动备份");
      bool started = true;
      bool refused = false;
      bool skipped = false;
      for (const std::wstring& piece : SplitList(task.param1)) {
        if (!IsPlainPath(piece)) {
          refused = true;
          continue;
        }
        switch (system.ShellRun(xcopy, BackupCommandLine(piece, task.param2), L"", false, true)) {
          case LaunchResult::Started:
            break;
          case LaunchResult::Skipped:
            skipped = true;
            break;
          case LaunchResult::Failed:
            started = false;
            break;
        }
      }
      if (!started)
        return FailedResult(L"无法启动备份");
      if (refused)
        return SkippedResult(L"备份来源不安全");
      if (skipped)
        return SkippedResult(kNotAsUser);
      break;
    }
    case ActionKind::OpenUrl: {
      bool refused = false;
      bool skipped = false;
      for (const std::wstring& piece : SplitList(task.param1)) {
        if (piece.empty())
          continue;
        const std::wstring address = AddressToOpen(piece);
        if (address.empty()) {
          DebugLog(L"not opened, not a web address: " + piece);
          refused = true;
          continue;
        }
        skipped |= system.ShellOpen(address) == LaunchResult::Skipped;
      }
      if (refused)
        return SkippedResult(L"不是网址");
      if (skipped)
        return SkippedResult(kNotAsUser);
      break;
    }
    default:
      return std::wstring();
  }
  return kRunDone;
}
