#include "tasks/ActionExecutor.h"

#include "sys/HandOff.h"
#include "sys/StringFormat.h"
#include "sys/SystemActions.h"
#include "tasks/IQuelmTask.h"
#include "tasks/RunHistory.h"
#include "tasks/TaskPopups.h"
#include "tasks/TaskRef.h"

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
      return DoneOr(system.ShellRun(task.param1, task.param2, L"", false, false), L"无法启动程序");
    case ActionKind::CloseProgram:
      system.TerminateProgramByPath(task.param1);
      break;
    case ActionKind::OpenFile:
      for (const std::wstring& piece : SplitList(task.param1))
        system.ShellOpen(piece);
      break;
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
      bool started = true;
      bool refused = false;
      for (const std::wstring& piece : SplitList(task.param1)) {
        if (!IsPlainPath(piece))
          refused = true;
        else if (!system.ShellRun(L"xcopy.exe", BackupCommandLine(piece, task.param2), L"", false,
                                  true))
          started = false;
      }
      if (!started)
        return FailedResult(L"无法启动备份");
      if (refused)
        return SkippedResult(L"备份来源不安全");
      break;
    }
    case ActionKind::OpenUrl:
      for (const std::wstring& piece : SplitList(task.param1)) {
        if (!piece.empty())
          system.ShellOpen(piece);
      }
      break;
    default:
      return std::wstring();
  }
  return kRunDone;
}
