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

struct FlowEntry {
  UIControl* child;
  SIZE desired;
};

// One stack of entries for every arrangement under way (layouts run on the UI thread only): a
// child placed by one arrangement may arrange its own children on top of it, and a row needs
// no allocation of its own.
std::vector<FlowEntry>& FlowStack() {
  static std::vector<FlowEntry> stack;
  return stack;
}

// Drops what one arrangement pushed, however it ends.
class FlowFrame {
 public:
  FlowFrame() : begin_(FlowStack().size()) {}
  ~FlowFrame() { FlowStack().resize(begin_); }
  size_t begin() const { return begin_; }

 private:
  size_t begin_;
};

// Shared by the row and the column: `horizontal` picks the main axis.
void ArrangeFlow(UIControl* control, bool horizontal) {
  RECT c = control->GetClientRect();
  int mainSize = horizontal ? c.right - c.left : c.bottom - c.top;
  std::vector<FlowEntry>& stack = FlowStack();
  FlowFrame frame;
  int total = 0;
  int adj = 0;
  for (UIControl* child : control->GetChildren()) {
    if (!child->IsVisible() || child->IsFloat())
      continue;
    SIZE s = child->GetDesiredSize();
    stack.push_back({child, s});
    total = AddSaturated(total, horizontal ? s.cx : s.cy);
    if (child->IsAdjusting())
      ++adj;
  }
  int share = (mainSize > total && adj > 0)
                  ? static_cast<int>((static_cast<long long>(mainSize) - total) / adj)
                  : 0;
  int at = horizontal ? c.left : c.top;
  const size_t end = stack.size();
  // By index: placing a child may push entries of its own and move the stack.
  for (size_t i = frame.begin(); i < end; ++i) {
    UIControl* child = stack[i].child;
    const SIZE desired = stack[i].desired;
    if (horizontal) {
      int w = child->IsAdjusting() ? share : desired.cx;
      int h = child->IsAdjusting() ? c.bottom - c.top : desired.cy;
      child->Place(at, c.top, w, h);
      at = AddSaturated(at, w);
    } else {
      int h = child->IsAdjusting() ? share : desired.cy;
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
  std::vector<FlowEntry>& stack = FlowStack();
  FlowFrame frame;
  for (UIControl* child : control->GetChildren()) {
    if (!child->IsFloat())
      stack.push_back({child, {}});
  }
  const size_t end = stack.size();
  for (size_t i = frame.begin(); i < end; ++i)
    stack[i].child->Place(c);
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
