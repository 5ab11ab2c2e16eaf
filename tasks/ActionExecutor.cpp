#include "tasks/ActionExecutor.h"

#include "sys/HandOff.h"
#include "sys/StringFormat.h"
#include "sys/SystemActions.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskPopups.h"
#include "tasks/TaskRef.h"

namespace {

void EnableSessionPrivileges(SystemActions& system) {
  system.EnablePrivilege(L"SeDebugPrivilege", true);
  system.EnablePrivilege(L"SeShutdownPrivilege", true);
}

// Posts a job that hands a copy of `task` to `show` on the UI thread. The job holds its own
// reference, dropped with the job whether it ran or not.
template <class Show>
void PostPopupJob(IQuelmTask& task, Show show) {
  PostToUiThread(MakePostJob(&task, [show, ref = TaskRef(&task)](IQuelmTask* t) {
    if (TaskPopups* popups = CurrentTaskPopups())
      show(*popups, IQuelmTask(*t));
  }));
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

void ExecuteAction(IQuelmTask& task) {
  SystemActions& system = CurrentSystemActions();
  switch (task.action) {
    case ActionKind::Shutdown:
    case ActionKind::Restart:
      EnableSessionPrivileges(system);
      PostPopupJob(task,
                   [](TaskPopups& p, const IQuelmTask& copy) { p.ShowShutdownConfirm(copy); });
      break;
    case ActionKind::Sleep:
      EnableSessionPrivileges(system);
      system.Suspend();
      break;
    case ActionKind::LogOff:
      EnableSessionPrivileges(system);
      system.ExitSession(0);
      break;
    case ActionKind::Lock:
      EnableSessionPrivileges(system);
      system.LockWorkStation();
      break;
    case ActionKind::Remind:
      PostPopupJob(task, [](TaskPopups& p, const IQuelmTask& copy) { p.ShowReminder(copy); });
      break;
    case ActionKind::MonitorOff:
      system.MonitorOff();
      break;
    case ActionKind::MonitorOn:
      system.MonitorOn();
      break;
    case ActionKind::RunProgram:
      system.ShellRun(task.param1, task.param2, L"", false, false);
      break;
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
    case ActionKind::CleanTempJunk:
      PostToUiThread(MakePostJob(static_cast<void*>(nullptr), [](void*) {
        if (TaskPopups* popups = CurrentTaskPopups())
          popups->StartCleaning();
      }));
      break;
    case ActionKind::BackupFiles:
    case ActionKind::BackupDirectory:
      if (!IsPlainPath(task.param2))
        break;
      for (const std::wstring& piece : SplitList(task.param1)) {
        if (IsPlainPath(piece))
          system.ShellRun(L"xcopy.exe", BackupCommandLine(piece, task.param2), L"", false, true);
      }
      break;
    case ActionKind::OpenUrl:
      for (const std::wstring& piece : SplitList(task.param1)) {
        if (!piece.empty())
          system.ShellOpen(piece);
      }
      break;
  }
}
