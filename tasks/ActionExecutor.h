#pragma once

#include <string>

class IQuelmTask;

// Carries out the action of `task` on the calling thread (the scheduler thread, or the UI thread
// for "run now"). Actions that need a window are posted to the UI thread as jobs that take their
// own reference to `task`; everything else runs at once through the system actions. Nothing is
// reported: every system result is ignored. The caller keeps `task` alive during the call.
void ExecuteAction(IQuelmTask& task);

// The command line that has cmd.exe copy `source` (a file or a folder's contents) into the
// folder `destination` with xcopy.
std::wstring BackupCommandLine(const std::wstring& source, const std::wstring& destination);
