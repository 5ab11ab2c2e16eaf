#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "sys/Clock.h"

// The schedule mode; the numbers are stored in the task file and index the mode drop list.
// A task may carry a number outside the named ones (a hand-edited file): it never falls due.
enum class ScheduleMode : int32_t {
  Daily = 0,
  AtDateTime = 1,
  Countdown = 2,
  Interval = 3,
  AfterBoot = 4,
};

// The action; the numbers are stored in the task file and index the action drop list.
enum class ActionKind : int32_t {
  Shutdown = 0,
  Restart = 1,
  Sleep = 2,
  LogOff = 3,
  Lock = 4,
  Remind = 5,
  MonitorOff = 6,
  MonitorOn = 7,
  RunProgram = 8,
  CloseProgram = 9,
  OpenFile = 10,
  EmptyRecycleBin = 11,
  CleanTempJunk = 12,
  BackupFiles = 13,
  BackupDirectory = 14,
  OpenUrl = 15,
};

// One task of the user's schedule: when (mode and time), what (action and object texts) and
// two flags.
//
// Listed tasks are heap objects shared by reference count: the task manager holds one
// reference, and the scheduler and every job that carries a task hold their own; whoever drops
// the last reference destroys it. Pages and dialogs keep tasks by value (copying never copies
// the count) and exchange them with the manager by `guid`.
//
// The flags and `startTick` are written by the UI thread and the scheduler thread, so they are
// atomic; the other fields change only on the UI thread.
class IQuelmTask {
 public:
  // Empty texts, then Reset().
  IQuelmTask();
  IQuelmTask(const IQuelmTask& other);
  IQuelmTask& operator=(const IQuelmTask& other);
  virtual ~IQuelmTask();

  // Task objects alive in the process; lets tests prove that holders drop their references.
  static int32_t LiveCount();

  void AddRef();
  // Drops one reference and destroys a heap task when it was the last one.
  void Release();

  // A fresh armed task: now as start tick and time, Daily, Shutdown, a new GUID. Texts stay.
  void Reset();
  // Copies every field but the reference count.
  void CopyFrom(const IQuelmTask& other);

  // Duration of a Countdown or period of an Interval, from hour, minute and second of `time`.
  uint64_t PeriodMs() const;
  // The schedule value as the task list shows it.
  std::wstring TimeText() const;
  // The object of the action as the task list shows it.
  std::wstring ActionObjectText() const;
  // What the task list shows as the task's state, predicted by the same rules as EvaluateDue.
  std::wstring StatusText() const;
  // Empty when the object of the action is complete, otherwise the message to show.
  std::wstring Validate() const;

  // The scheduler's due test for the evaluation at `now`. A due Countdown or Interval task
  // restarts its count from `now`.
  bool EvaluateDue(const ClockReading& now);

  std::atomic<int32_t> refCount{1};
  std::atomic<bool> ran{false};
  std::atomic<bool> paused{false};
  std::atomic<uint64_t> startTick{0};  // monotonic ms from which Countdown and Interval count
  std::wstring guid;
  ActionKind action = ActionKind::Shutdown;
  ScheduleMode mode = ScheduleMode::Daily;
  SYSTEMTIME time = {};
  std::wstring path;  // reserved: written to the task file, never read back
  std::wstring name;
  std::wstring param1;
  std::wstring param2;
};

// Milliseconds of the monotonic clock that Countdown and Interval tasks run on.
uint64_t MonotonicMs();
// A day count whose differences are the days between two dates.
int32_t DayNumber(int year, int month, int day);
// The pieces of a text joined by `separator`: every separator ends a piece (so empty pieces
// are kept), and the text after the last one is a piece only when it is not empty.
std::vector<std::wstring> SplitList(const std::wstring& text, wchar_t separator = L'|');
