#pragma once

class IQuelmTask;

// Observer of the task manager. Added, modified and removed are called on the thread that made
// the change (the UI thread); OnTaskRan is called on the scheduler thread and must not wait for
// the UI thread. The task is alive for the duration of each call. OnTaskRan receives the
// scheduler's private copy of the task as it fell due (same GUID, texts that no edit changes
// under it), not the listed task: find the listed one by GUID when needed.
class TaskManagerDel {
 public:
  virtual ~TaskManagerDel() = default;
  virtual void OnTaskAdded(IQuelmTask* task) = 0;
  virtual void OnTaskModified(IQuelmTask* task) = 0;
  virtual void OnTaskRemoved(IQuelmTask* task) = 0;
  virtual void OnTaskRan(IQuelmTask* task) = 0;
};
