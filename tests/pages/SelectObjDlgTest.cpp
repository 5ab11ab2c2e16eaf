#include "pages/SelectObjDlg.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sys/Files.h"
#include "sys/Guid.h"
#include "sys/Processes.h"
#include "tests/pages/PagesTest.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/StartProcess.h"
#include "ui/controls/UIMessageBox.h"
#include "ui/controls/UIScrollVertView.h"

namespace {

LPARAM CentreOf(UIControl* control) {
  RECT r = control->WindowRect();
  return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void PostClick(HWND hwnd, UIControl* control) {
  LPARAM at = CentreOf(control);
  PostMessageW(hwnd, WM_MOUSEMOVE, 0, at);
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

void SendClick(HWND hwnd, UIControl* control) {
  LPARAM at = CentreOf(control);
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, at);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

// Clicks `edit` and types `text` into it, as posted characters.
void TypeInto(HWND hwnd, UIControl* edit, const std::wstring& text) {
  PostClick(hwnd, edit);
  for (wchar_t c : text)
    PostMessageW(hwnd, WM_CHAR, c, 0);
}

// What the message box showed; the box is answered with Escape and the dialog then cancelled.
struct SeenBox {
  int count = 0;
  std::wstring text;
  HWND owner = nullptr;
  bool dialogRunning = false;
};
SeenBox g_seen;
SelectObjDlg* g_dialog = nullptr;

void AnswerBox(UIMessageBox* box) {
  ++g_seen.count;
  g_seen.text = box->text_label() ? box->text_label()->GetText() : L"";
  g_seen.owner = GetWindow(box->GetHwnd(), GW_OWNER);
  g_seen.dialogRunning = g_dialog->IsModalRunning();
  PostMessageW(box->GetHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  PostClick(g_dialog->GetHwnd(), g_dialog->GetRoot()->FindById(L"idcancel"));
}

// A dialog that waits for something that never comes must not hold up the run.
void CALLBACK CloseEverything(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM) -> BOOL {
        if (auto* host =
                dynamic_cast<UIHostWnd*>(static_cast<UIWindowImp*>(GetPropW(hwnd, L"skinobj"))))
          host->Close();
        return TRUE;
      },
      0);
}

// What Run showed, seen from inside its modal loop; Escape then ends it.
struct SeenRun {
  HWND owner = nullptr;
  bool ownerEnabled = true;
  RECT window = {};
  std::wstring title;
};
SeenRun g_run;

void CALLBACK LookAtRun(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM) -> BOOL {
        auto* dialog =
            dynamic_cast<SelectObjDlg*>(static_cast<UIWindowImp*>(GetPropW(hwnd, L"skinobj")));
        if (!dialog || !IsWindowVisible(hwnd))
          return TRUE;
        g_run.ownerEnabled = IsWindowEnabled(g_run.owner) != FALSE;
        GetWindowRect(hwnd, &g_run.window);
        g_run.title = dialog->GetRoot()->FindById(L"edit_title")->GetText();
        PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        return FALSE;
      },
      0);
  KillTimer(nullptr, timer);
}

class SelectObjDlgTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    g_seen = SeenBox();
    UIMessageBox::SetShownHookForTesting(&AnswerBox);
  }
  void TearDown() override {
    dialog_.reset();
    PagesTest::TearDown();
  }

  SelectObjDlg* Open(ActionKind action, const std::wstring& param1 = L"") {
    task_.action = action;
    task_.param1 = param1;
    dialog_ = std::make_unique<SelectObjDlg>(&task_);
    g_dialog = dialog_.get();
    dialog_->Create(nullptr, UIHostWnd::kDialogStyle, UIHostWnd::kDialogExStyle, 0, 0, 200, 200);
    return dialog_.get();
  }
  UIControl* Find(const std::wstring& id) { return dialog_->GetRoot()->FindById(id); }
  UIScrollVertView* List(const std::wstring& id) {
    return dynamic_cast<UIScrollVertView*>(Find(id));
  }
  // The modal run with the messages posted so far, closed after 20 s at the latest.
  int RunModal() {
    UINT_PTR guard = SetTimer(nullptr, 0, 20000, &CloseEverything);
    int result = dialog_->RunModal();
    KillTimer(nullptr, guard);
    return result;
  }

  IQuelmTask task_;
  std::unique_ptr<SelectObjDlg> dialog_;
};

