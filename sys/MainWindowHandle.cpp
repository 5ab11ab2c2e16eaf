#include "sys/MainWindowHandle.h"

namespace {

HWND g_mainWindow = nullptr;

}  // namespace

HWND MainWindowHandle() {
  return g_mainWindow;
}

void SetMainWindowHandle(HWND hwnd) {
  g_mainWindow = hwnd;
}
