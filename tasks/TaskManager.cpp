#include "tasks/TaskManager.h"

#include <algorithm>
#include <cstdlib>

#include "sys/Clock.h"
#include "sys/HandOff.h"
#include "sys/Handles.h"
#include "sys/ProcessProbe.h"
#include "tasks/ActionExecutor.h"
#include "tasks/IQuelmTask.h"
#include "tasks/RunHistory.h"
#include "tasks/TaskManagerDel.h"
#include "tasks/TaskRef.h"
#include "tasks/TaskStore.h"

namespace {

// A busy scheduler thread is caught up on at most this many seconds.
constexpr int64_t kMaxCatchUpSeconds = 60;
// Whole wall-clock seconds are compared with monotonic milliseconds: each side may be off by
// almost a second, so the two clocks agree within this much.
constexpr int64_t kClockAgreementMs = 1500;

}  // namespace

TaskManager::TaskManager(TaskStore* store) : store_(store) {}

TaskManager::~TaskManager() {
  Stop();
  for (IQuelmTask* task : tasks)
    task->Release();
}

void TaskManager::Start() {
  if (scheduler_.joinable())
    return;
  if (store_ && !loaded_)
    store_->Load(*this);
  loaded_ = true;
  stop = false;
  // The first second to compare against is read here, so a change right after Start counts.
  ClockReading start = ReadClock();
  SYSTEMTIME last = start.local;
  lastPassMonotonic_ = start.monotonicMs;
  scheduler_ = std::thread([this, last] { RunSchedulerLoop(last); });
  bool watching;
  {
    ScopedLock hold(lock);
    watching =
        std::any_of(tasks.begin(), tasks.end(), [](IQuelmTask* t) { return t->IsWatching(); });
  }
  if (watching)
    WakeWatch();
}

void TaskManager::WakeWatch() {
  // The watch thread is made when the first task needs it: a thread costs about a megabyte of
  // memory under Wine, and most lists watch no program. Before Start, Start decides.
  if (!scheduler_.joinable() || stop)
    return;
  if (!watcher_.joinable())
    watcher_ = std::thread([this] { RunWatchLoop(); });
  else
    watchEvent_.Signal();
}

void TaskManager::Stop() {
  stop = true;
  wakeEvent.Signal();
  watchEvent_.Signal();
  if (scheduler_.joinable())
    scheduler_.join();
  if (watcher_.joinable())
    watcher_.join();
}

void TaskManager::Save() {
  PendingSave pending;
  {
    ScopedLock hold(lock);
    if (store_)
      pending = store_->PrepareSave(tasks);
  }
  CommitSave(std::move(pending));
}

void TaskManager::AddObserver(TaskManagerDel* observer) {
  ScopedLock hold(observerLock_);
  observers.push_back(observer);
}

void TaskManager::RemoveObserver(TaskManagerDel* observer) {
  ScopedLock hold(observerLock_);
  auto it = std::find(observers.begin(), observers.end(), observer);
  if (it != observers.end())
    observers.erase(it);
}

IQuelmTask* TaskManager::AddTask(IQuelmTask& task, bool save) {
  task.ran = false;
  task.startTick = MonotonicMs();
  IQuelmTask* listed = new IQuelmTask(task);
  PendingSave pending;
  {
    ScopedLock hold(lock);
    tasks.push_back(listed);
    if (save && store_)
      pending = store_->PrepareSave(tasks);
  }
  CommitSave(std::move(pending));
  if (listed->mode == ScheduleMode::Watch)
    WakeWatch();
  NotifyObservers(listed, 0);
  return listed;
}

void TaskManager::ModifyTask(IQuelmTask& task) {
  IQuelmTask* listed = FindTask(task.guid);
  if (!listed)
    return;
  PendingSave pending;
  {
    ScopedLock hold(lock);
    task.ran = false;
    if (listed != &task) {
      listed->CopyFrom(task);
      listed->RearmWatch();
    }
    listed->DropPostponement();
    if (store_)
      pending = store_->PrepareSave(tasks);
  }
  CommitSave(std::move(pending));
  if (listed->IsWatching())
    WakeWatch();
  NotifyObservers(listed, 1);
}

