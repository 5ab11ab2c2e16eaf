// winsock2.h must come before windows.h.
#include <winsock2.h>

#include <windows.h>

#include <curl/curl.h>

#include "sys/HandOff.h"
#include "tasks/AppContext.h"
#include "tasks/Settings.h"
#include "tasks/TaskManager.h"
#include "tasks/TaskStore.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  curl_global_init(CURL_GLOBAL_ALL);
  LoadSettings();
  CreateHandOffWindow();
  {
    // The one task manager and the settings, for the main window and its pages; the main
    // window starts the manager while it builds itself inside this span.
    TaskStore store(DataFolder() + L"\\task.xml");
    TaskManager manager(&store);
    ScopedAppContext app({&manager, &AppSettings()});
  }
  DestroyHandOffWindow();
  curl_global_cleanup();
  return 0;
}
