#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "sys/Files.h"
#include "sys/Handles.h"
#include "sys/StringFormat.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskStore.h"
#include "tests/support/StartProcess.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<IQuelmTask> LoadFile(const std::wstring& path) {
  TaskStore store(path);
  TaskManager manager(nullptr);
  store.Load(manager);
  std::vector<IQuelmTask> copies;
  for (IQuelmTask* task : manager.TakeSnapshot()) {
    copies.push_back(*task);
    task->Release();
  }
  return copies;
}

// Every wait on the saver ends by then; a round that takes longer fails instead of hanging.
constexpr DWORD kDeadlineMs = 60000;
constexpr int32_t kCouldNotStart = -1;
constexpr int32_t kTimedOut = -2;

// Reads what is in the pipe now without blocking; false once it is broken and empty.
template <class Take>
bool ReadAvailable(HANDLE pipe, Take take) {
  DWORD available = 0;
  if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
    return false;
  char buffer[4096];
  while (available > 0) {
    DWORD got = 0;
    if (!ReadFile(pipe, buffer, std::min<DWORD>(sizeof(buffer), available), &got, nullptr) ||
        got == 0)
      return false;
    take(buffer, got);
    available -= got;
  }
  return true;
}

// Starts the saver on `path`, waits for its first completed save, lets it go on for `ms`
// milliseconds, kills it and returns the count of the last save it reported as complete (0 when
// it died before reporting one). Waiting for the first report, not for a fixed time, makes
// every round a kill during saving however slowly the saver starts. kTimedOut when the saver
// neither reports nor ends within kDeadlineMs.
int32_t RunAndKill(const std::wstring& path, DWORD ms) {
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
  ScopedHandle readEnd, writeEnd;
  if (!CreatePipe(readEnd.receive(), writeEnd.receive(), &sa, 1 << 20))
    return kCouldNotStart;
  SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  ScopedHandle saver = StartProcess(GetModuleDirectory() + L"\\quelm_saver.exe",
                                    L"\"" + path + L"\"", writeEnd.get());
  writeEnd.reset();  // only the child writes now, so the pipe ends when it dies
  if (!saver)
    return kCouldNotStart;
  int32_t last = 0;
  std::string pending;
  auto take = [&](const char* data, DWORD size) {
    pending.append(data, size);
    while (pending.size() >= sizeof(int32_t)) {
      memcpy(&last, pending.data(), sizeof(last));
      pending.erase(0, sizeof(last));
    }
  };
  const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
  bool open = true;
  while (last == 0 && open && GetTickCount64() < deadline) {
    open = ReadAvailable(readEnd.get(), take);
    if (last == 0 && open)
      Sleep(2);
  }
  const bool silent = last == 0 && open;
  if (!silent)
    Sleep(ms);
  TerminateProcess(saver.get(), 9);
  if (WaitForSingleObject(saver.get(), kDeadlineMs) != WAIT_OBJECT_0 || silent)
    return kTimedOut;
  ReadAvailable(readEnd.get(), take);
  return last;
}

// Kills a process that keeps saving at random moments: the file must always hold a whole list,
// either the one of the last completed save or of the save in progress, never less.
TEST(TaskStoreCrash, KillingTheWriterNeverTearsOrShrinksTheFile) {
  TempDir dir;
  const std::wstring path = dir.Child(L"task.xml");
  std::mt19937 random(20241208);
  std::uniform_int_distribution<DWORD> pause(0, 120);
  int32_t known = 0;
  int kills = 0;
  for (int round = 0; round < 24; ++round) {
    int32_t reported = RunAndKill(path, pause(random));
    ASSERT_NE(reported, kCouldNotStart) << "the saver could not start";
    ASSERT_NE(reported, kTimedOut) << "round " << round << ": the saver neither reported a save "
                                   << "nor ended within " << kDeadlineMs / 1000 << " s";
    std::vector<IQuelmTask> loaded = LoadFile(path);
    const int32_t count = static_cast<int32_t>(loaded.size());
    if (reported > 0) {
      ++kills;
      EXPECT_GE(count, reported) << "round " << round << ": a completed save was lost";
      EXPECT_LE(count, reported + 1) << "round " << round;
    }
    EXPECT_GE(count, known) << "round " << round << ": tasks of an earlier round vanished";
    for (int32_t i = 0; i < count; ++i) {
      ASSERT_EQ(loaded[i].guid, WFormat(L"T%06d", i + 1)) << "round " << round;
      ASSERT_EQ(loaded[i].name, WFormat(L"任务 %d <%d>", i + 1, (i + 1) * 7));
      ASSERT_EQ(loaded[i].param1.size(), static_cast<size_t>((i + 1) % 50) * 20);
    }
    known = count;
  }
  EXPECT_EQ(kills, 24) << "every round kills the saver after some saves";
  EXPECT_GT(known, 24);
}

}  // namespace
