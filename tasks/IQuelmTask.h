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
  // Daily at its time of day, on the days of `week` only.
  Weekly = 5,
  // Once, after the program `watch` has been seen running and then stayed away for
  // kWatchQuietMs; then the task pauses itself.
  Watch = 6,
};

// Where a "when a program ends" task stands. Kept on the listed task only: never stored nor
// copied, and set back to Waiting when the task is added, edited or switched.
enum class WatchPhase : int32_t {
  Waiting,  // no process of the program seen yet
  Running,  // the last check saw it
  Ending,   // gone since `watchGoneMs`; due once that lasts kWatchQuietMs
  Done,     // its action ran
};

// How long a watched program must stay away before the task falls due.
constexpr uint64_t kWatchQuietMs = 5000;

// The days of a weekly task: bit 0 Monday to bit 6 Sunday.
constexpr uint8_t kWorkingDays = 0x1F;
constexpr uint8_t kWeekendDays = 0x60;
constexpr uint8_t kAllDays = 0x7F;

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
// The flags, `startTick` and the watch phase are written by the UI thread, the scheduler
// thread and (the phase) the program watch, so they are atomic; the other fields change only
// on the UI thread.
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
  // Copies every field but the reference count, a postponement and the watch phase.
  void CopyFrom(const IQuelmTask& other);

  // Duration of a Countdown or period of an Interval, from hour, minute and second of `time`.
  uint64_t PeriodMs() const;
  // The title of the schedule mode as the task list and the run history show it ("每周 一三五").
  std::wstring ModeTitle() const;
  // The verb of the action ("执行", "提醒", ...), shown above or before ActionObjectText().
  std::wstring ActionVerb() const;
  // The schedule value as the task list shows it.
  std::wstring TimeText() const;
  // The object of the action as the task list shows it.
  std::wstring ActionObjectText() const;
  // What the task list shows as the task's state, predicted by the same rules as EvaluateDue;
  // a postponed task shows the moment it comes back.
  std::wstring StatusText() const;
  // Empty when the object of the action is complete, otherwise the message to show.
  std::wstring Validate() const;

  // The scheduler's due test for the evaluation at `now`. A due Countdown or Interval task
  // restarts its count from `now`.
  bool EvaluateDue(const ClockReading& now);
  // Daily and weekly tasks are armed again when the day changes.
  bool RearmsEachDay() const;
  // Countdown and watch tasks switch themselves off once their action ran.
  bool PausesAfterRun() const;
  // The first moment after `now` (a whole second, local time) at which a daily, weekly or
  // dated task that is switched on falls due; false for any other task and for a date that
  // has passed.
  bool NextDueAfter(const SYSTEMTIME& now, SYSTEMTIME* moment) const;
  // Whether a weekly task runs on the day of `date`; `week` 0 counts as Monday to Friday.
  bool RunsOnDayOf(const SYSTEMTIME& date) const;

  // A postponed window comes back `delayMs` after `now`; a later call moves it again. Only the
  // listed task carries it: it is never stored nor copied, and modifying the task drops it.
  void Postpone(const ClockReading& now, uint64_t delayMs);
  void DropPostponement() { postponedUntil = 0; }
  bool IsPostponed() const { return postponedUntil != 0; }
  // True once, at the first evaluation at or after the moment postponed to; clears it.
  bool TakeDuePostponement(const ClockReading& now);

  // A watch task that is switched on and has not run yet wants its program checked.
  bool IsWatching() const;
  // One check of the watched program at monotonic `nowMs`: whether a process of it runs.
  void ObserveWatch(bool running, uint64_t nowMs);
  void RearmWatch() { watchPhase = WatchPhase::Waiting; }
  // The file name of `watch` ("setup.exe"), as the form and the list show it.
  std::wstring WatchedName() const;

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
  uint8_t week = kWorkingDays;  // days of a weekly task; stored for weekly tasks only
  std::wstring watch;  // full path of the program a watch task waits for; stored for it only
  std::atomic<WatchPhase> watchPhase{WatchPhase::Waiting};
  std::atomic<uint64_t> watchGoneMs{0};
  // Monotonic ms at which a postponed window comes back, 0 when none, and the local minute of
  // the day it shows.
  std::atomic<uint64_t> postponedUntil{0};
  std::atomic<int32_t> postponedMinute{0};
};

// Monday 0 to Sunday 6 of a calendar date.
int WeekdayOf(const SYSTEMTIME& date);

// Milliseconds of the monotonic clock that Countdown and Interval tasks run on.
uint64_t MonotonicMs();
// A day count whose differences are the days between two dates.
int32_t DayNumber(int year, int month, int day);
// The pieces of a text joined by `separator`: every separator ends a piece (so empty pieces
// are kept), and the text after the last one is a piece only when it is not empty.
std::vector<std::wstring> SplitList(const std::wstring& text, wchar_t separator = L'|');
