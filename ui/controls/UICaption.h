#pragma once

#include "ui/core/UIControl.h"

// The window's drag area: a press moves the window (system move command 0xF012) unless the
// window is maximised or "drag" is off; a double-click toggles maximise and restore on windows
// with a sizing frame and a maximise box. UI thread only.
class UICaption : public UIControl {
 public:
  // UIControl:
  const char* GetClassName() const override { return "UICaption"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void OnMessage(UIMessage& message) override;

 private:
  bool maximisedPress_ = false;
  bool dragEnabled_ = true;
};