TEST_F(SelectObjDlgTest, OpensThePageOfTheActionFilledFromTheTask) {
  const struct {
    ActionKind action;
    const wchar_t* page;  // null: no page shows
    const wchar_t* control;
    const wchar_t* text;
  } cases[] = {
      {ActionKind::Remind, L"idpageRemind", L"edit_content", L"line one\r\nline two"},
      {ActionKind::RunProgram, L"idpageProcess", L"idsoftpath", L"程序路径：line one\r\nline two"},
      {ActionKind::OpenFile, L"idpageFile", nullptr, nullptr},
      {ActionKind::BackupFiles, L"idpageBack", L"idaddbackfile", L"添加文件"},
      {ActionKind::BackupDirectory, L"idpageBack", L"idaddbackfile", L"添加源目录"},
      {ActionKind::OpenUrl, L"idpageUrl", nullptr, nullptr},
      {ActionKind::Shutdown, nullptr, nullptr, nullptr},
  };
  const wchar_t* pages[] = {L"idpageProcess", L"idpageFile", L"idpageUrl", L"idpageBack",
                            L"idpageRemind"};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.action));
    ASSERT_NE(Open(c.action, L"line one\r\nline two")->GetHwnd(), nullptr);
    for (const wchar_t* page : pages)
      EXPECT_EQ(Find(page)->IsVisible(), c.page && std::wstring(c.page) == page) << page;
    if (c.control) {
      EXPECT_EQ(Find(c.control)->GetText(), c.text);
    }
    if (c.page) {
      // The page shown is the one at the top of the content area.
      RECT r = Find(c.page)->ScreenRect();
      EXPECT_EQ(r.top, Find(L"idcontent")->ScreenRect().top);
      EXPECT_EQ(r.bottom - r.top, 440);
    }
    RECT window;
    GetWindowRect(dialog_->GetHwnd(), &window);
    EXPECT_EQ(window.right - window.left, 460);
    EXPECT_EQ(window.bottom - window.top, 552);
  }
}

TEST_F(SelectObjDlgTest, RunCentresTheDialogWithItsOwnerDisabledAndEscapeCancels) {
  // Hidden: Wine without a window manager takes seconds to hide an activated window.
  HWND owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 100, 80, 800, 700,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  g_run = SeenRun();
  g_run.owner = owner;
  task_.action = ActionKind::Remind;
  task_.name = L"标题";
  SetTimer(nullptr, 0, 10, &LookAtRun);
  UINT_PTR guard = SetTimer(nullptr, 0, 20000, &CloseEverything);
  EXPECT_EQ(SelectObjDlg::Run(owner, &task_), 0);
  KillTimer(nullptr, guard);
  EXPECT_EQ(g_run.title, L"标题");
  EXPECT_FALSE(g_run.ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  // Without a visible owner the dialog is centred on the work area.
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(g_run.window.left, work.left + (work.right - work.left - 460) / 2);
  EXPECT_EQ(g_run.window.top, work.top + (work.bottom - work.top - 552) / 2);
  EXPECT_EQ(task_.name, L"标题");
  DestroyWindow(owner);
}

TEST_F(SelectObjDlgTest, TheSameAddressAddedTwiceIsStoredTwice) {
  Open(ActionKind::OpenUrl);
  HWND hwnd = dialog_->GetHwnd();
  TypeInto(hwnd, Find(L"edit_url"), L"http://127.0.0.1/a");
  PostClick(hwnd, Find(L"idaddUrl"));
  PostClick(hwnd, Find(L"idaddUrl"));
  PostClick(hwnd, Find(L"idok"));
  EXPECT_EQ(RunModal(), 1);
  EXPECT_EQ(task_.param1, L"http://127.0.0.1/a|http://127.0.0.1/a");
  EXPECT_EQ(g_seen.count, 0);
}

TEST_F(SelectObjDlgTest, ASeparatorTypedInsideAnAddressKeepsItOneAddress) {
  Open(ActionKind::OpenUrl, L"https://a.example/");
  HWND hwnd = dialog_->GetHwnd();
  TypeInto(hwnd, Find(L"edit_url"), L"https://x/?q=a|b");
  PostClick(hwnd, Find(L"idaddUrl"));
  PostClick(hwnd, Find(L"idok"));
  EXPECT_EQ(RunModal(), 1);
  EXPECT_EQ(task_.param1, L"https://a.example/|https://x/?q=a%7Cb");
  EXPECT_EQ(SplitList(task_.param1).size(), 2u);
}

TEST_F(SelectObjDlgTest, ARefusedConfirmKeepsTheDialogOpenAndTheCancelThatFollowsWritesNothing) {
  Open(ActionKind::OpenFile, L"C:\\one.txt|C:\\two.txt");
  UIScrollVertView* list = List(L"idFilelist");
  ASSERT_EQ(list->RowCount(), 2);
  while (list->RowCount() > 0) {
    int before = list->RowCount();
    SendClick(dialog_->GetHwnd(), list->Row(0)->FindById(L"idDeleteFile"));
    ASSERT_EQ(list->RowCount(), before - 1);
  }
  HWND hwnd = dialog_->GetHwnd();
  PostClick(hwnd, Find(L"idok"));
  // Only the cancel that the box's answer posts ends the run.
  EXPECT_EQ(RunModal(), 0);
  EXPECT_EQ(g_seen.count, 1);
  EXPECT_EQ(g_seen.text, L"请先选择要打开的文件");
  EXPECT_EQ(g_seen.owner, hwnd);
  EXPECT_TRUE(g_seen.dialogRunning);
  EXPECT_EQ(task_.param1, L"C:\\one.txt|C:\\two.txt");
}

TEST_F(SelectObjDlgTest, TwoSeparatorsInARowGiveAnEmptyMiddleRow) {
  Open(ActionKind::BackupFiles, L"C:\\a.txt||C:\\b.txt");
  UIScrollVertView* list = List(L"idbacklist");
  ASSERT_EQ(list->RowCount(), 3);
  const wchar_t* expected[] = {L"C:\\a.txt", L"", L"C:\\b.txt"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list->Row(i)->GetAttribute(L"path"), expected[i]);
    EXPECT_EQ(list->Row(i)->GetChildren().front()->GetText(), expected[i]);
    EXPECT_EQ(list->Row(i)->GetHeight(), 30);
  }
  EXPECT_EQ(SelectObjDlg::JoinList(list), L"C:\\a.txt||C:\\b.txt");
}