IQuelmTask* TaskManager::FindTask(const std::wstring& guid) {
  ScopedLock hold(lock);
  for (IQuelmTask* task : tasks) {
    if (task->guid == guid)
      return task;
  }
  return nullptr;
}

void TaskManager::DeleteTask(const std::wstring& guid) {
  IQuelmTask* found = FindTask(guid);
  if (!found)
    return;
  IQuelmTask* removed = nullptr;
  PendingSave pending;
  {
    ScopedLock hold(lock);
    auto it = std::find(tasks.begin(), tasks.end(), found);
    if (it == tasks.end()) {
      it = std::find_if(tasks.begin(), tasks.end(), [&](IQuelmTask* t) { return t->guid == guid; });
    }
    if (it == tasks.end())
      return;
    removed = *it;
    tasks.erase(it);
    if (store_)
      pending = store_->PrepareSave(tasks);
  }
  CommitSave(std::move(pending));
  NotifyObservers(removed, 2);
  removed->Release();
}

void TaskManager::SetPaused(IQuelmTask* task) {
  const uint64_t now = MonotonicMs();
  {
    // A pass between the two writes would see a task switched on but counting from its old
    // origin, and run an overdue countdown or interval at once.
    ScopedLock hold(lock);
    task->startTick = now;
    task->RearmWatch();
    task->paused = !task->paused;
  }
  ModifyTask(*task);
}

void TaskManager::RunNow(IQuelmTask* task) {
  RecordRun(*task, ExecuteAction(*task));
}

bool TaskManager::Postpone(const std::wstring& guid) {
  IQuelmTask* listed = FindTask(guid);
  if (!listed)
    return false;
  {
    ScopedLock hold(lock);
    listed->Postpone(ReadClock(), kPostponeMs);
  }
  NotifyObservers(listed, 1);
  return true;
}

void TaskManager::NotifyObservers(IQuelmTask* task, int kind) {
  if (kind < 0 || kind > 2)
    return;
  for (TaskManagerDel* observer : ObserversSnapshot()) {
    if (kind == 0)
      observer->OnTaskAdded(task);
    else if (kind == 1)
      observer->OnTaskModified(task);
    else
      observer->OnTaskRemoved(task);
  }
}

std::vector<IQuelmTask*> TaskManager::TakeSnapshot() {
  ScopedLock hold(lock);
  for (IQuelmTask* task : tasks)
    task->AddRef();
  return tasks;
}

void TaskManager::CommitSave(PendingSave save) {
  if (store_ && save.doc)
    store_->CommitSave(std::move(save));
}

void TaskManager::Wake() {
  wakeEvent.Signal();
}

std::vector<TaskManagerDel*> TaskManager::ObserversSnapshot() {
  ScopedLock hold(observerLock_);
  return observers;
}

bool TaskManager::RunWatchCheck() {
  std::vector<std::wstring> watched;
  {
    ScopedLock hold(lock);
    for (const IQuelmTask* task : tasks) {
      if (task->IsWatching() &&
          std::find(watched.begin(), watched.end(), task->watch) == watched.end())
        watched.push_back(task->watch);
    }
  }
  if (watched.empty())
    return false;
  const std::vector<std::wstring> running = CurrentProcessProbe().RunningAmong(watched);
  const uint64_t nowMs = ReadClock().monotonicMs;
  ScopedLock hold(lock);
  for (IQuelmTask* task : tasks) {
    if (task->IsWatching())
      task->ObserveWatch(std::find(running.begin(), running.end(), task->watch) != running.end(),
                         nowMs);
  }
  return true;
}

void TaskManager::RunWatchLoop() {
  while (!stop) {
    // Nothing to look for: only a watch task added, edited or switched on (or Stop) wakes it.
    watchEvent_.Wait(RunWatchCheck() ? kWatchCheckMs : INFINITE);
  }
}

