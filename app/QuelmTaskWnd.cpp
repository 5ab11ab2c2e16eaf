#include "app/QuelmTaskWnd.h"
#include "app/Feedback.h"
#include "app/Identity.h"
#include "app/MakerAddresses.h"
#include "app/UpdateCheck.h"

#include <cstring>
#include <cwchar>

#include "app/MainMenu.h"
#include "app/RunHistoryDlg.h"
#include "app/Startup.h"
#include "pages/PageAdd.h"
#include "pages/PageList.h"
#include "sys/ShellRun.h"
#include "tasks/Settings.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskStore.h"
#include "tasks/WakeScheduler.h"
#include "ui/controls/AppMessage.h"
#include "ui/core/UIControl.h"

namespace {

const wchar_t kProductName[] = L"Quelm定时任务";
constexpr int kWindowIconId = 107;
constexpr int kTrayIconResourceId = 108;

}  // namespace

QuelmTaskWnd::QuelmTaskWnd(TaskManager* manager, WakeScheduler* wake)
    : UIHostWnd(L"xml\\main.xml"), manager_(manager), wake_(wake) {}

QuelmTaskWnd::~QuelmTaskWnd() {
  trayAdded_ = false;
  DeleteTrayIcon();
}

bool QuelmTaskWnd::CreateAndShow(bool hidden) {
  if (!Create(nullptr, WS_POPUP, WS_EX_LAYERED, 0, 0, 200, 200))
    return false;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  CenterWindow();
  if (!hidden) {
    ShowWindow(hwnd_, SW_SHOW);
    // The shell's tray and the window's icons take a while and show nothing in the window.
    UpdateWindow(hwnd_);
  }
  FillTrayIcon();
  DeleteTrayIcon();  // one left behind by an earlier run of the same window would stay twice
  AddTrayIcon();
  HINSTANCE self = GetModuleHandleW(nullptr);
  HICON icon = LoadIconW(self, MAKEINTRESOURCEW(kWindowIconId));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SetWindowTextW(hwnd_, kProductName);
  return true;
}

void QuelmTaskWnd::FillTrayIcon() {
  trayIcon_ = {};
  trayIcon_.cbSize = sizeof(trayIcon_);
  trayIcon_.hWnd = hwnd_;
  trayIcon_.uID = kTrayIconId;
  trayIcon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  trayIcon_.uCallbackMessage = kTrayMessage;
  trayIcon_.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTrayIconResourceId));
  wcsncpy(trayIcon_.szTip, kProductName, sizeof(trayIcon_.szTip) / sizeof(wchar_t) - 1);
  trayIcon_.uVersion = NOTIFYICON_VERSION;
}

void QuelmTaskWnd::DeleteTrayIcon() {
  if (!trayIcon_.hWnd)
    return;
  NOTIFYICONDATAW id = {};
  id.cbSize = sizeof(id);
  id.hWnd = trayIcon_.hWnd;
  id.uID = trayIcon_.uID;
  Shell_NotifyIconW(NIM_DELETE, &id);
}

bool QuelmTaskWnd::AddTrayIcon() {
  if (Shell_NotifyIconW(NIM_ADD, &trayIcon_)) {
    Shell_NotifyIconW(NIM_SETVERSION, &trayIcon_);
    trayAdded_ = true;
    return true;
  }
  // Typically the taskbar is not there yet during log-on.
  GetRoot()->SetTimer(kTrayRetryTimer, 1000);
  return false;
}

void QuelmTaskWnd::ReAddTrayIcon() {
  trayAdded_ = false;
  DeleteTrayIcon();
  GetRoot()->KillTimer(kTrayRetryTimer);
  AddTrayIcon();
}

void QuelmTaskWnd::OnTimer(int index) {
  if (index == kLinkWarningTimer) {
    GetRoot()->KillTimer(kLinkWarningTimer);
    const TaskStore* store = manager_ ? manager_->store() : nullptr;
    if (store)
      ShowAppMessage(hwnd_, L"数据文件夹 " + store->folder() + L" 是一个链接，任务不会被保存。",
                     L"确定", MessageIcon::Error);
    return;
  }
  if (index != kTrayRetryTimer)
    return;
  FillTrayIcon();
  ReAddTrayIcon();
}

void QuelmTaskWnd::OnInitialized() {
  if (manager_)
    manager_->Start();
  // Said once, when the window is up; the tasks stay usable in memory.
  if (manager_ && manager_->store() && manager_->store()->FolderIsLink())
    GetRoot()->SetTimer(kLinkWarningTimer, 1);
  if (wake_)
    wake_->Start();
  pageAdd_ = GetRoot()->FindById(L"pageAdd");
  pageList_ = dynamic_cast<PageList*>(GetRoot()->FindById(L"pageList"));
  // The pages are joined here once they exist: the list page gets the add page, then each is
  // started (the list page observes the manager; its status timer runs while the window is
  // shown).
  PageAdd* add = pageAdd_ && std::strcmp(pageAdd_->GetClassName(), "PageAdd") == 0
                     ? static_cast<PageAdd*>(pageAdd_)
                     : nullptr;
  if (pageList_) {
    pageList_->SetAddPage(add);
    // Still hidden here: the status timer starts when the window is shown.
    pageList_->SetShown(IsWindowVisible(hwnd_) != FALSE);
  }
  if (add)
    add->Start(manager_);
  if (pageList_)
    pageList_->Start(manager_);
  UpdateClient::Get().StartChecking(AppIdentity(), DeviceId(), hwnd_);
}

