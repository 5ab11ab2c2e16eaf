#pragma once

#include <string>

#include "sys/LaunchResult.h"

// The system operations that task actions perform. The program uses the Win32 implementation;
// tests install a recording fake so that nothing ends the session, sleeps, locks or powers off
// the monitor of the machine running them.
class SystemActions {
 public:
  virtual ~SystemActions() = default;

  virtual bool EnablePrivilege(const std::wstring& name, bool enable) = 0;
  // 0 log off, 1 shut down, 2 restart; always forced.
  virtual bool ExitSession(int kind) = 0;
  virtual void LockWorkStation() = 0;
  // Sleep, not hibernation.
  virtual void Suspend() = 0;
  virtual void MonitorOff() = 0;
  // Wakes the monitor and nudges the mouse down and back so that the pointer ends where it was.
  virtual void MonitorOn() = 0;
  // Empties the recycle bin of every drive without confirmation, progress or sound.
  virtual void EmptyRecycleBin() = 0;
  // Starts a program or document; Skipped when this process is elevated and nothing can
  // start it with the rights of the user.
  virtual LaunchResult ShellRun(const std::wstring& file,
                                const std::wstring& parameters,
                                const std::wstring& directory,
                                bool elevate,
                                bool hidden) = 0;
  // Opens a document, folder or web address with the shell's "open" verb, shown normally;
  // Skipped as ShellRun is.
  virtual LaunchResult ShellOpen(const std::wstring& target) = 0;
  // Ends the processes of `path` that belong to this program's user and session.
  virtual void TerminateProgramByPath(const std::wstring& path) = 0;
};

// The implementation in force: the Win32 one unless a test installed another.
SystemActions& CurrentSystemActions();
// Installs `actions` (borrowed) and returns the previous one; nullptr reinstalls Win32.
SystemActions* SetSystemActions(SystemActions* actions);
