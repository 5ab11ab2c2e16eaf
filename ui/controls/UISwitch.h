#pragma once

#include "ui/controls/UIButton.h"

// An on/off button: while on it shows the on-state painters ("btn2" strip or "bkn2", "bkh2",
// "bkp2", "bkd2"), falling back to the on-state normal one. A click flips it and fires
// "checkchanged" (0, on), then "click". UI thread only; the painters belong to the switch.
class UISwitch : public UIButton {
 public:
  UISwitch() = default;
  ~UISwitch() override;

  // UIControl:
  const char* GetClassName() const override { return "UISwitch"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  // UIButton:
  UIRender* GetStateImage(int index) override;
  void OnClick() override;

  bool IsOn() const { return on_; }
  // Sets the state without an event.
  void SetOn(bool on);

 private:
  bool on_ = false;
  UIRender* onPainters_[4] = {};
};
