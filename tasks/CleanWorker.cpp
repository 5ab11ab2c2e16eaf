#include "tasks/CleanWorker.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "sys/Files.h"
#include "sys/HandOff.h"
#include "sys/PinnedFolder.h"
#include "sys/ShellImpersonation.h"
#include "sys/UserToken.h"
#include "tasks/CleanFiles.h"

namespace {

std::atomic<CleanListedHook> g_listedHook{nullptr};
std::atomic<void*> g_listedContext{nullptr};

void Pause(unsigned ms) {
  if (ms > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void CleanTemp(CleanReportTarget* target, const CleanPauses& pauses) {
  // Elevated, the walk and the deletes run as the user behind the shell when there is one, so
  // that nothing is deleted that the user could not delete anyway. Without a shell the handle
  // checks of DeleteFileWithin alone keep every delete inside the folder.
  std::optional<ScopedShellImpersonation> asUser;
  if (IsProcessElevated())
    asUser.emplace();
  const std::wstring folder = CleanableTempFolder();
  std::vector<std::wstring> list;
  if (!folder.empty())
    CollectFiles(folder, list);
  if (CleanListedHook hook = g_listedHook)
    hook(list, g_listedContext);
  for (std::wstring& path : list) {
    // A folder on the way may have been swapped for a link since the list was made: what is
    // deleted is checked on the handle that deletes it.
    uint64_t size = GetFileSizeOnDisk(path);
    if (!DeleteFileWithin(folder, path) || PathExists(path))
      size = 0;
    SendToUiThread(MakeSendJob(
        [](CleanReportTarget* report, uint64_t& freed, std::wstring& shown) {
          if (report->WindowExists())
            report->ReportProgress(freed, shown);
        },
        target, size, path));
    Pause(pauses.afterFileMs);
  }
  Pause(pauses.beforeCloseMs);
}

// Consumes the caller's reference to `target`: the closing job drops it on the UI thread.
void RunCleaning(CleanReportTarget* target, const CleanPauses& pauses) {
  CleanTemp(target, pauses);
  PostToUiThread(MakePostJob(target, [](CleanReportTarget* report) {
    if (report->WindowExists())
      report->CloseWindow();
    report->Release();
  }));
}

}  // namespace

void SetCleanListedHookForTesting(CleanListedHook hook, void* context) {
  g_listedContext = context;
  g_listedHook = hook;
}

void CleanWorker(CleanReportTarget* target, const CleanPauses& pauses) {
  target->AddRef();
  RunCleaning(target, pauses);
}

void StartCleanWorker(CleanReportTarget* target, const CleanPauses& pauses) {
  target->AddRef();
  std::thread([target, pauses] { RunCleaning(target, pauses); }).detach();
}
