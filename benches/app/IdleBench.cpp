// The CPU the built program uses while nothing is due, 1,000 armed tasks stored: with its window
// shown, and hidden in the notification area (started with /auto). Peers, each a process of its
// own measured the same way in the same run: one that only does the scheduler's 100 ms waits
// (this benchmark started with /waits) and the least window program
// (benches/peers/bench_peer_window.exe), which only pumps messages.
// Arguments: [seconds of each measurement, default 30]. Uses the data folder of the prefix it
// runs in (scripts/bench gives it a scratch prefix); a task file found there is put back.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "sys/Clock.h"
#include "sys/Files.h"
#include "tasks/IQuelmTask.h"
#include "tasks/Settings.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskStore.h"

namespace {

double Seconds() {
  LARGE_INTEGER c, f;
  QueryPerformanceCounter(&c);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double CpuSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
    return -1;
  auto toSeconds = [](const FILETIME& ft) {
    return (static_cast<double>(ft.dwHighDateTime) * 4294967296.0 + ft.dwLowDateTime) / 1e7;
  };
  return toSeconds(kernel) + toSeconds(user);
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// Every mode that arms a task, none due within a day: daily tasks hours away, dated tasks of
// next year, counts and intervals of 23 hours.
void StoreArmedTasks(const std::wstring& file, int count) {
  TaskStore store(file);
  TaskManager manager(&store);
  SYSTEMTIME now = SystemClock().LocalTime();
  const ScheduleMode modes[] = {ScheduleMode::Daily, ScheduleMode::AtDateTime,
                                ScheduleMode::Countdown, ScheduleMode::Interval};
  for (int i = 0; i < count; ++i) {
    IQuelmTask task;
    task.action = ActionKind::Remind;
    task.name = L"空闲 " + std::to_wstring(i);
    task.param1 = L"喝水";
    task.mode = modes[i % 4];
    task.time = now;
    task.time.wYear = static_cast<WORD>(now.wYear + 1);
    task.time.wHour = static_cast<WORD>(task.mode == ScheduleMode::Daily
                                            ? (now.wHour + 2 + i % 20) % 24
                                            : 23);
    manager.AddTask(task, i == count - 1);
  }
}

// Starts `commandLine`, lets it settle once `ready` holds (or 20 s passed), then answers the
// share of one core it uses over `seconds`; -1 when it could not be measured. Ends the process.
template <typename Ready>
double IdleShare(std::wstring commandLine, int seconds, Ready ready) {
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  const double started = Seconds();
  while (!ready(process.dwProcessId) && Seconds() - started < 20)
    Sleep(50);
  // Past start-up: the first list build, the first scheduler passes, the first heartbeat.
  Sleep(3000);
  const double cpu = CpuSeconds(process.hProcess);
  const double wall = Seconds();
  Sleep(seconds * 1000);
  const double used = CpuSeconds(process.hProcess) - cpu;
  const double share = cpu < 0 ? -1 : used / (Seconds() - wall);
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return share;
}

bool HasWindow(const wchar_t* className, DWORD pid, bool visible) {
  for (HWND hwnd = FindWindowW(className, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, className, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid && (!visible || IsWindowVisible(hwnd)))
      return true;
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wcscmp(argv[1], L"/waits") == 0) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    for (;;)
      WaitForSingleObject(event, 100);
  }
  const int seconds = argc > 1 && _wtoi(argv[1]) > 0 ? _wtoi(argv[1]) : 30;
  const std::wstring self = ModulePath();
  const std::wstring bench = self.substr(0, self.find_last_of(L'\\'));
  const std::wstring program = bench.substr(0, bench.find_last_of(L'\\')) + L"\\QuelmTask.exe";
  const std::wstring peer = bench + L"\\peers\\bench_peer_window.exe";
  if (FindWindowW(L"QuelmTask", nullptr)) {
    std::printf("QuelmTask is running already; end it first\n");
    return 1;
  }
  const std::wstring folder = DataFolder();
  const std::wstring file = folder + L"\\task.xml";
  const std::wstring saved = file + L".bench-saved";
  CreateFolder(folder);
  const bool hadFile = MoveFileExW(file.c_str(), saved.c_str(), MOVEFILE_REPLACE_EXISTING);
  StoreArmedTasks(file, 1000);

  auto quoted = [](const std::wstring& path) { return L"\"" + path + L"\""; };
  const double shown = IdleShare(quoted(program), seconds, [](DWORD pid) {
    return HasWindow(L"QuelmTask", pid, true);
  });
  const double hidden = IdleShare(quoted(program) + L" /auto", seconds, [](DWORD pid) {
    return HasWindow(L"QuelmTask", pid, false);
  });
  const double waits = IdleShare(quoted(self) + L" /waits", seconds, [](DWORD) { return true; });
  const double pump = IdleShare(quoted(peer), seconds, [](DWORD pid) {
    return HasWindow(L"QuelmBenchPeer", pid, true);
  });

  DeleteFileW(file.c_str());
  if (hadFile)
    MoveFileExW(saved.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
  if (shown < 0 || hidden < 0 || waits < 0 || pump < 0) {
    std::printf("a process could not be measured\n");
    return 1;
  }
  std::printf(
      "idle program, 1000 armed tasks, over %d s each: window shown %.3f %% of a core, hidden "
      "%.3f %%; bare 100 ms waits %.3f %%, minimal window %.3f %%; shown minus waits %.3f "
      "points, hidden minus waits %.3f points\n",
      seconds, shown * 100, hidden * 100, waits * 100, pump * 100, (shown - waits) * 100,
      (hidden - waits) * 100);
  return 0;
}
