#include "tasks/WakeScheduler.h"

#include "sys/Clock.h"
#include "tasks/IQuelmTask.h"
#include "tasks/TaskManager.h"

bool NextWakeMoment(const std::vector<IQuelmTask*>& tasks,
                    const SYSTEMTIME& now,
                    SYSTEMTIME* moment) {
  bool found = false;
  for (const IQuelmTask* task : tasks) {
    SYSTEMTIME next;
    if (task->NextDueAfter(now, &next) && (!found || SecondsBetween(next, *moment) > 0)) {
      *moment = next;
      found = true;
    }
  }
  return found;
}

WakeScheduler::WakeScheduler(TaskManager* manager) : manager_(manager) {}

WakeScheduler::~WakeScheduler() {
  if (observing_)
    manager_->RemoveObserver(this);
  timer_.Cancel();
}

void WakeScheduler::Start() {
  if (observing_ || !manager_)
    return;
  manager_->AddObserver(this);
  observing_ = true;
  Rearm();
}

void WakeScheduler::SetEnabled(bool on) {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    enabled_ = on;
  }
  Rearm();
}

bool WakeScheduler::IsEnabled() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return enabled_;
}

void WakeScheduler::Rearm() {
  std::lock_guard<std::mutex> hold(mutex_);
  SYSTEMTIME moment;
  bool found = false;
  const SYSTEMTIME now = SystemClock().LocalTime();
  if (enabled_ && manager_) {
    std::vector<IQuelmTask*> tasks = manager_->TakeSnapshot();
    found = NextWakeMoment(tasks, now, &moment);
    for (IQuelmTask* task : tasks)
      task->Release();
  }
  if (!found) {
    timer_.Cancel();
    armed_ = false;
    return;
  }
  SYSTEMTIME wakeAt = AddSeconds(moment, -kLeadSeconds);
  if (SecondsBetween(now, wakeAt) <= 0)
    wakeAt = moment;
  // A refusal is not reported: the tasks still run whenever the computer is awake.
  timer_.ArmAt(wakeAt);
  armed_ = true;
  armedFor_ = moment;
  wakeAt_ = wakeAt;
}

void WakeScheduler::OnResumed() {
  if (IsEnabled())
    KeepSystemAwakeBriefly();
  Rearm();
}

bool WakeScheduler::ArmedFor(SYSTEMTIME* moment, SYSTEMTIME* wakeAt) const {
  std::lock_guard<std::mutex> hold(mutex_);
  if (armed_) {
    *moment = armedFor_;
    *wakeAt = wakeAt_;
  }
  return armed_;
}

void WakeScheduler::OnTaskRan(IQuelmTask* task) {
  // Only the tasks a timer wakes for: an interval every minute must not keep the computer from
  // its own idle sleep.
  const ScheduleMode mode = task->mode;
  const bool woken = mode == ScheduleMode::Daily || mode == ScheduleMode::Weekly ||
                     mode == ScheduleMode::AtDateTime;
  if (woken && IsEnabled())
    KeepSystemAwakeBriefly();
  Rearm();
}
