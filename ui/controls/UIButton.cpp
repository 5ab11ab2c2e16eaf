#include "ui/controls/UIButton.h"

#include <cstring>
#include <typeinfo>

#include "ui/controls/UIControlPaint.h"
#include "ui/core/UIRender.h"
#include "ui/core/UIValueParse.h"

namespace {

int StateIndexOf(const UIControl* control) {
  return StateIndex(ControlRenderState(control));
}

UIControl* TreeRoot(UIControl* control) {
  while (control->GetParent())
    control = control->GetParent();
  return control;
}

}  // namespace

UIButton::~UIButton() {
  for (UIRender*& p : painters_)
    ReplaceRender(p, nullptr);
}

bool UIButton::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  static const wchar_t* const kStateNames[4] = {L"bkn", L"bkh", L"bkp", L"bkd"};
  for (int i = 0; i < 4; ++i) {
    if (name == kStateNames[i]) {
      ReplaceRender(painters_[i], CreateRender(value));
      Invalidate();
      return true;
    }
  }
  if (name == L"btn" || name == L"vbtn") {
    UIRender* frames[4];
    MakeStripPainters(value, name == L"vbtn", frames);
    for (int i = 0; i < 4; ++i)
      ReplaceRender(painters_[i], frames[i]);
    Invalidate();
  } else if (name == L"backrect") {
    hasBackRect_ = ParseRect(value, &backRect_);
    Invalidate();
  } else if (name == L"group") {
    group_ = value;
  } else if (name == L"page") {
    page_ = value;
  } else {
    return UILabel::ApplyAttribute(name, value);
  }
  return true;
}

UIRender* UIButton::GetStateImage(int index) {
  return index >= 0 && index < 4 ? painters_[index] : nullptr;
}

void UIButton::PaintStateImage(Gdiplus::Graphics& graphics) {
  UIRender* painter = GetStateImage(StateIndexOf(this));
  if (!painter)
    painter = GetStateImage(0);
  if (!painter)
    return;
  if (hasBackRect_)
    painter->SetRect(backRect_);
  painter->Draw(this, graphics);
}

void UIButton::PaintText(Gdiplus::Graphics& graphics) {
  PaintTextIn(graphics, MarginRect());
}

bool UIButton::PaintStaysInside() const {
  if ((typeid(*this) != typeid(UIButton) && typeid(*this) != typeid(UILink)) || !LabelStaysInside())
    return false;
  if (hasBackRect_ && (backRect_.left < 0 || backRect_.top < 0 || backRect_.right > GetWidth() ||
                       backRect_.bottom > GetHeight()))
    return false;
  for (const UIRender* p : painters_) {
    if (p && !p->StaysInside(this))
      return false;
  }
  return true;
}

void UIButton::Paint(Gdiplus::Graphics& graphics) {
  UIControl::Paint(graphics);
  PaintStateImage(graphics);
  PaintText(graphics);
}

void UIButton::OnMessage(UIMessage& message) {
  IUIContainer* host = GetHost();
  switch (message.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (host) {
        if (IsFocusable())
          host->SetFocusControl(GetHandle());
        host->SetCapture(GetHandle());
      }
      SetState(GetState() | kStatePressed);
      Invalidate();
      return;
    case WM_LBUTTONUP: {
      bool inside = false;
      if (host && host->GetCaptureHandle() == GetHandle()) {
        inside = HitTest(POINT{message.x, message.y});
        host->ReleaseCapture();
      }
      SetState(GetState() & ~kStatePressed);
      if (RedrawOnHover())
        Invalidate();
      if (inside) {
        UIRef<UIControl> keep(this);  // a click handler may remove the button
        OnClick();
      }
      return;
    }
    case WM_CAPTURECHANGED:
      SetState(GetState() & ~kStatePressed);
      Invalidate();
      return;
    default:
      UILabel::OnMessage(message);
  }
}

void UIButton::OnClick() {
  if (!group_.empty() && GetParent()) {
    UIControl* root = TreeRoot(this);
    for (UIControl* sibling : std::vector<UIControl*>(GetParent()->GetChildren())) {
      if (std::strcmp(sibling->GetClassName(), "UIButton") != 0)
        continue;
      auto* button = static_cast<UIButton*>(sibling);
      if (button->group_ != group_)
        continue;
      bool mine = button == this;
      if (button->IsSelected() != mine) {
        button->SetAttribute(L"select", mine ? L"true" : L"false");
        button->Invalidate();
      }
      // An empty id would find the root itself and hide the whole window.
      if (button->page_.empty())
        continue;
      if (UIControl* page = root->FindById(button->page_))
        page->SetVisible(mine);
    }
  }
  FireEvent("click");
}
