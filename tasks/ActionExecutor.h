#pragma once

#include <string>

class IQuelmTask;

// Carries out the action of `task` on the calling thread (the scheduler thread, or the UI thread
// for "run now"). Actions that need a window are posted to the UI thread as jobs that take their
// own reference to `task`; everything else runs at once through the system actions. The caller
// keeps `task` alive during the call.
//
// Answers what the action came to, as the run history writes it: done, a failure the system
// reported, or a skip of an object refused for safety; empty when the window it opened (the
// confirmation, the reminder) records the outcome itself.
std::wstring ExecuteAction(IQuelmTask& task);

// xcopy's arguments that copy `source` (a file or a folder's contents) into the folder
// `destination`. xcopy is started directly, never through cmd.exe, so no task text meets a
// command processor's parser (operators, "%" expansion).
std::wstring BackupCommandLine(const std::wstring& source, const std::wstring& destination);

// False for an empty text or one holding a character no Windows path may contain ('"', '<',
// '>', '|', control characters): such a backup source or destination is refused.
bool IsPlainPath(const std::wstring& text);
