#include "tasks/TaskManager.h"

#include <algorithm>

#include "sys/Clock.h"
#include "sys/HandOff.h"
#include "sys/Handles.h"
#include "tasks/ActionExecutor.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManagerDel.h"
#include "tasks/TaskStore.h"

TaskManager::TaskManager(TaskStore* store) : store_(store) {}

TaskManager::~TaskManager() {
  Stop();
  for (IQuelmTask* task : tasks)
    task->Release();
}

void TaskManager::Start() {
  if (scheduler_.joinable())
    return;
  if (store_)
    store_->Load(*this);
  stop = false;
  // The first second to compare against is read here, so a change right after Start counts.
  SYSTEMTIME last = SystemClock().LocalTime();
  scheduler_ = std::thread([this, last] { RunSchedulerLoop(last); });
}

void TaskManager::Stop() {
  stop = true;
  wakeEvent.Signal();
  if (scheduler_.joinable())
    scheduler_.join();
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
  {
    ScopedLock hold(lock);
    tasks.push_back(listed);
    if (save && store_)
      store_->Save(tasks);
  }
  NotifyObservers(listed, 0);
  return listed;
}

void TaskManager::ModifyTask(IQuelmTask& task) {
  IQuelmTask* listed = FindTask(task.guid);
  if (!listed)
    return;
  {
    ScopedLock hold(lock);
    task.ran = false;
    if (listed != &task)
      listed->CopyFrom(task);
    if (store_)
      store_->Save(tasks);
  }
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
      store_->Save(tasks);
  }
  NotifyObservers(removed, 2);
  removed->Release();
}

void TaskManager::SetPaused(IQuelmTask* task) {
  task->paused = !task->paused;
  task->startTick = MonotonicMs();
  ModifyTask(*task);
}

void TaskManager::RunNow(IQuelmTask* task) {
  ExecuteAction(*task);
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

void TaskManager::Wake() {
  wakeEvent.Signal();
}

std::vector<TaskManagerDel*> TaskManager::ObserversSnapshot() {
  ScopedLock hold(observerLock_);
  return observers;
}

void TaskManager::RunSchedulerLoop(SYSTEMTIME last) {
  // The shell's execution of programs, documents and addresses may need COM on this thread.
  ScopedComInit com;
  while (!stop) {
    wakeEvent.Wait(100);
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
  last = local;

  for (const DueTask& due : CollectDueTasks(dayChanged, now)) {
    // The mode as it was when the task fell due; the UI thread may be editing the listed one.
    const ScheduleMode mode = due.snapshot->mode;
    ExecuteAction(*due.snapshot);
    due.snapshot->Release();
    NotifyRan(due.listed);
    IQuelmTask* task = due.listed;
    if (mode == ScheduleMode::Interval)
      task->ran = false;
    if (mode == ScheduleMode::Countdown) {
      task->paused = true;
      // The countdown-end job saves the pause and refreshes the row on the UI thread.
      task->AddRef();
      bool posted = PostToUiThread(MakePostJob(task, [this](IQuelmTask* t) {
        ModifyTask(*t);
        t->Release();
      }));
      if (!posted)
        task->Release();
    }
    task->Release();
  }
  return true;
}

std::vector<TaskManager::DueTask> TaskManager::CollectDueTasks(bool dayChanged,
                                                               const ClockReading& now) {
  ScopedLock hold(lock);
  if (dayChanged) {
    for (IQuelmTask* task : tasks) {
      if (task->mode == ScheduleMode::Daily)
        task->ran = false;
    }
  }
  std::vector<DueTask> due;
  for (IQuelmTask* task : tasks) {
    if (!task->EvaluateDue(now))
      continue;
    task->AddRef();
    task->ran = true;
    due.push_back({task, new IQuelmTask(*task)});
  }
  return due;
}

void TaskManager::NotifyRan(IQuelmTask* task) {
  ScopedLock hold(observerLock_);
  for (TaskManagerDel* observer : observers)
    observer->OnTaskRan(task);
}
