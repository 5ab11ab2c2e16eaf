#pragma once

#include "ui/controls/UIButton.h"

// A button with a box: the frame of the checked ("ckimg") or unchecked ("unckimg") four-frame
// strip for the current state, drawn at "rcbox" x and width and centred vertically, then the
// text from x = "xlabel" (and y offset "ylabel"). A click toggles the mark and fires
// "checkchanged" (0, checked); "check" sets the mark quietly. UI thread only.
class UICheckBox : public UIButton {
 public:
  UICheckBox() = default;
  ~UICheckBox() override;

  // UIControl:
  const char* GetClassName() const override { return "UICheckBox"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  // UIButton:
  void OnClick() override;

  // --- Virtual operation added after UIButton's.
  virtual void OnCheckChanged(bool checked) {}

  bool IsChecked() const { return checked_; }
  // Sets the mark without an event.
  void SetChecked(bool checked);

 protected:
  bool checked_ = false;
  int xLabel_ = 0;
  int yLabel_ = 0;
  UIRender* checkedFrames_[4] = {};
  UIRender* uncheckedFrames_[4] = {};
  RECT box_ = {};
};

// A check box of a radio group: clicking a checked one does nothing; checking one unchecks
// every checked sibling radio box of the same non-empty "group", which fire no event.
class UIRadioBox : public UICheckBox {
 public:
  const char* GetClassName() const override { return "UIRadioBox"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void OnClick() override;
  void OnCheckChanged(bool checked) override;

  const std::wstring& radio_group() const { return radioGroup_; }

 private:
  std::wstring radioGroup_;
};
