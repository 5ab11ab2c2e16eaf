#include "sys/HandOff.h"

#include <atomic>

namespace {

const wchar_t kClassName[] = L"ThreadSyn#Wnd";
const wchar_t kProperty[] = L"obj";

// Written on the UI thread while no worker runs, read from any thread afterwards.
std::atomic<HWND> g_handOffWnd{nullptr};

}  // namespace

LRESULT CALLBACK HandOffWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kRunJobMessage && GetPropW(hwnd, kProperty)) {
    ThreadTask* job = reinterpret_cast<ThreadTask*>(lparam);
    if (job) {
      job->Run();
      if (!job->keep)
        delete job;
    }
    return 1;
  }
  if (message == WM_NCDESTROY)
    RemovePropW(hwnd, kProperty);
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

HWND CreateHandOffWindow() {
  if (HWND existing = g_handOffWnd.load())
    return existing;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = HandOffWndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when a previous window registered it
  HWND hwnd = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              instance, nullptr);
  if (!hwnd)
    return nullptr;
  SetPropW(hwnd, kProperty, hwnd);
  g_handOffWnd.store(hwnd);
  return hwnd;
}

void DestroyHandOffWindow() {
  HWND hwnd = g_handOffWnd.exchange(nullptr);
  if (hwnd)
    DestroyWindow(hwnd);
}

HWND HandOffWindow() {
  return g_handOffWnd.load();
}

bool PostToUiThread(std::unique_ptr<ThreadTask> job) {
  HWND hwnd = g_handOffWnd.load();
  if (!hwnd || !job)
    return false;
  if (!PostMessageW(hwnd, kRunJobMessage, 0, reinterpret_cast<LPARAM>(job.get())))
    return false;
  job.release();  // the UI thread owns it now
  return true;
}

bool SendToUiThread(std::unique_ptr<ThreadTask> job) {
  HWND hwnd = g_handOffWnd.load();
  if (!hwnd || !job)
    return false;
  ThreadTask* raw = job.release();
  if (SendMessageW(hwnd, kRunJobMessage, 0, reinterpret_cast<LPARAM>(raw)) == 1)
    return true;
  // The window went away before handling the message, so the job never ran.
  if (!raw->keep)
    delete raw;
  return false;
}
