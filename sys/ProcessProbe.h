#pragma once

#include <string>
#include <vector>

// Which programs are running, for the watch of "when a program ends" tasks. The program asks the
// system's process list; tests install a probe of their own, so that the watch can be driven
// without real processes.
class ProcessProbe {
 public:
  virtual ~ProcessProbe() = default;
  // Those of `paths` (full executable paths) that a running process was started from, letter
  // case ignored; each answered as it was asked. Any thread.
  virtual std::vector<std::wstring> RunningAmong(const std::vector<std::wstring>& paths) = 0;
};

// The process walk of sys/Processes, looking up the paths of the processes whose file name is
// one of the asked ones only. Enables "SeDebugPrivilege" first, as the program list does, so
// that whatever that list offered can be found again.
class Win32ProcessProbe : public ProcessProbe {
 public:
  std::vector<std::wstring> RunningAmong(const std::vector<std::wstring>& paths) override;
};

// The probe in force: the Win32 one unless a test installed another.
ProcessProbe& CurrentProcessProbe();
// Installs `probe` (borrowed) and returns the previous one; nullptr reinstalls the Win32 probe.
ProcessProbe* SetProcessProbe(ProcessProbe* probe);
