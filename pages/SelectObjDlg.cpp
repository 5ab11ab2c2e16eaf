#include "pages/SelectObjDlg.h"

#include <initializer_list>
#include <memory>
#include <utility>

#include "pages/InstalledPrograms.h"
#include "sys/Pickers.h"
#include "sys/Processes.h"
#include "sys/StringFormat.h"
#include "tasks/WebAddress.h"
#include "ui/controls/AppMessage.h"
#include "ui/controls/UIButton.h"
#include "ui/controls/UIImage.h"
#include "ui/controls/UILabel.h"
#include "ui/controls/UIScrollVertView.h"
#include "ui/core/UIBuilder.h"

namespace {

const wchar_t kRowBack[] = L"clr:clr1=#fff0f5f9|clr2=#fff0f5f9";
const wchar_t* const kPages[] = {L"idpageProcess", L"idpageFile", L"idpageUrl", L"idpageBack",
                                 L"idpageRemind"};

using Attributes = std::initializer_list<std::pair<const wchar_t*, std::wstring>>;

// A control made in code as the builder would make it: the creation hook first, then the
// attributes, then the place.
template <class T>
T* NewControl(Attributes attributes, int x, int y, int width, int height) {
  T* control = new T;
  if (UIControlCreatedHook hook = GetControlCreatedHook())
    hook(control);
  for (const auto& [name, value] : attributes)
    control->SetAttribute(name, value);
  control->SetPos(x, y, width, height);
  return control;
}

}  // namespace

UISoftListItem::UISoftListItem() {
  SetAttribute(L"back", kRowBack);
  SetAttribute(L"track", L"true");
}

UISoftListItem::~UISoftListItem() = default;

void UISoftListItem::OnMessage(UIMessage& message) {
  if (message.message == WM_LBUTTONDOWN) {
    UIRef<UIControl> keep(this);  // the handler may rebuild the list
    FireEvent("click");
  }
  UIControl::OnMessage(message);
}

SelectObjDlg::SelectObjDlg(IQuelmTask* task, const std::wstring& layoutPath)
    : UIHostWnd(layoutPath), task_(task) {
  if (task_)
    draft_.CopyFrom(*task_);
}

SelectObjDlg::~SelectObjDlg() {
  // The rows point into programs_: take the tree down while the entries still exist.
  if (hwnd())
    DestroyWindow(hwnd());
}

int SelectObjDlg::Run(HWND owner, IQuelmTask* task) {
  if (!task)
    return 0;
  SelectObjDlg dialog(task);
  if (!dialog.CreateCentered(owner))
    return 0;
  return dialog.RunModal(owner);
}

void SelectObjDlg::ShowPage(const std::wstring& id) {
  UIControl* root = GetRoot();
  for (const wchar_t* pageId : kPages) {
    UIControl* page = root->FindById(pageId);
    bool visible = id == pageId;
    if (page && page->IsVisible() != visible)
      page->SetVisible(visible);
  }
  // The content column puts the page that is shown at its top.
  if (UIControl* content = root->FindById(L"idcontent"))
    content->Relayout();
}

std::wstring SelectObjDlg::JoinList(UIControl* list) {
  auto* view = dynamic_cast<UIScrollVertView*>(list);
  if (!view)
    return std::wstring();
  std::wstring joined;
  bool first = true;
  for (UIControl* row : view->content()->GetChildren()) {
    if (!first)
      joined += L'|';
    joined += row->GetAttribute(L"path");
    first = false;
  }
  return joined;
}

