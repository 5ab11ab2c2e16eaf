#include "sys/Win32SystemActions.h"

#include <windows.h>

#include <powrprof.h>
#include <shellapi.h>

#include <atomic>

#include "sys/Privileges.h"
#include "sys/Processes.h"
#include "sys/ShellRun.h"

namespace {

Win32SystemActions g_win32Actions;
std::atomic<SystemActions*> g_actions{nullptr};

void MoveMouseBy(LONG dx, LONG dy) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof(input));
}

}  // namespace

bool Win32SystemActions::EnablePrivilege(const std::wstring& name, bool enable) {
  return ::EnablePrivilege(name, enable);
}

bool Win32SystemActions::ExitSession(int kind) {
  return ::ExitSession(kind);
}

void Win32SystemActions::LockWorkStation() {
  ::LockWorkStation();
}

void Win32SystemActions::Suspend() {
  SetSuspendState(FALSE, FALSE, FALSE);
}

void Win32SystemActions::MonitorOff() {
  PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
}

void Win32SystemActions::MonitorOn() {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(FindWindowW(nullptr, nullptr), WM_SYSCOMMAND, SC_MONITORPOWER,
                      static_cast<LPARAM>(-1), SMTO_NORMAL, 1000, &ignored);
  // Input wakes a monitor that ignored the message; down and back leaves the pointer in place.
  Sleep(200);
  MoveMouseBy(0, 1);
  Sleep(40);
  MoveMouseBy(0, -1);
}

void Win32SystemActions::EmptyRecycleBin() {
  SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

LaunchResult Win32SystemActions::ShellRun(const std::wstring& file,
                                          const std::wstring& parameters,
                                          const std::wstring& directory,
                                          bool elevate,
                                          bool hidden) {
  return ::ShellRun(file, parameters, directory, elevate, hidden);
}

LaunchResult Win32SystemActions::ShellOpen(const std::wstring& target) {
  return ::ShellOpen(target);
}

void Win32SystemActions::TerminateProgramByPath(const std::wstring& path) {
  ::TerminateProgramByPath(path);
}

SystemActions& CurrentSystemActions() {
  SystemActions* actions = g_actions.load(std::memory_order_acquire);
  return actions ? *actions : g_win32Actions;
}

SystemActions* SetSystemActions(SystemActions* actions) {
  SystemActions* previous = g_actions.exchange(actions, std::memory_order_acq_rel);
  return previous ? previous : &g_win32Actions;
}
