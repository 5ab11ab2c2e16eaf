#include "ui/controls/UICheckBox.h"

#include "sys/StringFormat.h"
#include "ui/controls/UIControlPaint.h"
#include "ui/core/UIRender.h"
#include "ui/core/UIValueParse.h"

UICheckBox::~UICheckBox() {
  for (int i = 0; i < 4; ++i) {
    ReplaceRender(checkedFrames_[i], nullptr);
    ReplaceRender(uncheckedFrames_[i], nullptr);
  }
}

bool UICheckBox::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"ckimg" || name == L"unckimg") {
    UIRender* frames[4];
    MakeStripPainters(value, false, frames);
    UIRender** target = name == L"ckimg" ? checkedFrames_ : uncheckedFrames_;
    for (int i = 0; i < 4; ++i)
      ReplaceRender(target[i], frames[i]);
    Invalidate();
  } else if (name == L"rcbox") {
    ParseRect(value, &box_);
    Invalidate();
  } else if (name == L"xlabel") {
    xLabel_ = ParseCoordinate(value);
    Invalidate();
  } else if (name == L"ylabel") {
    yLabel_ = ParseCoordinate(value);
    Invalidate();
  } else if (name == L"check") {
    SetChecked(ParseBool(value));
  } else {
    return UIButton::ApplyAttribute(name, value);
  }
  return true;
}

void UICheckBox::SetChecked(bool checked) {
  if (checked_ == checked)
    return;
  checked_ = checked;
  Invalidate();
}

void UICheckBox::OnClick() {
  checked_ = !checked_;
  OnCheckChanged(checked_);
  FireEvent("checkchanged", 0, checked_ ? 1 : 0);
  Invalidate();
}

void UICheckBox::Paint(Gdiplus::Graphics& graphics) {
  UIControl::Paint(graphics);
  UIRender* const* frames = checked_ ? checkedFrames_ : uncheckedFrames_;
  UIRender* frame = frames[StateIndex(ControlRenderState(this))];
  if (!frame)
    frame = frames[0];
  int boxWidth = box_.right - box_.left;
  int boxHeight = box_.bottom - box_.top;
  if (frame && boxWidth > 0 && boxHeight > 0) {
    int y = (GetHeight() - boxHeight) / 2;
    frame->SetRect(RECT{box_.left, y, box_.left + boxWidth, y + boxHeight});
    frame->Draw(this, graphics);
  }
  RECT text = {xLabel_, yLabel_, GetWidth(), GetHeight() + yLabel_};
  if (text.right < text.left)
    text.right = text.left;
  PaintTextIn(graphics, text);
}

bool UIRadioBox::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name != L"group")
    return UICheckBox::ApplyAttribute(name, value);
  radioGroup_ = value;
  return true;
}

void UIRadioBox::OnClick() {
  if (!checked_)
    UICheckBox::OnClick();
}

void UIRadioBox::OnCheckChanged(bool checked) {
  if (!checked || radioGroup_.empty() || !GetParent())
    return;
  for (UIControl* sibling : std::vector<UIControl*>(GetParent()->GetChildren())) {
    auto* radio = dynamic_cast<UIRadioBox*>(sibling);
    if (!radio || radio == this || !radio->checked_ || radio->radioGroup_ != radioGroup_)
      continue;
    radio->checked_ = false;
    radio->OnCheckChanged(false);
    radio->Invalidate();
  }
}
