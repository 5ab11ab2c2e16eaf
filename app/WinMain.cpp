#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <string>

#include "app/AppControls.h"
#include "app/Heartbeat.h"
#include "app/NetworkLibrary.h"
#include "app/QuelmTaskWnd.h"
#include "app/Startup.h"
#include "app/UpdateCheck.h"
#include "popups/TaskPopupWindows.h"
#include "sys/GdiplusSession.h"
#include "sys/HandOff.h"
#include "sys/MainWindowHandle.h"
#include "sys/OsVersion.h"
#include "sys/ProcessSetup.h"
#include "sys/ShellRun.h"
#include "tasks/RunHistory.h"
#include "tasks/Settings.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskPopups.h"
#include "tasks/TaskStore.h"
#include "tasks/WakeScheduler.h"
#include "ui/controls/UIBasicControls.h"
#include "ui/controls/UIListControls.h"
#include "ui/core/ResLoaderMgr.h"
#include "ui/core/UIFont.h"
#include "ui/core/UIStyleTable.h"

namespace {

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

void PrepareProcess() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  if (WantsDpiAwareness(ReadAppliedDpi()))
    DeclareDpiAware();
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // Fails harmlessly when something in the process has set it already.
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                       RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
}

// From the GDI+ start to the main loop's end. Everything that holds GDI+ objects (the image
// cache, the default font, the style table) is released here, before GDI+ ends.
void RunApplication(bool hidden) {
  GdiplusSession gdiplus;
  {
    ResLoaderMgr loader;
    SetResLoader(&loader);
    loader.LoadModulePack(GetModuleHandleW(nullptr));
    // What the main window's first paint shows, in the order it is painted.
    loader.Prefetch({L"img\\ico24.png", L"img\\btn\\btn_menu.png", L"img\\btn\\btn_close.png",
                     L"img\\btn\\cb_back.png", L"img\\btn\\btn_arrow.png", L"img\\btn\\btnb.png",
                     L"img\\btn\\btn_checkbox2.png", L"img\\btn\\btn_switch2.png",
                     L"img\\btn\\btn_edit.png", L"img\\btn\\btn_delete.png",
                     L"img\\btn\\btnplay.png"});
    LoadStyleTable(loader.ReadEntry(L"cssData.json"));
    AllowShellMessages();
    StartHeartbeat();

    TaskStore store(DataFolder() + L"\\task.xml");
    // Installed before the scheduler starts and removed after the manager has stopped it.
    RunHistory history(DataFolder() + L"\\history.log");
    ScopedRunHistory installHistory(&history);
    TaskManager manager(&store);
    WakeScheduler wake(&manager);
    wake.SetEnabled(AppSettings().wake);
    TaskPopupWindows popups(&MainWindowHandle, &manager);
    SetTaskPopups(&popups);
    {
      auto window = std::make_unique<QuelmTaskWnd>(&manager, &wake);
      TaskbarCreatedMessage();
      if (window->CreateAndShow(hidden)) {
        SetMainWindowHandle(window->GetHwnd());
        window->RunModal(nullptr);
      }
      SendExitReport();
      window.reset();
      SetMainWindowHandle(nullptr);
    }
    SetTaskPopups(nullptr);
    ClearStyleTable();
    ReleaseDefaultUIFont();
    SetResLoader(nullptr);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before any delay-loaded library is bound: none may come from the program's folder.
  LimitLibrarySearchToSystemFolder();
  const std::wstring commandLine = GetCommandLineW();

  ElevationStep elevation =
      DecideElevation(commandLine, GetNtVersion().major, IsUserAdministrator());
  if (!elevation.proceed) {
    if (elevation.relaunch)
      ShellRun(ModulePath(), elevation.parameters, std::wstring(), true, false);
    return 0;
  }

  if (!ClaimSingleInstance()) {
    PostToWindowClass(L"QuelmTask", QuelmTaskWnd::kShowMessage);
    return 0;
  }

  PrepareProcess();
  LoadSettings();
  StartNetworkLibrary();
  TaskbarCreatedMessage();  // registered before the filter admits it
  AllowWindowMessage(0x8001);
  AllowWindowMessage(0x8069);
  if (UpdateClient::Get().MustExitAfterStartUp(DataFolder()))
    return 0;
  CreateHandOffWindow();
  RegisterBasicControls();
  RegisterListControls();
  RegisterAppControls();

  RunApplication(HasSwitch(commandLine, L"/auto"));
  // The scheduler thread is not joined; it ends with the process.
  return 0;
}
