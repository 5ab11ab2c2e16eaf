#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "tasks/CleanWorker.h"
#include "ui/core/UIHostWnd.h"

class UIControl;

// The window of one cleaning run: the running total freed and the path just handled. The
// cleaning worker reports to it and closes it about a second after the last file; the user may
// close it earlier with "btnclose", which does not stop the worker (its later reports are
// dropped).
//
// UI thread only, except AddRef and Release. Reference counted: the window holds one reference
// until it is gone, the worker another until its closing job; the last Release deletes the
// object (always on the UI thread, since the worker drops its reference there).
class CleanTmpDlg : public UIHostWnd, public CleanReportTarget {
 public:
  CleanTmpDlg();

  // Creates the window owned by `owner` (may be null), centres it and starts a worker for it
  // with `pauses`. Answers the dialog without a reference of the caller's (it lives at least
  // until the UI thread next dispatches messages), or null when the window could not be made
  // (nothing is cleaned then).
  static CleanTmpDlg* Start(HWND owner, const CleanPauses& pauses = CleanPauses());

  uint64_t Total() const { return total_; }

  // UIHostWnd:
  void OnInitialized() override;
  int OnEvent(UIEvent& event) override;
  void OnFinalMessage(HWND hwnd) override;

  // CleanReportTarget:
  long AddRef() override { return ++refs_; }
  long Release() override;
  bool WindowExists() const override { return hwnd_ != nullptr; }
  void ReportProgress(uint64_t size, const std::wstring& path) override;
  void CloseWindow() override { Close(); }

 private:
  ~CleanTmpDlg() override = default;

  UIControl* statusLabel_ = nullptr;
  UIControl* totalLabel_ = nullptr;
  uint64_t total_ = 0;
  std::atomic<long> refs_{1};
};
