#include "sys/UserLaunch.h"

// shellapi.h renames ShellExecute to ShellExecuteW; it must do so for IShellDispatch2's method
// as well, so it comes before shldisp.h.
#include <shellapi.h>

#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <vector>

#include "sys/DebugLog.h"
#include "sys/Handles.h"
#include "sys/UserToken.h"

using Microsoft::WRL::ComPtr;

namespace {

// A VARIANT holding a text (VT_EMPTY for an empty one) or a number; cleared with the object.
class ScopedVariant {
 public:
  explicit ScopedVariant(const std::wstring& text) {
    VariantInit(&value_);
    if (text.empty())
      return;
    value_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (value_.bstrVal)
      value_.vt = VT_BSTR;
  }
  explicit ScopedVariant(int number) {
    VariantInit(&value_);
    value_.vt = VT_I4;
    value_.lVal = number;
  }
  ~ScopedVariant() { VariantClear(&value_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;

  VARIANT& get() { return value_; }

 private:
  VARIANT value_;
};

class ScopedBstr {
 public:
  explicit ScopedBstr(const std::wstring& text)
      : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~ScopedBstr() { SysFreeString(value_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;

  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

// The shell object of the desktop's own folder view, which lives in the (unelevated) shell
// process: what it executes runs with the shell's rights. Null when there is no desktop shell.
ComPtr<IShellDispatch2> DesktopShellDispatch() {
  ComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                              IID_PPV_ARGS(&windows))))
    return nullptr;
  ScopedVariant location(0);  // CSIDL_DESKTOP
  ScopedVariant root(std::wstring{});
  LONG hwnd = 0;
  ComPtr<IDispatch> desktop;
  if (windows->FindWindowSW(&location.get(), &root.get(), SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH,
                            &desktop) != S_OK ||
      !desktop)
    return nullptr;
  ComPtr<IServiceProvider> services;
  ComPtr<IShellBrowser> browser;
  ComPtr<IShellView> view;
  ComPtr<IDispatch> background;
  ComPtr<IShellFolderViewDual> folderView;
  ComPtr<IDispatch> application;
  ComPtr<IShellDispatch2> shell;
  if (FAILED(desktop.As(&services)) ||
      FAILED(services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))) ||
      FAILED(browser->QueryActiveShellView(&view)) ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) ||
      FAILED(background.As(&folderView)) || FAILED(folderView->get_Application(&application)) ||
      !application || FAILED(application.As(&shell)))
    return nullptr;
  return shell;
}

LaunchResult ExecuteThrough(IShellDispatch2* shell, const LaunchRequest& request) {
  ScopedBstr file(request.file);
  ScopedVariant parameters(request.parameters);
  ScopedVariant directory(request.directory);
  ScopedVariant verb(std::wstring(L"open"));
  ScopedVariant show(request.hidden ? SW_HIDE : SW_SHOWNORMAL);
  // The window the shell opens may come to the front, as it would had we opened it.
  DWORD shellPid = 0;
  if (GetWindowThreadProcessId(GetShellWindow(), &shellPid) && shellPid)
    AllowSetForegroundWindow(shellPid);
  // S_FALSE is the shell's own ShellExecute refusing.
  const HRESULT hr =
      shell->ShellExecute(file.get(), parameters.get(), directory.get(), verb.get(), show.get());
  return hr == S_OK ? LaunchResult::Started : LaunchResult::Failed;
}

}  // namespace

LaunchRoute ChooseLaunchRoute(bool elevated, bool shellFound, bool shellTokenFound) {
  if (!elevated)
    return LaunchRoute::Direct;
  if (shellFound)
    return LaunchRoute::DesktopShell;
  return shellTokenFound ? LaunchRoute::ShellToken : LaunchRoute::Skip;
}

LaunchResult LaunchAsUser(const LaunchRequest& request) {
  if (request.file.empty())
    return LaunchResult::Failed;
  const bool elevated = IsProcessElevated();
  ScopedComInit com;  // outlives the shell object below
  ComPtr<IShellDispatch2> shell;
  ScopedHandle token;
  if (elevated) {
    shell = DesktopShellDispatch();
    if (!shell)
      token = OpenShellToken();
  }
  switch (ChooseLaunchRoute(elevated, shell != nullptr, token.valid())) {
    case LaunchRoute::Direct:
      return LaunchDirect(request, L"open");
    case LaunchRoute::DesktopShell:
      return ExecuteThrough(shell.Get(), request);
    case LaunchRoute::ShellToken:
      return LaunchWithToken(token.get(), request);
    case LaunchRoute::Skip:
      break;
  }
  return SkipLaunch(request);
}

LaunchResult LaunchDirect(const LaunchRequest& request, const wchar_t* verb) {
  // An empty file name would let the shell open the working folder instead of failing.
  if (request.file.empty())
    return LaunchResult::Failed;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = verb;
  info.lpFile = request.file.c_str();
  info.lpParameters = request.parameters.empty() ? nullptr : request.parameters.c_str();
  info.lpDirectory = request.directory.empty() ? nullptr : request.directory.c_str();
  info.nShow = request.hidden ? SW_HIDE : SW_SHOWNORMAL;
  const bool accepted = ShellExecuteExW(&info) != FALSE;
  ScopedHandle process(info.hProcess);
  return accepted ? LaunchResult::Started : LaunchResult::Failed;
}

LaunchResult LaunchThroughDesktopShell(const LaunchRequest& request) {
  if (request.file.empty())
    return LaunchResult::Failed;
  ScopedComInit com;
  ComPtr<IShellDispatch2> shell = DesktopShellDispatch();
  return shell ? ExecuteThrough(shell.Get(), request) : LaunchResult::Failed;
}

LaunchResult LaunchWithToken(HANDLE token, const LaunchRequest& request) {
  const std::wstring rundll = SystemPath(L"rundll32.exe");
  if (!token || request.file.empty() || rundll.empty())
    return LaunchResult::Failed;
  std::wstring commandLine =
      L"\"" + rundll + L"\" shell32.dll,ShellExec_RunDLL \"" + request.file + L"\"";
  if (!request.parameters.empty())
    commandLine += L" " + request.parameters;
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  // rundll32 hands its show state to ShellExec_RunDLL, which shows the started program so.
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(request.hidden ? SW_HIDE : SW_SHOWNORMAL);
  PROCESS_INFORMATION started = {};
  const BOOL ok = CreateProcessWithTokenW(
      token, 0, rundll.c_str(), writable.data(), 0, nullptr,
      request.directory.empty() ? nullptr : request.directory.c_str(), &startup, &started);
  ScopedHandle process(started.hProcess);
  ScopedHandle thread(started.hThread);
  return ok ? LaunchResult::Started : LaunchResult::Failed;
}

LaunchResult SkipLaunch(const LaunchRequest& request) {
  DebugLog(L"not started (elevated, and no shell to start it as the user): " + request.file);
  return LaunchResult::Skipped;
}
