#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sys/AutoResetEvent.h"
#include "sys/Clock.h"
#include "sys/CriticalSection.h"
#include "tasks/TaskStore.h"

class IQuelmTask;
class TaskManagerDel;

// The single owner of the task list. Offers add, modify, find and delete to the UI thread, keeps
// the task store in step after every change, tells its observers, and runs the scheduler thread
// that evaluates the list once for every change of the wall-clock second. A second thread, the
// program watch, made once the first "when a program ends" task is listed, looks for their
// programs every kWatchCheckMs, so that walking the processes never holds up the scheduler.
//
// The manager holds one reference to every listed task. `lock` guards the list, every save and
// the scheduler's collection of due tasks; it is never held while an action runs or an observer
// is called, so observers may call back into the manager.
class TaskManager {
 public:
  static constexpr uint64_t kPostponeMs = 10 * 60 * 1000;
  static constexpr DWORD kWatchCheckMs = 2000;

  // `store` is borrowed and must outlive the manager.
  explicit TaskManager(TaskStore* store);
  // Stops the scheduler thread and drops the list's references.
  ~TaskManager();
  TaskManager(const TaskManager&) = delete;
  TaskManager& operator=(const TaskManager&) = delete;

  // Loads the store (the first time only) and starts the scheduler and watch threads. On the
  // UI thread.
  void Start();
  // Ends both loops and waits for their threads. Safe to call more than once.
  void Stop();
  // Writes the list as it is now, flags included (a finished countdown's pause is otherwise
  // written by a UI job that may never run). The end of the Windows session calls it.
  void Save();

  // Observers are not owned. RemoveObserver waits for an OnTaskRan in progress on the scheduler
  // thread, so the observer may be destroyed once it returns.
  void AddObserver(TaskManagerDel* observer);
  void RemoveObserver(TaskManagerDel* observer);

  // Lists a copy of `task` (whose `ran` is cleared and count restarted first) and saves when
  // `save` is set; returns the listed task.
  IQuelmTask* AddTask(IQuelmTask& task, bool save);
  // Copies `task` onto the listed task with its GUID, clearing `ran`, and saves. The caller's
  // `startTick` is copied too: the caller decides whether a count restarts. A watch task edited
  // from another record waits for its program afresh.
  void ModifyTask(IQuelmTask& task);
  // The listed task with `guid`, or nullptr. No reference is taken.
  IQuelmTask* FindTask(const std::wstring& guid);
  // Takes the task out of the list, saves, notifies, then drops the list's reference.
  void DeleteTask(const std::wstring& guid);
  // The user's switch: inverts `paused`, restarts the count or the watch, and saves.
  void SetPaused(IQuelmTask* task);
  // Executes the task's action at once on the calling (UI) thread and records it in the run
  // history; flags stay untouched.
  void RunNow(IQuelmTask* task);
  // Brings the window of the listed task with `guid` (a confirmation or a reminder the user put
  // off) back kPostponeMs from now, through the scheduler; the stored task does not change.
  // Modifying, pausing or deleting the task drops it. False when no task has that GUID.
  bool Postpone(const std::wstring& guid);
  // kind 0 added, 1 modified, 2 removed; anything else calls nothing.
  void NotifyObservers(IQuelmTask* task, int kind);

  // The store given at construction (borrowed), or null.
  const TaskStore* store() const { return store_; }

  // A snapshot of the list with a reference taken on each task; release them when done.
  std::vector<IQuelmTask*> TakeSnapshot();

  // One wake of the scheduler loop: when the local time's second differs from `last`, re-arms
  // daily and weekly tasks on a new day, runs the due tasks, brings back the postponed windows
  // whose time has come and returns true. The loop calls it after each
  // wait; tests call it directly with a fake clock.
  //
  // When the thread was busy (the wall clock moved on by more than a second and the monotonic
  // clock by about as much since the previous pass) the skipped seconds are evaluated first, in
  // order, at most the last 60 of them. A change of the system clock is not caught up.
  bool RunSchedulerPass(SYSTEMTIME& last);
  // Cuts the scheduler's current wait short.
  void Wake();

  // One check of the programs that watch tasks wait for: one walk through CurrentProcessProbe(),
  // outside the lock, then each watching task hears whether its program runs. No walk, and
  // false, when no task is watching. The watch thread calls it every kWatchCheckMs while a
  // task watches, and otherwise sleeps until an add or edit of a watch task wakes it; tests
  // call it directly.
  bool RunWatchCheck();

 private:
  void RunSchedulerLoop(SYSTEMTIME last);
  void RunWatchLoop();
  // Starts the watch thread, or cuts its wait short. UI thread only.
  void WakeWatch();
  // Collects the due tasks under the lock: each gets a reference and `ran` set, paired with a
  // private copy that the action reads, so an edit on the UI thread cannot race it.
  struct DueTask {
    IQuelmTask* listed;
    IQuelmTask* snapshot;
    bool postponed;  // only the postponed window comes back; not a run of the task
  };
  std::vector<DueTask> CollectDueTasks(bool dayChanged, const ClockReading& now);
  void RunDueTasks(const std::vector<DueTask>& due);
  void NotifyRan(IQuelmTask* task);
  // Writes a save prepared under `lock`, after it was released.
  void CommitSave(PendingSave save);
  std::vector<TaskManagerDel*> ObserversSnapshot();

  TaskStore* store_;
  std::vector<IQuelmTask*> tasks;
  std::vector<TaskManagerDel*> observers;
  CriticalSection lock;
  AutoResetEvent wakeEvent;
  std::atomic<bool> stop{false};
  bool loaded_ = false;  // the store is loaded once, whatever the number of starts
  // Monotonic reading of the previous pass; 0 before the first. Scheduler thread only.
  uint64_t lastPassMonotonic_ = 0;
  // Guards `observers`; held while the scheduler thread calls OnTaskRan so that removal waits
  // for that call. Never taken while `lock` is held.
  CriticalSection observerLock_;
  std::thread scheduler_;
  AutoResetEvent watchEvent_;  // cuts the watch's wait short: stop, or a watch task to look for
  std::thread watcher_;
};