void TaskManager::RunSchedulerLoop(SYSTEMTIME last) {
  // The shell's execution of programs, documents and addresses may need COM on this thread,
  // and a single-threaded apartment must dispatch its messages.
  ScopedComInit com;
  while (!stop) {
    wakeEvent.WaitPumpingMessages(100);
    if (stop)
      break;
    RunSchedulerPass(last);
  }
}

bool TaskManager::RunSchedulerPass(SYSTEMTIME& last) {
  ClockReading now = ReadClock();
  const SYSTEMTIME& local = now.local;
  bool dayChanged = local.wDay != last.wDay;
  bool secondChanged =
      local.wHour != last.wHour || local.wMinute != last.wMinute || local.wSecond != last.wSecond;
  if (!dayChanged && !secondChanged)
    return false;

  std::vector<ClockReading> steps;
  const int64_t jump = SecondsBetween(last, local);
  if (jump > 1 && lastPassMonotonic_ != 0 && now.monotonicMs >= lastPassMonotonic_) {
    const int64_t elapsed = static_cast<int64_t>(now.monotonicMs - lastPassMonotonic_);
    if (std::llabs(elapsed - jump * 1000) < kClockAgreementMs) {
      for (int64_t k = std::max<int64_t>(1, jump - kMaxCatchUpSeconds); k < jump; ++k) {
        ClockReading skipped = now;
        skipped.local = AddSeconds(last, k);
        steps.push_back(skipped);
      }
    }
  }
  steps.push_back(now);
  lastPassMonotonic_ = now.monotonicMs;
  SYSTEMTIME previous = last;
  last = local;

  for (const ClockReading& step : steps) {
    const bool newDay = step.local.wDay != previous.wDay;
    previous = step.local;
    RunDueTasks(CollectDueTasks(newDay, step));
  }
  return true;
}

void TaskManager::RunDueTasks(const std::vector<DueTask>& due) {
  for (const DueTask& entry : due) {
    RecordRun(*entry.snapshot, ExecuteAction(*entry.snapshot));
    if (entry.postponed) {
      // Only the window comes back; the task's schedule and flags are its own.
      entry.snapshot->Release();
      entry.listed->Release();
      continue;
    }
    // Observers get the private copy: its texts cannot change under them.
    NotifyRan(entry.snapshot);
    entry.snapshot->Release();
    IQuelmTask* task = entry.listed;
    ScheduleMode mode;
    bool pauses;
    {
      ScopedLock hold(lock);
      mode = task->mode;
      pauses = task->PausesAfterRun();
    }
    if (mode == ScheduleMode::Interval)
      task->ran = false;
    if (pauses) {
      task->paused = true;
      // The countdown-end job saves the pause and refreshes the row on the UI thread; a job
      // that never runs still drops its reference.
      PostToUiThread(
          MakePostJob(task, [this, ref = TaskRef(task)](IQuelmTask* t) { ModifyTask(*t); }));
    }
    task->Release();
  }
}

std::vector<TaskManager::DueTask> TaskManager::CollectDueTasks(bool dayChanged,
                                                               const ClockReading& now) {
  ScopedLock hold(lock);
  if (dayChanged) {
    for (IQuelmTask* task : tasks) {
      if (task->RearmsEachDay())
        task->ran = false;
    }
  }
  std::vector<DueTask> due;
  for (IQuelmTask* task : tasks) {
    if (task->TakeDuePostponement(now)) {
      task->AddRef();
      due.push_back({task, new IQuelmTask(*task), true});
    }
    if (!task->EvaluateDue(now))
      continue;
    task->AddRef();
    task->ran = true;
    due.push_back({task, new IQuelmTask(*task), false});
  }
  return due;
}

void TaskManager::NotifyRan(IQuelmTask* task) {
  ScopedLock hold(observerLock_);
  for (TaskManagerDel* observer : observers)
    observer->OnTaskRan(task);
}
