#include "ui/core/UILayout.h"

#include <string_view>
#include <vector>

#include "ui/core/UIControl.h"
#include "ui/core/UIValueParse.h"

using namespace std::string_view_literals;

namespace {

// Clears a layout's arranging flag however Arrange leaves.
class ArrangeGuard {
 public:
  explicit ArrangeGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~ArrangeGuard() { flag_ = false; }

 private:
  bool& flag_;
};

std::vector<UIControl*> FlowChildren(UIControl* control) {
  std::vector<UIControl*> out;
  for (UIControl* child : control->GetChildren()) {
    if (child->IsVisible() && !child->IsFloat())
      out.push_back(child);
  }
  return out;
}

// Shared by the row and the column: `horizontal` picks the main axis.
void ArrangeFlow(UIControl* control, bool horizontal) {
  RECT c = control->GetClientRect();
  int mainSize = horizontal ? c.right - c.left : c.bottom - c.top;
  std::vector<UIControl*> children = FlowChildren(control);
  std::vector<SIZE> desired;
  desired.reserve(children.size());
  int total = 0;
  int adj = 0;
  for (UIControl* child : children) {
    SIZE s = child->GetDesiredSize();
    desired.push_back(s);
    total = AddSaturated(total, horizontal ? s.cx : s.cy);
    if (child->IsAdjusting())
      ++adj;
  }
  int share = (mainSize > total && adj > 0)
                  ? static_cast<int>((static_cast<long long>(mainSize) - total) / adj)
                  : 0;
  int at = horizontal ? c.left : c.top;
  for (size_t i = 0; i < children.size(); ++i) {
    UIControl* child = children[i];
    if (horizontal) {
      int w = child->IsAdjusting() ? share : desired[i].cx;
      int h = child->IsAdjusting() ? c.bottom - c.top : desired[i].cy;
      child->Place(at, c.top, w, h);
      at = AddSaturated(at, w);
    } else {
      int h = child->IsAdjusting() ? share : desired[i].cy;
      child->Place(c.left, at, c.right - c.left, h);
      at = AddSaturated(at, h);
    }
  }
}

}  // namespace

void UILayout::Arrange(UIControl* control) {
  if (arranging_)
    return;
  UIRef<UILayout> keep(this);
  ArrangeGuard guard(arranging_);
  RECT c = control->GetClientRect();
  for (UIControl* child : std::vector<UIControl*>(control->GetChildren())) {
    if (!child->IsFloat())
      child->Place(c);
  }
}

void UIHLayout::Arrange(UIControl* control) {
  if (arranging_)
    return;
  UIRef<UILayout> keep(this);
  ArrangeGuard guard(arranging_);
  ArrangeFlow(control, true);
}

void UIVLayout::Arrange(UIControl* control) {
  if (arranging_)
    return;
  UIRef<UILayout> keep(this);
  ArrangeGuard guard(arranging_);
  ArrangeFlow(control, false);
}

UILayout* CreateLayout(const std::wstring& value) {
  std::wstring kind = value.substr(0, 4);
  UILayout* layout = nullptr;
  if (kind == L"horz"sv)
    layout = new UIHLayout;
  else if (kind == L"vert"sv)
    layout = new UIVLayout;
  else if (kind == L"hzvt"sv)
    layout = new UILayout;
  else
    return nullptr;
  if (value.size() > 5) {
    std::wstring items = value.substr(5);
    size_t start = 0;
    for (;;) {
      size_t bar = items.find(L'|', start);
      std::wstring item = items.substr(start, bar - start);
      size_t eq = item.find(L'=');
      if (eq != std::wstring::npos && item.find(L'=', eq + 1) == std::wstring::npos)
        layout->SetAttribute(item.substr(0, eq), item.substr(eq + 1));
      if (bar == std::wstring::npos)
        break;
      start = bar + 1;
    }
  }
  return layout;
}
