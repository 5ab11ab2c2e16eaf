#include "ui/controls/UISwitch.h"

#include "ui/controls/UIControlPaint.h"
#include "ui/core/UIRender.h"

UISwitch::~UISwitch() {
  for (UIRender*& p : onPainters_)
    ReplaceRender(p, nullptr);
}

bool UISwitch::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  static const wchar_t* const kStateNames[4] = {L"bkn2", L"bkh2", L"bkp2", L"bkd2"};
  bool known = false;
  for (int i = 0; i < 4; ++i) {
    if (name == kStateNames[i]) {
      ReplaceRender(onPainters_[i], CreateRender(value));
      known = true;
    }
  }
  if (name == L"btn2") {
    UIRender* frames[4];
    MakeStripPainters(value, false, frames);
    for (int i = 0; i < 4; ++i)
      ReplaceRender(onPainters_[i], frames[i]);
    known = true;
  }
  if (!known)
    return UIButton::ApplyAttribute(name, value);
  Invalidate();
  return true;
}

UIRender* UISwitch::GetStateImage(int index) {
  if (!on_)
    return UIButton::GetStateImage(index);
  UIRender* painter = index >= 0 && index < 4 ? onPainters_[index] : nullptr;
  return painter ? painter : onPainters_[0];
}

void UISwitch::SetOn(bool on) {
  if (on_ == on)
    return;
  on_ = on;
  Invalidate();
}

void UISwitch::OnClick() {
  on_ = !on_;
  Invalidate();
  UIRef<UIControl> keep(this);
  FireEvent("checkchanged", 0, on_ ? 1 : 0);
  FireEvent("click");
}
