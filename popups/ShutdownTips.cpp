#include "popups/ShutdownTips.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "popups/TaskPopupWindows.h"
#include "sys/StringFormat.h"
#include "sys/SystemActions.h"
#include "tasks/RunHistory.h"
#include "ui/core/UIKeywordMarkup.h"

namespace {

constexpr int kMouseSlack = 10;
constexpr int kCascadeStep = 30;

// The confirmations whose windows exist, in opening order. UI thread only.
std::vector<ShutdownTips*>& OpenConfirmations() {
  static std::vector<ShutdownTips*> open;
  return open;
}

}  // namespace

ShutdownTips::ShutdownTips(const IQuelmTask& task)
    : UIHostWnd(L"xml\\shutdowndlg.xml"), task_(task) {}

ShutdownTips* ShutdownTips::Open(const IQuelmTask& task, HWND owner, TaskManager* postponer) {
  auto* tips = new ShutdownTips(task);
  tips->postponer_ = postponer;
  // Placed while hidden, as CreateCentered does, so that it never shows at a provisional place.
  if (!tips->Create(owner, kDialogStyle & ~WS_VISIBLE, kDialogExStyle | WS_EX_TOPMOST, 0, 0, 200,
                    200)) {
    delete tips;
    return nullptr;
  }
  tips->CenterWindow();
  tips->CascadeOverOthers();
  ShowWindow(tips->GetHwnd(), SW_SHOWNORMAL);
  OpenConfirmations().push_back(tips);
  return tips;
}

void ShutdownTips::CascadeOverOthers() {
  RECT centred;
  GetWindowRect(hwnd_, &centred);
  // The first place, stepping right and down, where no other confirmation stands, so that
  // cancelling the top one never hides that another is still counting.
  POINT at = {centred.left, centred.top};
  for (bool taken = true; taken;) {
    taken = false;
    for (ShutdownTips* other : OpenConfirmations()) {
      RECT r;
      if (GetWindowRect(other->hwnd_, &r) && r.left == at.x && r.top == at.y)
        taken = true;
    }
    if (taken)
      at = {at.x + kCascadeStep, at.y + kCascadeStep};
  }
  SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepWindowInsideWorkArea(hwnd_);
}

void ShutdownTips::OnInitialized() {
  root_.SetTimer(kTimerIndex, 1000);
  UpdateTips();
}

void ShutdownTips::OnTimer(int index) {
  if (index != kTimerIndex || secondsLeft_ < 1)
    return;
  --secondsLeft_;
  UpdateTips();
  if (secondsLeft_ > 0)
    return;
  EndSession();
  StopCounting();
  Close();
}

int ShutdownTips::OnEvent(UIEvent& event) {
  if (event.id == L"idcancel" || event.id == L"btnclose") {
    if (event.name == "click") {
      StopCounting();
      RecordRun(task_, kRunCancelled);
      Close();
    }
    return 1;
  }
  if (event.id == L"idpostpone") {
    if (event.name == "click") {
      StopCounting();
      PostponeTask(postponer_, task_);
      Close();
    }
    return 1;
  }
  if (event.id == L"idok") {
    if (event.name == "click") {
      StopCounting();
      EndSession();
      Close();
    }
    return 1;
  }
  return UIHostWnd::OnEvent(event);
}

bool ShutdownTips::HandleMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                 LRESULT* result) {
  if (message == WM_MOUSEMOVE) {
    const int x = GET_X_LPARAM(lparam), y = GET_Y_LPARAM(lparam);
    if (!mouseSeen_) {
      mouseStart_ = {x, y};
      mouseSeen_ = true;
    } else if ((std::abs(x - mouseStart_.x) > kMouseSlack ||
                std::abs(y - mouseStart_.y) > kMouseSlack) &&
               secondsLeft_ <= kSeconds - 1 && secondsLeft_ > 0) {
      // The user is at the machine: let them decide instead of the clock.
      secondsLeft_ = 0;
      StopCounting();
      UpdateTips();
    }
  }
  return UIHostWnd::HandleMessage(hwnd, message, wparam, lparam, result);
}

void ShutdownTips::OnFinalMessage(HWND hwnd) {
  std::vector<ShutdownTips*>& open = OpenConfirmations();
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
  delete this;
}

void ShutdownTips::UpdateTips() {
  const wchar_t* word = task_.action == ActionKind::Restart ? L"重启" : L"关机";
  std::wstring text = secondsLeft_ < 1 ? WFormat(L"点击\"确定\"执行 {%ls}", word)
                                       : WFormat(L"即将%ls {%d} 秒", word, secondsLeft_);
  if (UIControl* tips = root_.FindById(L"idtips"))
    tips->SetAttribute(L"txt", BuildKeywordMarkup(text, L"16", L"#ff60656f"));
}

void ShutdownTips::EndSession() {
  SystemActions& system = CurrentSystemActions();
  bool ended = false;
  if (task_.action == ActionKind::Restart)
    ended = system.ExitSession(2);
  else if (task_.action == ActionKind::Shutdown)
    ended = system.ExitSession(1);
  else
    return;
  // The system ends the session asynchronously, so there is still time to write the line.
  RecordRun(task_,
            ended ? std::wstring(kRunDone)
                  : FailedResult(task_.action == ActionKind::Restart ? L"无法重启" : L"无法关机"));
}

void ShutdownTips::StopCounting() {
  root_.KillTimer(kTimerIndex);
}
