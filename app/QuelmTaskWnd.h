#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "ui/core/UIHostWnd.h"

class PageList;
class TaskManager;
class WakeScheduler;

// The program's main window: the add page on the left, the task list on the right, a title bar
// with the menu and close buttons, the notification-area icon and the main menu. UI thread
// only; one per process.
//
// Closing (the close button, Alt+F4, the taskbar, another program's WM_CLOSE) only hides it;
// the program ends through the menu's exit entry, which ends RunModal, or with the Windows
// session, which first stops the scheduler and saves the task list. While it is created the
// task manager it was given is started and handed to the pages (without one the pages show an
// empty form and list), and then the wake scheduler, which the window re-arms whenever the
// computer goes to sleep or resumes and whenever the clock changes. The list's status timer
// runs only while the window is shown. The tray icon is retried every second until the shell
// accepts it and is put back when the shell restarts; the destructor removes it. The one failure
// reported to the user is a task file whose folder is a link (so nothing is saved): once, in the
// error box, right after the window is created.
class QuelmTaskWnd : public UIHostWnd {
 public:
  static constexpr UINT kShowMessage = 0x8001;  // from a second instance
  static constexpr UINT kTrayMessage = 0x8066;
  static constexpr int kTrayRetryTimer = 10;
  static constexpr int kLinkWarningTimer = 11;
  static constexpr UINT kTrayIconId = 0;

  // Menu command ids of "xml\mainmenu.xml".
  enum class MenuCommand {
    kNone = 0,
    kWebSite = 1,
    kCheckUpdate = 2,
    kFeedback = 3,
    kAutostart = 4,
    kExit = 5,
    kHide = 6,
    kHistory = 7,
    kWake = 8,
  };

  // `manager` and `wake` are borrowed and must outlive the window; null for a window without
  // tasks or without waking.
  explicit QuelmTaskWnd(TaskManager* manager = nullptr, WakeScheduler* wake = nullptr);
  ~QuelmTaskWnd() override;

  // Creates the window (hidden when `hidden`, as with "/auto"), centres it and adds the tray
  // icon. False when the native window could not be made.
  bool CreateAndShow(bool hidden);
  // Opens the main menu at the cursor, or under "btnmenu", and acts on the chosen entry.
  void ShowMainMenu(bool atCursor);
  void ShowAndActivate();
  // Asks the shell for the icon; on refusal starts the one-second retry timer.
  bool AddTrayIcon();
  // Runs the action of a menu entry; unknown ids and kNone do nothing.
  void OnMenuCommand(int id);

  bool IsTrayIconAdded() const { return trayAdded_; }
  const NOTIFYICONDATAW& TrayIconForTesting() const { return trayIcon_; }

  // UIWindowImp:
  const wchar_t* GetWindowClassName() const override { return L"QuelmTask"; }
  bool HandleMessage(HWND hwnd,
                     UINT message,
                     WPARAM wparam,
                     LPARAM lparam,
                     LRESULT* result) override;

  // IUIContainer:
  void OnInitialized() override;
  void OnTimer(int index) override;
  int OnEvent(UIEvent& event) override;

 private:
  void FillTrayIcon();
  void DeleteTrayIcon();
  // Deletes any icon of ours and adds it again; restarts the retry timer on refusal.
  void ReAddTrayIcon();

  // The Windows session ends: no action may start any more and the list is written as it is.
  void OnSessionEnd();

  TaskManager* manager_;
  WakeScheduler* wake_;
  NOTIFYICONDATAW trayIcon_ = {};
  bool trayAdded_ = false;
  // Found by id after the layout is built; owned by the control tree.
  UIControl* pageAdd_ = nullptr;
  PageList* pageList_ = nullptr;
};
