#pragma once

#include <string>

#include "ui/core/UIRefObj.h"

class UIControl;

// Arranges a control's visible, non-floating children inside its client rectangle. Owned by
// reference by the control whose "layout" attribute made it. UI thread only.
//
// The base class is the overlay ("hzvt"): every non-floating child, visible or not, fills the
// client rectangle. There are no margins, gaps, wrapping or size limits in any layout. An
// arrangement that re-enters itself (a child's placement arranging this layout again) returns
// at once.
class UILayout : public UIRefObj {
 public:
  virtual void Arrange(UIControl* control);
  // The layouts read none of their items; unknown names are ignored.
  virtual bool SetAttribute(const std::wstring& name, const std::wstring& value) { return false; }

 protected:
  bool arranging_ = false;
};

// A row, left to right: each child gets its desired width and height, top-aligned; the width
// left over is shared equally (remainder dropped) among the "adj" children, which get the full
// client height.
class UIHLayout : public UILayout {
 public:
  void Arrange(UIControl* control) override;
};

// A column, top to bottom: each child gets the full client width and its desired height; the
// height left over is shared equally among the "adj" children.
class UIVLayout : public UILayout {
 public:
  void Arrange(UIControl* control) override;
};

// The layout a "layout" value names by its first four characters ("horz", "vert", "hzvt"), with
// the items from the sixth character on ("a=1|b=2") applied; null for any other value.
UILayout* CreateLayout(const std::wstring& value);
