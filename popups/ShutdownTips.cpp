#include "popups/ShutdownTips.h"

#include <windowsx.h>

#include <cstdlib>

#include "sys/StringFormat.h"
#include "sys/SystemActions.h"
#include "ui/core/UIKeywordMarkup.h"

namespace {

constexpr int kMouseSlack = 10;

}  // namespace

ShutdownTips::ShutdownTips(const IQuelmTask& task)
    : UIHostWnd(L"xml\\shutdowndlg.xml"), task_(task) {}

ShutdownTips* ShutdownTips::Open(const IQuelmTask& task, HWND owner) {
  auto* tips = new ShutdownTips(task);
  if (!tips->CreateCentered(owner)) {
    delete tips;
    return nullptr;
  }
  return tips;
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
  if (task_.action == ActionKind::Restart)
    system.ExitSession(2);
  else if (task_.action == ActionKind::Shutdown)
    system.ExitSession(1);
}

void ShutdownTips::StopCounting() {
  root_.KillTimer(kTimerIndex);
}