void SelectObjDlg::OnInitialized() {
  UIControl* root = GetRoot();
  auto list = [root](const wchar_t* id) {
    return dynamic_cast<UIScrollVertView*>(root->FindById(id));
  };
  programList_ = list(L"idlist");
  paramEdit_ = root->FindById(L"edit_param");
  fileList_ = list(L"idFilelist");
  urlList_ = list(L"idUrllist");
  urlEdit_ = root->FindById(L"edit_url");
  backupList_ = list(L"idbacklist");
  backupEdit_ = root->FindById(L"edit_back");
  titleEdit_ = root->FindById(L"edit_title");
  contentEdit_ = root->FindById(L"edit_content");
  if (!task_)
    return;

  switch (draft_.action) {
    case ActionKind::Remind:
      ShowPage(L"idpageRemind");
      if (titleEdit_)
        titleEdit_->SetText(draft_.name);
      if (contentEdit_)
        contentEdit_->SetText(draft_.param1);
      break;
    case ActionKind::RunProgram:
    case ActionKind::CloseProgram:
      ShowPage(L"idpageProcess");
      ShowProgram(draft_.name, draft_.param1);
      FillPrograms();
      break;
    case ActionKind::OpenFile:
      ShowPage(L"idpageFile");
      AddListRows(fileList_, draft_.param1, L"idDeleteFile");
      break;
    case ActionKind::BackupFiles:
    case ActionKind::BackupDirectory:
      if (draft_.action == ActionKind::BackupDirectory) {
        if (UIControl* add = root->FindById(L"idaddbackfile"))
          add->SetText(L"添加源目录");
      }
      if (backupEdit_)
        backupEdit_->SetText(draft_.param2);
      ShowPage(L"idpageBack");
      AddListRows(backupList_, draft_.param1, L"idDeleteBackup");
      break;
    case ActionKind::OpenUrl:
      ShowPage(L"idpageUrl");
      AddListRows(urlList_, draft_.param1, L"idDeleteURL");
      break;
    default:
      break;
  }
}

void SelectObjDlg::FillPrograms() {
  if (draft_.action == ActionKind::CloseProgram) {
    if (UIControl* row = GetRoot()->FindById(L"idParam")) {
      row->SetVisible(false);
      if (UIControl* page = row->GetParent())
        page->Relayout();
    }
    programs_ = ListRunningPrograms();
  } else {
    if (paramEdit_)
      paramEdit_->SetText(draft_.param2);
    programs_ = ListInstalledPrograms();
  }
  if (!programList_)
    return;
  for (const auto& entry : programs_)
    AddProgramRow(entry.get());
  programList_->Relayout();
}

void SelectObjDlg::AddProgramRow(const ProgramEntry* entry) {
  auto* row = NewControl<UISoftListItem>(
      {{L"id", L"softitem"}, {L"txtinterset", L"35"}, {L"txtclr2", L"255,255,255"}}, 0, 0, 10, 30);
  row->set_entry(entry);
  auto* icon = NewControl<UIImage>({{L"hit", L"false"}}, 8, 5, 20, 20);
  if (entry->icon) {
    // The entry owns the bitmap and outlives the row: share it without taking ownership.
    icon->SetBitmap(std::shared_ptr<Gdiplus::Bitmap>(std::shared_ptr<void>(), entry->icon.get()));
  }
  row->AddChild(icon);
  row->AddChild(NewControl<UILabel>(
      {{L"hit", L"false"}, {L"vert", L"1"}, {L"trim", L"true"}, {L"txt", entry->name}}, 30, 0, 400,
      30));
  programList_->AddRow(row);
}

void SelectObjDlg::AddListRow(UIScrollVertView* list,
                              const std::wstring& text,
                              const wchar_t* deleteId) {
  if (!list)
    return;
  auto* row = NewControl<UIControl>({{L"path", text}, {L"track", L"true"}, {L"back", kRowBack}}, 0,
                                    0, 400, 30);
  // Long paths are shortened in the middle and stop short of the delete button.
  row->AddChild(NewControl<UILabel>(
      {{L"hit", L"false"}, {L"vert", L"1"}, {L"ntrim", L"5"}, {L"xend", L"14"}, {L"txt", text}}, 10,
      0, 400, 30));
  row->AddChild(NewControl<UIButton>({{L"btn", L"img\\btn\\btn_delete.png"}, {L"id", deleteId}},
                                     400, 3, 24, 24));
  list->AddRow(row);
}

void SelectObjDlg::AddListRows(UIScrollVertView* list,
                               const std::wstring& joined,
                               const wchar_t* deleteId) {
  if (!list)
    return;
  for (const std::wstring& piece : SplitList(joined))
    AddListRow(list, piece, deleteId);
  list->Relayout();
}

void SelectObjDlg::DeleteRowOf(UIControl* button, UIScrollVertView* list) {
  if (!button || !list)
    return;
  // RemoveRow ignores a row of another list.
  list->RemoveRow(button->GetParent());
  list->Relayout();
}

