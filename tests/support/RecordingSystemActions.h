#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "sys/Win32SystemActions.h"

// One call made to the system actions: the operation's name and its arguments as text (bools
// as "true"/"false", numbers in decimal).
struct RecordedCall {
  std::wstring name;
  std::vector<std::wstring> args;

  bool operator==(const RecordedCall& other) const {
    return name == other.name && args == other.args;
  }
};

// System actions for tests: records every call in order and does nothing, so that nothing ends
// the session, sleeps, locks or powers off the monitor. Installed for its lifetime. The harmless
// calls (ShellRun, ShellOpen, TerminateProgramByPath) can be forwarded to the Win32
// implementation so that programs really start and end. Safe to call from any thread.
class RecordingSystemActions : public SystemActions {
 public:
  RecordingSystemActions();
  ~RecordingSystemActions() override;
  RecordingSystemActions(const RecordingSystemActions&) = delete;
  RecordingSystemActions& operator=(const RecordingSystemActions&) = delete;

  // Also carry out ShellRun, ShellOpen and TerminateProgramByPath for real (off by default).
  void ForwardHarmlessCalls(bool forward);
  // What the recorded bool-returning calls answer when not forwarded (true by default); the
  // launching calls answer Started or Failed accordingly.
  void SetResult(bool result);
  // What the launching calls answer when not forwarded, whatever SetResult said.
  void SetLaunchResult(LaunchResult result);

  std::vector<RecordedCall> Calls() const;
  // The operation names alone, in call order.
  std::vector<std::wstring> CallNames() const;
  void Clear();
  // Waits until at least `count` calls were recorded; false when `timeoutMs` passes first.
  bool WaitForCalls(size_t count, DWORD timeoutMs) const;

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

 private:
  // Records the call; true when it is to be forwarded.
  bool Record(std::wstring name, std::vector<std::wstring> args);
  LaunchResult RecordedLaunchResult() const;

  mutable std::mutex mutex_;
  mutable std::condition_variable recorded_;
  std::vector<RecordedCall> calls_;
  bool forward_ = false;
  bool result_ = true;
  bool launchResultSet_ = false;
  LaunchResult launchResult_ = LaunchResult::Started;
  Win32SystemActions real_;
  SystemActions* previous_ = nullptr;
};
