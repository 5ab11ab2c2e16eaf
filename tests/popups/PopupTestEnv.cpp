#include "tests/popups/PopupTestEnv.h"

#include "sys/Files.h"
#include "sys/HandOff.h"
#include "ui/controls/UIBasicControls.h"
#include "ui/core/UIFont.h"

PopupTestEnv::PopupTestEnv() : loader_(new ResLoaderMgr) {
  std::wstring tests = GetModuleDirectory();
  pack_ = ReadFileBytes(tests.substr(0, tests.find_last_of(L'\\')) + L"\\skin\\skin.pk");
  loaded_ = !pack_.empty() && loader_->LoadPack(pack_.data(), pack_.size());
  SetResLoader(loader_);
  RegisterBasicControls();
  CreateHandOffWindow();
}

PopupTestEnv::~PopupTestEnv() {
  for (UIHostWnd* host : VisibleHostWindows())
    host->Close();
  SetResLoader(nullptr);
  delete loader_;
  ReleaseDefaultUIFont();
}

std::vector<UIHostWnd*> VisibleHostWindows() {
  std::vector<UIHostWnd*> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto* imp = static_cast<UIWindowImp*>(GetPropW(hwnd, L"skinobj"));
        if (auto* host = dynamic_cast<UIHostWnd*>(imp); host && IsWindowVisible(hwnd))
          reinterpret_cast<std::vector<UIHostWnd*>*>(data)->push_back(host);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void ClickControl(UIHostWnd* host, const std::wstring& id) {
  UIControl* control = host->GetRoot()->FindById(id);
  if (!control)
    return;
  RECT r = control->WindowRect();
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  HWND hwnd = host->GetHwnd();
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, at);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  if (IsWindow(hwnd))
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

void TickRootTimer(UIHostWnd* host, int index) {
  SendMessageW(host->GetHwnd(), WM_TIMER, UIControl::TimerId(host->GetRoot()->GetHandle(), index),
               0);
}

std::wstring ControlText(UIHostWnd* host, const std::wstring& id) {
  UIControl* control = host->GetRoot()->FindById(id);
  return control ? control->GetText() : std::wstring();
}

void RunPostedJobs() {
  MSG msg;
  while (PeekMessageW(&msg, HandOffWindow(), kRunJobMessage, kRunJobMessage, PM_REMOVE))
    DispatchMessageW(&msg);
}