void SelectObjDlg::ShowProgram(const std::wstring& name, const std::wstring& path) {
  UIControl* root = GetRoot();
  if (UIControl* label = root->FindById(L"idsoftname"))
    label->SetText(WFormat(L"程序名称：%ls", name.c_str()));
  if (UIControl* label = root->FindById(L"idsoftpath"))
    label->SetText(WFormat(L"程序路径：%ls", path.c_str()));
}

std::wstring SelectObjDlg::EditText(UIControl* edit) const {
  return edit ? edit->GetText() : std::wstring();
}

int SelectObjDlg::OnEvent(UIEvent& event) {
  const std::wstring& id = event.id;
  if (id == L"softitem") {
    if (event.name != "click")
      return 1;
    auto* row = dynamic_cast<UISoftListItem*>(event.sender);
    if (row && row->entry()) {
      selectedProgram_ = row->entry();
      ShowProgram(selectedProgram_->name, selectedProgram_->path);
    }
    return 1;
  }
  if (!task_)
    return UIHostWnd::OnEvent(event);
  if (id == L"idcancel") {
    EndModal(0);
  } else if (id == L"idselectDir") {
    if (backupEdit_)
      backupEdit_->SetText(PickFolder(hwnd()));
  } else if (id == L"idDeleteFile") {
    DeleteRowOf(event.sender, fileList_);
  } else if (id == L"idDeleteBackup") {
    DeleteRowOf(event.sender, backupList_);
  } else if (id == L"idDeleteURL") {
    DeleteRowOf(event.sender, urlList_);
  } else if (id == L"idaddUrl") {
    // Stored "|"-joined: a "|" typed inside the address must not make two of it.
    std::wstring url = EscapeListSeparator(EditText(urlEdit_));
    if (!url.empty() && urlList_) {
      AddListRow(urlList_, url, L"idDeleteURL");
      urlList_->Relayout();
    }
  } else if (id == L"idaddfile") {
    if (fileList_) {
      for (const std::wstring& path : PickFiles(hwnd()))
        AddListRow(fileList_, path, L"idDeleteFile");
      fileList_->Relayout();
    }
  } else if (id == L"idaddbackfile") {
    if (backupList_) {
      if (draft_.action == ActionKind::BackupDirectory) {
        std::wstring folder = PickFolder(hwnd());
        if (!folder.empty())
          AddListRow(backupList_, folder, L"idDeleteBackup");
      } else if (draft_.action == ActionKind::BackupFiles) {
        for (const std::wstring& path : PickFiles(hwnd()))
          AddListRow(backupList_, path, L"idDeleteBackup");
      }
      backupList_->Relayout();
    }
  } else if (id == L"idok") {
    Confirm();
  } else {
    return UIHostWnd::OnEvent(event);
  }
  return 1;
}

bool SelectObjDlg::HandleMessage(HWND hwnd,
                                 UINT message,
                                 WPARAM wparam,
                                 LPARAM lparam,
                                 LRESULT* result) {
  if (message == WM_KEYDOWN && wparam == VK_ESCAPE) {
    EndModal(0);
    *result = 0;
    return true;
  }
  return UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
}

void SelectObjDlg::Confirm() {
  switch (draft_.action) {
    case ActionKind::Remind:
      draft_.name = EditText(titleEdit_);
      draft_.param1 = EditText(contentEdit_);
      break;
    case ActionKind::RunProgram:
    case ActionKind::CloseProgram:
      if (selectedProgram_) {
        draft_.name = selectedProgram_->name;
        draft_.param1 = selectedProgram_->path;
      }
      draft_.param2 = EditText(paramEdit_);
      break;
    case ActionKind::OpenFile:
      draft_.param1 = JoinList(fileList_);
      break;
    case ActionKind::BackupFiles:
    case ActionKind::BackupDirectory:
      draft_.param1 = JoinList(backupList_);
      draft_.param2 = EditText(backupEdit_);
      break;
    case ActionKind::OpenUrl:
      draft_.param1 = JoinList(urlList_);
      break;
    default:
      break;
  }
  std::wstring problem = draft_.Validate();
  if (!problem.empty()) {
    ShowAppMessage(hwnd(), problem, L"确定", MessageIcon::Error);
    return;
  }
  task_->name = draft_.name;
  task_->param1 = draft_.param1;
  task_->param2 = draft_.param2;
  EndModal(1);
}
