// Crash-test partner of the task store: loads the task file named on its command line, then
// keeps adding one task at a time through the manager (each add rewrites the file) and, after
// every completed save, writes the new task count to standard output as a 4-byte integer. Stops
// when its output is gone or after a minute.
#include <windows.h>

#include <string>

#include "sys/StringFormat.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskStore.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2)
    return 2;
  TaskStore store(argv[1]);
  TaskManager manager(&store);
  store.Load(manager);
  std::vector<IQuelmTask*> listed = manager.TakeSnapshot();
  int32_t count = static_cast<int32_t>(listed.size());
  for (IQuelmTask* task : listed)
    task->Release();
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  // The test kills it within a second; should the test die first, it stops on its own.
  const ULONGLONG deadline = GetTickCount64() + 60000;
  while (GetTickCount64() < deadline) {
    IQuelmTask task;
    ++count;
    task.guid = WFormat(L"T%06d", count);
    task.name = WFormat(L"任务 %d <%d>", count, count * 7);
    task.param1 = std::wstring(static_cast<size_t>(count % 50) * 20, L'x');
    manager.AddTask(task, true);
    DWORD written = 0;
    if (!WriteFile(out, &count, sizeof(count), &written, nullptr))
      return 0;  // nobody reads any more
  }
  return 1;
}
