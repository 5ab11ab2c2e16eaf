#include "sys/ProcessProbe.h"

#include <windows.h>

#include <atomic>

#include "sys/Folders.h"
#include "sys/Privileges.h"
#include "sys/Processes.h"

namespace {

Win32ProcessProbe g_win32Probe;
std::atomic<ProcessProbe*> g_probe{nullptr};

bool SameText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::vector<std::wstring> Win32ProcessProbe::RunningAmong(const std::vector<std::wstring>& paths) {
  std::vector<std::wstring> names;
  for (const std::wstring& path : paths)
    names.push_back(FileNameOf(path));
  EnablePrivilege(L"SeDebugPrivilege", true);
  const std::vector<RunningProcess> processes = ListProcesses([&](const std::wstring& name) {
    for (const std::wstring& wanted : names) {
      if (SameText(name, wanted))
        return true;
    }
    return false;
  });
  std::vector<std::wstring> running;
  for (const std::wstring& path : paths) {
    for (const RunningProcess& process : processes) {
      if (SameText(process.path, path)) {
        running.push_back(path);
        break;
      }
    }
  }
  return running;
}

ProcessProbe& CurrentProcessProbe() {
  ProcessProbe* probe = g_probe.load(std::memory_order_acquire);
  return probe ? *probe : g_win32Probe;
}

ProcessProbe* SetProcessProbe(ProcessProbe* probe) {
  ProcessProbe* previous = g_probe.exchange(probe, std::memory_order_acq_rel);
  return previous ? previous : &g_win32Probe;
}
