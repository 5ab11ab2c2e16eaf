#pragma once

class IQuelmTask;

// The windows that due tasks open on the UI thread: the shutdown/restart confirmation
// countdown, the reminder and the cleaning dialog. The UI installs its implementation at
// start-up; until one is installed the jobs that would open them only release their task.
class TaskPopups {
 public:
  virtual ~TaskPopups() = default;
  // `task` is a copy the window may keep; the listed task may change or go away meanwhile.
  virtual void ShowShutdownConfirm(const IQuelmTask& task) = 0;
  virtual void ShowReminder(const IQuelmTask& task) = 0;
  virtual void StartCleaning() = 0;
};

// The installed popups or nullptr. Both are called on the UI thread only.
TaskPopups* CurrentTaskPopups();
TaskPopups* SetTaskPopups(TaskPopups* popups);
