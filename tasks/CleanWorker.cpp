#include "tasks/CleanWorker.h"

#include <chrono>
#include <thread>
#include <vector>

#include "sys/Files.h"
#include "sys/HandOff.h"
#include "tasks/CleanFiles.h"

namespace {

void Pause(unsigned ms) {
  if (ms > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void CleanTemp(CleanReportTarget* target, const CleanPauses& pauses) {
  const std::wstring folder = CleanableTempFolder();
  std::vector<std::wstring> list;
  if (!folder.empty())
    CollectFiles(folder, list);
  for (std::wstring& path : list) {
    uint64_t size = 0;
    // A folder on the way may have been swapped for a link since the list was made.
    if (ReachableWithoutLinks(folder, path)) {
      size = GetFileSizeOnDisk(path);
      DeleteFileIfExists(path);
      if (PathExists(path))
        size = 0;
    }
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

void CleanWorker(CleanReportTarget* target, const CleanPauses& pauses) {
  target->AddRef();
  RunCleaning(target, pauses);
}

void StartCleanWorker(CleanReportTarget* target, const CleanPauses& pauses) {
  target->AddRef();
  std::thread([target, pauses] { RunCleaning(target, pauses); }).detach();
}
