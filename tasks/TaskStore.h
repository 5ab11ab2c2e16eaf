#pragma once

#include <windows.h>

#include <string>
#include <vector>

class IQuelmTask;
class TaskManager;

// The task file: the whole list as XML, rewritten after every change.
//
// Save() replaces the file in one atomic step, so a crash leaves either the previous list or
// the new one. Load() keeps a file it cannot read aside (as "task.xml.bad", "task.xml.bad2",
// ...) before anything can overwrite it, and gives every task a distinct GUID.
class TaskStore {
 public:
  explicit TaskStore(std::wstring path);
  virtual ~TaskStore() = default;

  // Adds every stored task to `manager` without saving. Called once, before the scheduler runs.
  virtual void Load(TaskManager& manager);
  // Writes `tasks` in list order; false when the file could not be written. Called with the
  // manager's lock held.
  virtual bool Save(const std::vector<IQuelmTask*>& tasks);

  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// Reads the `date` text of a stored task ("2024/05/01 23:00:00", zero padding optional) into
// `time`; each half that is malformed leaves its fields alone.
void ParseTaskDate(const std::wstring& text, SYSTEMTIME& time);