bool QuelmTaskWnd::HandleMessage(HWND hwnd,
                                 UINT message,
                                 WPARAM wparam,
                                 LPARAM lparam,
                                 LRESULT* result) {
  if (message == WM_NCDESTROY) {
    PostQuitMessage(0);
  } else if (message == WM_DESTROY) {
    pageAdd_ = nullptr;  // the tree goes with this message
    pageList_ = nullptr;
  } else if (message == WM_SHOWWINDOW) {
    // A list nobody sees costs a wake a second for nothing.
    if (pageList_)
      pageList_->SetShown(wparam != FALSE);
  } else if (message == WM_CLOSE) {
    // Alt+F4, the taskbar's "Close window" or another program: ending here would silently
    // stop every scheduled task.
    ShowWindow(hwnd_, SW_HIDE);
    *result = 0;
    return true;
  } else if (message == WM_QUERYENDSESSION) {
    *result = TRUE;
    return true;
  } else if (message == WM_ENDSESSION) {
    if (wparam)
      OnSessionEnd();
    *result = 0;
    return true;
  } else if (message == kTrayMessage) {
    UINT mouse = static_cast<UINT>(lparam);
    if (mouse == WM_RBUTTONUP) {
      Sleep(100);  // lets the shell finish its own click handling before the menu grabs input
      ShowMainMenu(true);
    } else if (mouse == WM_LBUTTONDBLCLK) {
      ShowAndActivate();
    }
    *result = 0;
    return true;
  } else if (message == kShowMessage) {
    ShowAndActivate();
    *result = 0;
    return true;
  } else if (message == WM_POWERBROADCAST || message == WM_TIMECHANGE) {
    // A timer that fell due during sleep is spent, and a new clock or time zone moves the
    // moment. Going to sleep re-arms too: a timer spent in the minute before a task then
    // falls due at the task's second. The default handling still answers the broadcast.
    WakeScheduler* wake = wake_;
    const bool power = message == WM_POWERBROADCAST;
    if (wake && power && (wparam == PBT_APMRESUMEAUTOMATIC || wparam == PBT_APMRESUMESUSPEND))
      wake->OnResumed();
    else if (wake && (!power || wparam == PBT_APMSUSPEND))
      wake->Rearm();
  } else if (message == TaskbarCreatedMessage() && message != 0) {
    ReAddTrayIcon();
    *result = 0;
    return true;
  }
  return UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
}

void QuelmTaskWnd::OnSessionEnd() {
  // Windows may end the process as soon as this returns: no action may start any more, and
  // what only a pending UI job would have written is written now.
  if (manager_) {
    manager_->Stop();
    manager_->Save();
  }
  EndModal(0);
  PostQuitMessage(0);
}

int QuelmTaskWnd::OnEvent(UIEvent& event) {
  if (event.id == L"btnclose") {
    if (event.name == "click")
      ShowWindow(hwnd_, SW_HIDE);
    return 1;
  }
  if (event.id == L"btnmenu") {
    if (event.name == "click")
      ShowMainMenu(false);
    return 1;
  }
  return UIHostWnd::OnEvent(event);
}

void QuelmTaskWnd::ShowAndActivate() {
  if (!hwnd_)
    return;
  ShowWindow(hwnd_, SW_SHOW);
  CenterWindow();
  BringToFront();
}

void QuelmTaskWnd::ShowMainMenu(bool atCursor) {
  POINT at = {};
  if (atCursor) {
    GetCursorPos(&at);
  } else if (UIControl* button = GetRoot()->FindById(L"btnmenu")) {
    RECT r = button->ScreenRect();
    at = {r.left, r.bottom};
  }
  OnMenuCommand(TrackMainMenu(hwnd_, at));
}

void QuelmTaskWnd::OnMenuCommand(int id) {
  switch (static_cast<MenuCommand>(id)) {
    case MenuCommand::kWebSite:
      ShellOpen(kMakerWebSite);
      break;
    case MenuCommand::kCheckUpdate:
      UpdateClient::Get().CheckNow(hwnd_);
      break;
    case MenuCommand::kFeedback:
      ShellOpen(BuildFeedbackUrl());
      break;
    case MenuCommand::kAutostart:
      SetAutostart(!IsAutostartOn());
      break;
    case MenuCommand::kExit:
      EndModal(0);
      PostQuitMessage(0);
      break;
    case MenuCommand::kHide:
      ShowWindow(hwnd_, SW_HIDE);
      break;
    case MenuCommand::kHistory:
      RunHistoryDlg::Show(hwnd_);
      break;
    case MenuCommand::kWake:
      SetWake(!AppSettings().wake);
      if (wake_)
        wake_->SetEnabled(AppSettings().wake);
      break;
    case MenuCommand::kNone:
    default:
      break;
  }
}