TEST_F(SelectObjDlgTest, CloseProgramListsEachRunningExecutableOnceWithoutParameters) {
  const std::wstring helper = GetModuleDirectory() + L"\\sys_helper.exe";
  const std::wstring eventName = L"Local\\quelm-selectobj-" + NewGuidString();
  ScopedHandle stop(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
  ScopedHandle copies[] = {StartProcess(helper, L"wait " + eventName),
                           StartProcess(helper, L"wait " + eventName)};
  ASSERT_TRUE(copies[0].valid() && copies[1].valid());
  std::wstring helperPath;  // as the system spells it
  ASSERT_TRUE(PumpUntil([&] {
    int seen = 0;
    for (const RunningProcess& process : ListProcesses()) {
      if (process.pid == GetProcessId(copies[0].get()) ||
          process.pid == GetProcessId(copies[1].get())) {
        helperPath = process.path;
        ++seen;
      }
    }
    return seen == 2;
  }));

  Open(ActionKind::CloseProgram);
  EXPECT_FALSE(Find(L"idParam")->IsVisible());
  EXPECT_EQ(Find(L"idlist")->GetRect().top, 60);  // moved up into the parameter row's place
  UIScrollVertView* list = List(L"idlist");
  int helperRow = -1;
  std::wstring previous;
  for (int i = 0; i < list->RowCount(); ++i) {
    auto* row = dynamic_cast<UISoftListItem*>(list->Row(i));
    ASSERT_TRUE(row && row->entry());
    EXPECT_LT(previous, row->entry()->path) << "sorted, no repeats";
    previous = row->entry()->path;
    if (row->entry()->path == helperPath) {
      EXPECT_EQ(helperRow, -1) << "listed twice";
      helperRow = i;
    }
  }
  ASSERT_NE(helperRow, -1);

  list->EnsureVisible(helperRow);
  const std::wstring helperName =
      dynamic_cast<UISoftListItem*>(list->Row(helperRow))->entry()->name;
  PostClick(dialog_->GetHwnd(), list->Row(helperRow));
  PostClick(dialog_->GetHwnd(), Find(L"idok"));
  EXPECT_EQ(RunModal(), 1);
  EXPECT_EQ(task_.param1, helperPath);
  EXPECT_EQ(task_.name, helperName);
  EXPECT_EQ(task_.param2, L"");
  SetEvent(stop.get());
  for (ScopedHandle& copy : copies)
    WaitForSingleObject(copy.get(), 10000);
}

}  // namespace
