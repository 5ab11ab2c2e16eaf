#include "ui/controls/UIScrollVertView.h"
#include "ui/core/UIValueParse.h"

#include <algorithm>

#include "sys/StringFormat.h"
#include "ui/controls/UIScrollBar.h"

// The tree takes over the references new made; the members hold references of their own.
UIScrollVertView::UIScrollVertView()
    : viewport_(new UIControl), content_(new UIControl), bar_(new UIScrollBar) {
  content_->SetAttribute(L"layout", L"vert");
  viewport_->AddChild(content_.get());
  AddChild(viewport_.get());
  bar_->SetVisible(false, false);
  AddChild(bar_.get());
  bar_->AddListener(&UIScrollVertView::OnBarEvent, this);
}

UIScrollVertView::~UIScrollVertView() {
  bar_->RemoveListener(&UIScrollVertView::OnBarEvent, this);
}

bool UIScrollVertView::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"hscrollwidth") {
    barWidth_ = std::max(0, ParseCoordinate(value));
    Arrange();
    return true;
  }
  return UIControl::ApplyAttribute(name, value);
}

void UIScrollVertView::Relayout() {
  Arrange();
  Invalidate();
}

UIControl* UIScrollVertView::Header() const {
  for (UIControl* child : children_) {
    if (child != viewport_.get() && child != bar_.get() && child->GetId() == L"header")
      return child;
  }
  return nullptr;
}

int UIScrollVertView::TotalRowHeight() const {
  if (extent_ >= 0)
    return extent_;
  int total = 0;
  for (UIControl* row : content_->GetChildren()) {
    if (row->IsVisible())
      total = AddSaturated(total, row->GetDesiredSize().cy);
  }
  return total;
}

void UIScrollVertView::Arrange() {
  int width = GetWidth();
  int height = GetHeight();
  int total = TotalRowHeight();
  int page = std::max(0, height - 2);
  int top = 1;
  if (UIControl* header = Header()) {
    auto it = std::find(children_.begin(), children_.end(), header);
    children_.erase(it);
    children_.insert(children_.begin(), header);
    if (header->IsVisible()) {
      int h = header->GetHeight();
      header->SetPos(1, 1, std::max(0, width - 2), h);
      top = h + 1;
      page = std::max(0, page - (h + 1));
    }
  }
  page_ = page;
  viewport_->SetPos(1, top, std::max(0, width - 2), page);
  bar_->SetRange(total, page);
  if (page >= total) {
    content_->Place(0, 0, std::max(0, width - 2), total);
    if (bar_->IsVisible())
      bar_->SetVisible(false);
  } else {
    // The rows run on under the bar, which overlays them.
    content_->Place(0, -bar_->GetPosition(), std::max(0, width - 1), total);
    bar_->SetPos(width - barWidth_ - 1, 0, barWidth_, height);
    if (!bar_->IsVisible())
      bar_->SetVisible(true);
  }
}

void UIScrollVertView::OnBarEvent(void* data, UIEvent& event) {
  if (event.name != "scollposchanged")
    return;
  auto* self = static_cast<UIScrollVertView*>(data);
  UIControl* content = self->content_.get();
  const RECT& r = content->GetRect();
  content->SetPos(r.left, -event.param2, r.right - r.left, r.bottom - r.top);
  self->viewport_->Invalidate();
}

void UIScrollVertView::AddRow(UIControl* row) {
  content_->AddChild(row);
}

void UIScrollVertView::RemoveRow(UIControl* row) {
  if (!row || row->GetParent() != content_.get())
    return;
  row->Remove();
  Arrange();
}

void UIScrollVertView::RemoveAllRows() {
  while (!content_->GetChildren().empty())
    content_->GetChildren().back()->Remove();
  Arrange();
}

int UIScrollVertView::RowCount() const {
  return static_cast<int>(content_->GetChildren().size());
}

UIControl* UIScrollVertView::Row(int index) const {
  const auto& rows = content_->GetChildren();
  return index >= 0 && index < static_cast<int>(rows.size()) ? rows[index] : nullptr;
}

int UIScrollVertView::GetPosition() const {
  return bar_->GetPosition();
}

void UIScrollVertView::SetPosition(int position) {
  bar_->SetPosition(position);
}

void UIScrollVertView::EnsureVisible(int index) {
  const auto& rows = content_->GetChildren();
  if (index < 0 || index >= static_cast<int>(rows.size()))
    return;
  int rowTop = 0;
  for (int i = 0; i < index; ++i) {
    if (rows[i]->IsVisible())
      rowTop = AddSaturated(rowTop, rows[i]->GetDesiredSize().cy);
  }
  int y = rowTop - bar_->GetPosition();
  if (y >= 0 && y < page_)
    return;
  int target = std::min(std::max(rowTop - page_ / 2, 0), bar_->MaxPosition());
  bar_->SetPosition(target);
}

void UIScrollVertView::OnMessage(UIMessage& message) {
  if (message.message == WM_MOUSEWHEEL) {
    int delta = GET_WHEEL_DELTA_WPARAM(message.wparam);
    int position = bar_->GetPosition();
    if (delta < 0 && position < bar_->MaxPosition()) {
      bar_->SetPosition(position + kWheelStep);
      return;
    }
    if (delta > 0 && position > 0) {
      bar_->SetPosition(position - kWheelStep);
      return;
    }
  }
  UIControl::OnMessage(message);
}

LRESULT UIScrollView::OnCreate(LPARAM data) {
  std::vector<UIControl*> moved;
  for (UIControl* child : children_) {
    if (child != viewport() && child != scroll_bar() && child->GetId() != L"header")
      moved.push_back(child);
  }
  for (UIControl* child : moved) {
    children_.erase(std::find(children_.begin(), children_.end(), child));
    AddRow(child);  // the reference moves with it
  }
  Arrange();
  return UIScrollVertView::OnCreate(data);
}
