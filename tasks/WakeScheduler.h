#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "sys/WakeTimer.h"
#include "tasks/TaskManagerDel.h"

class IQuelmTask;
class TaskManager;

// The earliest moment after `now` at which one of `tasks` falls due by its own schedule (a
// switched-on daily, weekly or dated task); false when none will.
bool NextWakeMoment(const std::vector<IQuelmTask*>& tasks,
                    const SYSTEMTIME& now,
                    SYSTEMTIME* moment);

// While on, keeps one wake timer armed for the earliest coming due moment of the manager's
// tasks, kLeadSeconds ahead of it so that a sleeping computer is up and running when the second
// comes (or at the moment itself once less than the lead is left). Re-arms on every change the
// manager announces (added, modified, removed, ran) and when told to (the computer woke, the
// clock changed). Off, or with nothing to wait for, the timer is cancelled.
//
// The manager is borrowed and must outlive this object. Rearm may run on the UI thread and on
// the scheduler thread (OnTaskRan) at once; the object's own lock orders them, and it is never
// held while the manager calls observers.
class WakeScheduler : public TaskManagerDel {
 public:
  static constexpr int64_t kLeadSeconds = 60;

  explicit WakeScheduler(TaskManager* manager);
  ~WakeScheduler() override;
  WakeScheduler(const WakeScheduler&) = delete;
  WakeScheduler& operator=(const WakeScheduler&) = delete;

  // Observes the manager and arms when on. UI thread, once the manager has loaded its tasks.
  void Start();
  void SetEnabled(bool on);
  bool IsEnabled() const;
  // Works the next moment out from the list and the clock now, and arms or cancels the timer.
  void Rearm();
  // The computer woke: keeps it awake for the task it may have woken for, then re-arms.
  void OnResumed();

  // The due moment the timer is armed for and the local time it falls due at; false when it
  // is not armed.
  bool ArmedFor(SYSTEMTIME* moment, SYSTEMTIME* wakeAt) const;
  const WakeTimer& timer() const { return timer_; }

  // TaskManagerDel:
  void OnTaskAdded(IQuelmTask* task) override { Rearm(); }
  void OnTaskModified(IQuelmTask* task) override { Rearm(); }
  void OnTaskRemoved(IQuelmTask* task) override { Rearm(); }
  // Also keeps a computer that a timer woke awake while the task's action runs.
  void OnTaskRan(IQuelmTask* task) override;

 private:
  TaskManager* manager_;
  bool observing_ = false;  // UI thread only
  mutable std::mutex mutex_;
  // Guarded by mutex_.
  bool enabled_ = false;
  bool armed_ = false;
  SYSTEMTIME armedFor_ = {};
  SYSTEMTIME wakeAt_ = {};
  WakeTimer timer_;
};
