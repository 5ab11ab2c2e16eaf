#include "app/RunHistoryDlg.h"

#include "app/HistoryList.h"
#include "sys/StringFormat.h"
#include "tasks/RunHistory.h"
#include "ui/controls/AppMessage.h"
#include "ui/controls/UIScrollVertView.h"

namespace {

RunHistoryDlg* g_open = nullptr;

}  // namespace

RunHistoryDlg::RunHistoryDlg() : UIHostWnd(L"xml\\historydlg.xml") {}

RunHistoryDlg::~RunHistoryDlg() {
  if (g_open == this) {
    g_open = nullptr;
    SetHistoryListener(nullptr, nullptr);
  }
}

RunHistoryDlg* RunHistoryDlg::Show(HWND owner) {
  if (g_open) {
    ShowWindow(g_open->GetHwnd(), SW_SHOW);
    g_open->BringToFront();
    return g_open;
  }
  auto* dialog = new RunHistoryDlg;
  if (!dialog->Create(owner, kDialogStyle, kDialogExStyle, 0, 0, 200, 200)) {
    delete dialog;
    return nullptr;
  }
  dialog->CenterWindow();
  return dialog;
}

RunHistoryDlg* RunHistoryDlg::Current() {
  return g_open;
}

void RunHistoryDlg::OnInitialized() {
  g_open = this;
  view_ = dynamic_cast<UIScrollVertView*>(root_.FindById(L"idhistory"));
  if (!view_)
    return;
  list_ = new HistoryList;
  view_->AddRow(list_);
  Reload();
  SetHistoryListener(&RunHistoryDlg::OnRecorded, this);
}

void RunHistoryDlg::Reload() {
  if (!list_)
    return;
  RunHistory* history = CurrentRunHistory();
  list_->SetEvents(history ? history->ReadNewestFirst(&shown_) : std::vector<HistoryEvent>());
  RowsChanged();
}

void RunHistoryDlg::OnRecorded(const HistoryEvent& event, uint64_t sequence, void* context) {
  auto* self = static_cast<RunHistoryDlg*>(context);
  // Events already read from the file, or recorded before it was cleared, are listed once.
  if (!self->list_ || sequence <= self->shown_)
    return;
  self->shown_ = sequence;
  self->list_->AddNewest(event);
  self->RowsChanged();
}

void RunHistoryDlg::RowsChanged() {
  if (view_)
    view_->Relayout();
  if (UIControl* count = root_.FindById(L"idcount"))
    count->SetText(WFormat(L"共 %d 条记录", list_ ? static_cast<int>(list_->events().size()) : 0));
}

void RunHistoryDlg::ConfirmAndClear() {
  const int answer =
      ShowAppMessage(hwnd_, L"确定要清空运行记录吗？", L"取消|清空", MessageIcon::Information);
  // The box runs a message loop, in which this window may have gone.
  if (answer != 2 || g_open != this)
    return;
  if (RunHistory* history = CurrentRunHistory())
    history->Clear();
  Reload();
}

int RunHistoryDlg::OnEvent(UIEvent& event) {
  if (event.id == L"btnclose") {
    if (event.name == "click")
      Close();
    return 1;
  }
  if (event.id == L"btnclear") {
    if (event.name == "click")
      ConfirmAndClear();
    return 1;
  }
  return UIHostWnd::OnEvent(event);
}

void RunHistoryDlg::OnFinalMessage(HWND hwnd) {
  // The rows died with the tree; nothing may reach them now.
  list_ = nullptr;
  view_ = nullptr;
  delete this;
}
