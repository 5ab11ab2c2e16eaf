#include "sys/HandOff.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace {

const wchar_t kClassName[] = L"ThreadSyn#Wnd";
const wchar_t kProperty[] = L"obj";

// Written on the UI thread while no worker runs, read from any thread afterwards.
std::atomic<HWND> g_handOffWnd{nullptr};

// Jobs handed over and not yet run. Any process may post the job message to our window, so
// only a pointer found here is ever run; each is removed before it runs.
std::mutex g_outstandingMutex;
std::unordered_set<ThreadTask*> g_outstanding;

void AddOutstanding(ThreadTask* job) {
  std::lock_guard<std::mutex> hold(g_outstandingMutex);
  g_outstanding.insert(job);
}

// True when `job` was outstanding: the caller owns it now.
bool TakeOutstanding(ThreadTask* job) {
  std::lock_guard<std::mutex> hold(g_outstandingMutex);
  return g_outstanding.erase(job) != 0;
}

// Destroys, without running them, the jobs still queued when the window goes away.
void DropOutstanding() {
  std::vector<std::unique_ptr<ThreadTask>> dropped;
  {
    std::lock_guard<std::mutex> hold(g_outstandingMutex);
    for (ThreadTask* job : g_outstanding)
      dropped.emplace_back(job);
    g_outstanding.clear();
  }
}

}  // namespace

LRESULT CALLBACK HandOffWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kRunJobMessage && GetPropW(hwnd, kProperty)) {
    ThreadTask* job = reinterpret_cast<ThreadTask*>(lparam);
    if (!job || !TakeOutstanding(job))
      return 0;  // not handed over by this process: ignored
    job->Run();
    if (!job->keep)
      delete job;
    return 1;
  }
  if (message == WM_NCDESTROY && GetPropW(hwnd, kProperty)) {
    RemovePropW(hwnd, kProperty);
    if (hwnd == g_handOffWnd.load() || !g_handOffWnd.load())
      DropOutstanding();
  }
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
  ThreadTask* raw = job.release();
  AddOutstanding(raw);
  if (PostMessageW(hwnd, kRunJobMessage, 0, reinterpret_cast<LPARAM>(raw)))
    return true;  // the UI thread owns it now
  // Not queued; unless the window's destruction already dropped it, it is ours again.
  if (TakeOutstanding(raw))
    delete raw;
  return false;
}

bool SendToUiThread(std::unique_ptr<ThreadTask> job) {
  HWND hwnd = g_handOffWnd.load();
  if (!hwnd || !job)
    return false;
  ThreadTask* raw = job.release();
  AddOutstanding(raw);
  if (SendMessageW(hwnd, kRunJobMessage, 0, reinterpret_cast<LPARAM>(raw)) == 1)
    return true;
  // The window went away before handling the message, so the job never ran.
  if (TakeOutstanding(raw))
    delete raw;
  return false;
}
