#pragma once

#include "ui/core/UIControl.h"

class UIScrollBar;

// A vertical list: rows stacked by a column layout inside a clipped viewport, an optional fixed
// child with id "header" above them, and an overlay scroll bar at the right edge that shows
// only while the rows do not fit. The wheel scrolls by 30 pixels and is passed on to the
// parent when the list cannot move that way.
//
// Children: the viewport (first), then the scroll bar; layout children become direct children
// beside them. Rows live in the content control inside the viewport; AddRow does not arrange,
// so call Relayout once after adding rows. The scroll bar fires "scollposchanged" and
// "scollendtrack"; the view follows its position. UI thread only; the view owns its internal
// controls and, through the content, its rows.
class UIScrollVertView : public UIControl {
 public:
  static constexpr int kWheelStep = 30;

  UIScrollVertView();
  ~UIScrollVertView() override;

  // UIControl:
  const char* GetClassName() const override { return "UIScrollVertView"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void OnMessage(UIMessage& message) override;
  // Runs Arrange.
  void Relayout() override;

  // --- Virtual operation added after UIControl's.
  virtual void Arrange();

  // Takes over the caller's reference.
  void AddRow(UIControl* row);
  // Removes and releases `row`, then arranges.
  void RemoveRow(UIControl* row);
  // Removes every row, then arranges.
  void RemoveAllRows();
  int RowCount() const;
  UIControl* Row(int index) const;
  // Scrolls so that the row's top sits half a page down, unless the top is already in view.
  void EnsureVisible(int index);

  UIScrollBar* scroll_bar() const { return bar_.get(); }
  UIControl* content() const { return content_.get(); }
  UIControl* viewport() const { return viewport_.get(); }
  int GetPosition() const;
  void SetPosition(int position);
  // The height the rows are shown in (the view less its border and the header).
  int PageHeight() const { return page_; }
  // The height the rows stand for, in place of the sum of theirs: a list that builds rows only
  // for what is in view gives its whole height here and places its rows itself ("float").
  // Negative (the default) goes back to the sum. Takes effect at the next Arrange.
  void SetRowsExtent(int height) { extent_ = height; }

 private:
  static void OnBarEvent(void* data, UIEvent& event);
  UIControl* Header() const;
  int TotalRowHeight() const;

  // Held besides the tree's references: message 2 (destroy) drops those before the view dies.
  UIRef<UIControl> viewport_;
  UIRef<UIControl> content_;
  UIRef<UIScrollBar> bar_;
  int barWidth_ = 8;
  int page_ = 0;
  int extent_ = -1;
};

// A plain scrolling container: the child elements of its layout become its rows.
class UIScrollView : public UIScrollVertView {
 public:
  const char* GetClassName() const override { return "UIScrollView"; }
  // Message 1 (the subtree is built): moves the layout children other than the header into
  // the rows.
  LRESULT OnCreate(LPARAM data) override;
};
