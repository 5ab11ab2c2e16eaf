#pragma once

#include <string>

#include "ui/core/UIControl.h"

class IQuelmTask;

// One row of the task list, built from "xml\taskitem.xml": schedule, action, a status label and
// four buttons (run now, switch, edit, delete). Its id is the GUID of its task.
//
// While the pointer is over the row the run-now button takes the status label's place. The row
// paints only its own rounded background (white at rest, a lighter grey while hovered, pressed,
// selected or disabled); the layout's "back" is not drawn.
//
// UI thread only. The task pointer is borrowed from the list page, which holds a reference for
// as long as the row is bound to the task (the page reuses rows as the list scrolls). The row
// handles none of its buttons' events; they go up to the page.
class ListCtrlItem : public UIControl {
 public:
  static constexpr Gdiplus::ARGB kRestColour = 0xFFFFFFFF;
  static constexpr Gdiplus::ARGB kActiveColour = 0xFFFAFAFA;

  IQuelmTask* task() const { return task_; }
  void set_task(IQuelmTask* task) { task_ = task; }
  // Null until the layout is built, or when the layout lacks them.
  UIControl* status_label() const { return runtime_; }
  UIControl* play_button() const { return play_; }
  // Clears what the pointer left on the row and its controls, as leaving them does: the row
  // is about to show another task.
  void DropHover();

  // UIControl:
  const char* GetClassName() const override { return "ListCtrlItem"; }
  // Once the subtree exists: finds the status label and the run-now button.
  LRESULT OnCreate(LPARAM data) override;
  void OnMessage(UIMessage& message) override;
  void Paint(Gdiplus::Graphics& graphics) override;

 private:
  IQuelmTask* task_ = nullptr;
  UIControl* runtime_ = nullptr;
  UIControl* play_ = nullptr;
};

// The row that holds `control` (the control itself or its nearest ancestor whose class name is
// "ListCtrlItem", in any case), or null.
UIControl* RowOfControl(UIControl* control);
