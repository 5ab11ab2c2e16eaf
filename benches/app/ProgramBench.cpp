// The built program against the least window program (benches/peers/bench_peer_window.exe),
// each started as a process of its own in the same run, in turn: the time from the process's
// start to the first painted pixel of its window, and its working set once the window is up,
// the program holding 0, 1,000 and 10,000 stored tasks. One row per count, as ratios of the
// medians, then the growth from 1,000 to 10,000 tasks.
// Arguments: [starts of each, default 5]. Uses the data folder of the prefix it runs in
// (scripts/bench gives it a scratch prefix); a task file found there is put back afterwards.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "sys/Clock.h"
#include "sys/Files.h"
#include "tasks/IQuelmTask.h"
#include "tasks/Settings.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskStore.h"

namespace {

// The first pixel both windows paint at (400, 5): the main window's title-bar colour.
const COLORREF kBack = RGB(0xF6, 0xFA, 0xFD);

double Seconds() {
  LARGE_INTEGER c, f;
  QueryPerformanceCounter(&c);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::wstring BenchFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\'));
}

// Daily tasks an hour or more away and dated tasks of next year: none falls due in the run.
void StoreTasks(const std::wstring& file, int count) {
  TaskStore store(file);
  TaskManager manager(&store);
  SYSTEMTIME now = SystemClock().LocalTime();
  for (int i = 0; i < count; ++i) {
    IQuelmTask task;
    task.action = i % 2 ? ActionKind::Remind : ActionKind::OpenUrl;
    task.name = L"提醒 " + std::to_wstring(i);
    task.param1 = i % 2 ? L"喝水" : L"https://example.com/";
    task.mode = i % 2 ? ScheduleMode::Daily : ScheduleMode::AtDateTime;
    task.time = now;
    task.time.wHour = static_cast<WORD>((now.wHour + 1 + i % 20) % 24);
    task.time.wYear = static_cast<WORD>(now.wYear + 1);
    manager.AddTask(task, i == count - 1);
  }
}

struct Sample {
  double firstPaintMs = -1;
  double workingSetMiB = -1;
};

// The visible window of `className` that belongs to `pid`, or null.
HWND WindowOf(const wchar_t* className, DWORD pid) {
  for (HWND hwnd = FindWindowW(className, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, className, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid && IsWindowVisible(hwnd))
      return hwnd;
  }
  return nullptr;
}

Sample Measure(const std::wstring& program, const wchar_t* className) {
  Sample sample;
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION process = {};
  std::wstring commandLine = L"\"" + program + L"\"";
  const double start = Seconds();
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return sample;
  HDC screen = GetDC(nullptr);
  HWND hwnd = nullptr;
  while (Seconds() - start < 60) {
    if ((hwnd = WindowOf(className, process.dwProcessId)) != nullptr) {
      RECT r = {};
      GetWindowRect(hwnd, &r);
      if (GetPixel(screen, r.left + 400, r.top + 5) == kBack) {
        sample.firstPaintMs = (Seconds() - start) * 1000;
        break;
      }
    }
    Sleep(1);
  }
  ReleaseDC(nullptr, screen);
  // Once the scheduler's first passes and the list are done.
  Sleep(1500);
  PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
  if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof(counters)))
    sample.workingSetMiB = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
  // QuelmTask only hides on a close; the end of the session ends it. The peer ends on a close.
  if (hwnd) {
    PostMessageW(hwnd, WM_ENDSESSION, TRUE, 0);
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return sample;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int starts = argc > 1 && _wtoi(argv[1]) > 0 ? _wtoi(argv[1]) : 5;
  const int kCounts[] = {0, 1000, 10000};
  const std::wstring bench = BenchFolder();
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

  struct Row {
    int tasks = 0;
    double paint = 0, peerPaint = 0, set = 0, peerSet = 0;
    size_t samples = 0;
  };
  std::vector<Row> rows;
  for (int count : kCounts) {
    DeleteFileW(file.c_str());
    if (count > 0)
      StoreTasks(file, count);
    std::vector<double> ourPaint, peerPaint, ourSet, peerSet;
    for (int i = 0; i < starts; ++i) {
      for (bool ours : {true, false}) {
        Sample s = ours ? Measure(program, L"QuelmTask") : Measure(peer, L"QuelmBenchPeer");
        if (s.firstPaintMs < 0 || s.workingSetMiB < 0) {
          std::printf("%s: no painted window or no working set\n", ours ? "QuelmTask" : "peer");
          continue;
        }
        (ours ? ourPaint : peerPaint).push_back(s.firstPaintMs);
        (ours ? ourSet : peerSet).push_back(s.workingSetMiB);
      }
    }
    if (ourPaint.empty() || peerPaint.empty())
      continue;
    rows.push_back({count, Median(ourPaint), Median(peerPaint), Median(ourSet), Median(peerSet),
                    ourPaint.size()});
  }

  DeleteFileW(file.c_str());
  if (hadFile)
    MoveFileExW(saved.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
  if (rows.size() != std::size(kCounts))
    return 1;
  for (const Row& r : rows) {
    std::printf(
        "start to first paint, %d tasks stored: QuelmTask %.0f ms, minimal window %.0f ms; "
        "ratio %.2f (medians of %zu starts)\n",
        r.tasks, r.paint, r.peerPaint, r.paint / r.peerPaint, r.samples);
    std::printf(
        "working set with %d tasks loaded: QuelmTask %.1f MiB, minimal window %.1f MiB; "
        "ratio %.2f\n",
        r.tasks, r.set, r.peerSet, r.set / r.peerSet);
  }
  const Row& low = rows[1];
  const Row& high = rows[2];
  std::printf(
      "growth from %d to %d tasks: first paint %+.1f %%, working set %+.1f %% (%.1f KiB per "
      "task)\n",
      low.tasks, high.tasks, (high.paint / low.paint - 1) * 100, (high.set / low.set - 1) * 100,
      (high.set - low.set) * 1024 / (high.tasks - low.tasks));
  return 0;
}
