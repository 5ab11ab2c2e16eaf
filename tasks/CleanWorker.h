#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The window a cleaning run reports to: the cleaning dialog. Reference counted, since the
// dialog's window may close while the worker still runs. AddRef and Release are called from
// any thread; the worker drops its last reference on the UI thread. Everything else is called
// on the UI thread only, and the worker calls ReportProgress and CloseWindow only while
// WindowExists() holds.
class CleanReportTarget {
 public:
  virtual long AddRef() = 0;
  virtual long Release() = 0;
  virtual bool WindowExists() const = 0;
  // `size` bytes were freed by deleting `path` (0 when the file could not be deleted).
  virtual void ReportProgress(uint64_t size, const std::wstring& path) = 0;
  // Hides and destroys the window.
  virtual void CloseWindow() = 0;

 protected:
  virtual ~CleanReportTarget() = default;
};

// The pauses of a run: after each file, so that the UI thread stays responsive and the status
// can be read, and before closing, so that the final total stays visible.
struct CleanPauses {
  unsigned afterFileMs = 10;
  unsigned beforeCloseMs = 1000;
};

// Starts a cleaning thread for `target` and returns at once; the thread is not joined. The
// thread takes its own reference to `target`. It deletes every file CollectFiles finds under
// CleanableTempFolder() (nothing when that is empty), each through DeleteFileWithin that folder;
// in an elevated process it walks and deletes impersonating the shell's user when there is a
// shell. It sends one report per file in list order
// and waits for each, then posts the closing job, which drops the reference. Without a hand-off
// window nothing is reported, the files are still deleted, and the reference is kept for good.
void StartCleanWorker(CleanReportTarget* target, const CleanPauses& pauses = CleanPauses());

// Called on the cleaning thread with the list of files, after the walk and before the first
// delete; null for none. Set it while no cleaning runs.
using CleanListedHook = void (*)(const std::vector<std::wstring>& files, void* context);
void SetCleanListedHookForTesting(CleanListedHook hook, void* context);

// The thread's body, run on the calling thread; takes the same reference StartCleanWorker does.
void CleanWorker(CleanReportTarget* target, const CleanPauses& pauses = CleanPauses());
