#include "popups/CleanTmpDlg.h"

#include "tasks/CleanFiles.h"

CleanTmpDlg::CleanTmpDlg() : UIHostWnd(L"xml\\cleantmpdlg.xml") {}

CleanTmpDlg* CleanTmpDlg::Start(HWND owner, const CleanPauses& pauses) {
  auto* dialog = new CleanTmpDlg;
  if (!dialog->CreateCentered(owner)) {
    dialog->Release();
    return nullptr;
  }
  StartCleanWorker(dialog, pauses);
  return dialog;
}

void CleanTmpDlg::OnInitialized() {
  statusLabel_ = root_.FindById(L"idstatus");
  totalLabel_ = root_.FindById(L"idstatustitle");
}

int CleanTmpDlg::OnEvent(UIEvent& event) {
  if (event.id == L"btnclose") {
    if (event.name == "click")
      Close();
    return 1;
  }
  return UIHostWnd::OnEvent(event);
}

void CleanTmpDlg::OnFinalMessage(HWND hwnd) {
  // The labels died with the tree; the worker may still hold the object.
  statusLabel_ = totalLabel_ = nullptr;
  Release();
}

long CleanTmpDlg::Release() {
  long left = --refs_;
  if (left == 0)
    delete this;
  return left;
}

void CleanTmpDlg::ReportProgress(uint64_t size, const std::wstring& path) {
  total_ += size;
  if (totalLabel_)
    totalLabel_->SetText(FormatSize(total_));
  if (statusLabel_)
    statusLabel_->SetText(path);
}
