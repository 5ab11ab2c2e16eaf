#pragma once

#include "sys/SystemActions.h"

// The real system actions. Stateless; the program uses the one behind CurrentSystemActions().
class Win32SystemActions : public SystemActions {
 public:
  // SystemActions:
  bool EnablePrivilege(const std::wstring& name, bool enable) override;
  bool ExitSession(int kind) override;
  void LockWorkStation() override;
  void Suspend() override;
  void MonitorOff() override;
  void MonitorOn() override;
  void EmptyRecycleBin() override;
  LaunchResult ShellRun(const std::wstring& file,
                        const std::wstring& parameters,
                        const std::wstring& directory,
                        bool elevate,
                        bool hidden) override;
  LaunchResult ShellOpen(const std::wstring& target) override;
  void TerminateProgramByPath(const std::wstring& path) override;
};
