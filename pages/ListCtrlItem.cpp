#include "pages/ListCtrlItem.h"

#include <string.h>

#include <vector>

#include "ui/core/UIGraphics.h"

namespace {

constexpr int kCornerRadius = 6;
// The background leaves this much of the row free above and below it.
constexpr int kVerticalGap = 5;

}  // namespace

LRESULT ListCtrlItem::OnCreate(LPARAM data) {
  runtime_ = FindById(L"iditem_runtime");
  play_ = FindById(L"iditem_play");
  return UIControl::OnCreate(data);
}

void ListCtrlItem::OnMessage(UIMessage& message) {
  if (message.message == WM_MOUSEHOVER || message.message == WM_MOUSELEAVE) {
    bool over = message.message == WM_MOUSEHOVER;
    if (runtime_)
      runtime_->SetVisible(!over);
    if (play_)
      play_->SetVisible(over);
  }
  UIControl::OnMessage(message);
}

namespace {

void SendLeaveToHovered(UIControl* control, int depth) {
  if (depth > kMaxTreeDepth)
    return;
  if (control->GetState() & UIControl::kStateHover)
    control->SendMessage(WM_MOUSELEAVE);
  for (UIControl* child : std::vector<UIControl*>(control->GetChildren()))
    SendLeaveToHovered(child, depth + 1);
}

}  // namespace

void ListCtrlItem::DropHover() {
  SendLeaveToHovered(this, 0);
  if (runtime_ && !runtime_->IsVisible())
    runtime_->SetVisible(true);
  if (play_ && play_->IsVisible())
    play_->SetVisible(false);
}

void ListCtrlItem::Paint(Gdiplus::Graphics& graphics) {
  bool atRest = IsEnabled() && !IsSelected() &&
                (GetState() & (kStateHover | kStatePressed | kStateActive)) == 0;
  Gdiplus::Rect area(0, kVerticalGap, GetWidth(), GetHeight() - 2 * kVerticalGap);
  if (area.Width > 0 && area.Height > 0)
    FillRoundRect(graphics, area, kCornerRadius, atRest ? kRestColour : kActiveColour);
}

UIControl* RowOfControl(UIControl* control) {
  for (UIControl* c = control; c; c = c->GetParent()) {
    if (_stricmp(c->GetClassName(), "ListCtrlItem") == 0)
      return c;
  }
  return nullptr;
}
