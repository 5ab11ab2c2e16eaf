#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sys/CriticalSection.h"

class IQuelmTask;
class TaskManager;
class XmlDocument;

// The document of one save, built under the manager's lock and written after it is released.
struct PendingSave {
  PendingSave();
  PendingSave(PendingSave&&) noexcept;
  PendingSave& operator=(PendingSave&&) noexcept;
  ~PendingSave();

  std::unique_ptr<XmlDocument> doc;
  uint64_t generation = 0;  // order of preparation; an older save never replaces a newer one
};

// The task file: the whole list as XML, rewritten after every change.
//
// A save replaces the file in one atomic step, so a crash leaves either the previous list or
// the new one. Load() keeps a file it cannot parse aside (as "task.xml.bad", "task.xml.bad2",
// ...) before anything can overwrite it, and gives every task a distinct GUID.
//
// Every file is read, created, replaced and deleted through PinnedFolder, so links planted in
// the folder redirect nothing; a folder that is itself a link is read but never written (every
// save fails, and FolderIsLink() says why).
//
// A file that exists but cannot be opened (held by a scanner without read sharing) is retried
// briefly; when it stays unreadable it is never replaced: each later save first tries to keep
// it aside and, until that succeeds, writes "task.xml.new" instead.
class TaskStore {
 public:
  explicit TaskStore(std::wstring path);
  virtual ~TaskStore() = default;

  // Adds every stored task to `manager` without saving. Called once, before the scheduler runs.
  virtual void Load(TaskManager& manager);
  // Builds the document of `tasks` in list order. Called with the manager's lock held.
  virtual PendingSave PrepareSave(const std::vector<IQuelmTask*>& tasks);
  // Writes a prepared document under the store's own lock; false when nothing was written.
  // Called without the manager's lock; a save prepared before the last one written is dropped.
  virtual bool CommitSave(PendingSave save);
  // Both steps at once.
  bool Save(const std::vector<IQuelmTask*>& tasks) { return CommitSave(PrepareSave(tasks)); }

  const std::wstring& path() const { return path_; }
  // The folder of path(), without a trailing backslash.
  const std::wstring& folder() const { return folder_; }
  // The task file's folder is a junction or symbolic link, so nothing is saved.
  bool FolderIsLink() const;

 private:
  std::wstring path_;
  std::wstring folder_;
  std::wstring name_;
  std::atomic<uint64_t> nextGeneration_{1};
  CriticalSection writeLock_;
  uint64_t writtenGeneration_ = 0;  // guarded by writeLock_
  // The file exists but was neither loaded nor kept aside; guarded by writeLock_.
  bool keepAsidePending_ = false;
};

// Reads the `date` text of a stored task ("2024/05/01 23:00:00", zero padding optional) into
// `time`; each half that is malformed leaves its fields alone.
void ParseTaskDate(const std::wstring& text, SYSTEMTIME& time);
