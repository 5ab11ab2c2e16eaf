#pragma once

#include "ui/controls/UILabel.h"

// A label that presses: four state painters (a "btn"/"vbtn" strip of four frames, or "bkn",
// "bkh", "bkp", "bkd" descriptors replacing single frames) drawn into "backrect" or the whole
// control, then the text. A press that ends outside the button fires nothing.
//
// Groups: clicking a button with a "group" marks it selected and unmarks every sibling of
// class exactly UIButton in the same group; each such sibling's "page" (a control id searched
// from the root) is shown for the clicked button and hidden for the others. An empty or unknown
// page is skipped. Then "click" (0, 0) fires.
//
// UI thread only; the painters belong to the button. A missing frame falls back to the normal
// painter; without any painter only the background and the text show.
class UIButton : public UILabel {
 public:
  UIButton() = default;
  ~UIButton() override;

  // UIControl:
  const char* GetClassName() const override { return "UIButton"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  void OnMessage(UIMessage& message) override;
  bool PaintStaysInside() const override;

  // --- Virtual operations added after UILabel's, in slot order.
  virtual void PaintText(Gdiplus::Graphics& graphics);
  virtual void PaintStateImage(Gdiplus::Graphics& graphics);
  // The painter of a state index (0 normal, 1 hover, 2 pressed, 3 disabled); null when none.
  virtual UIRender* GetStateImage(int index);
  virtual void OnClick();

  const std::wstring& group() const { return group_; }
  const std::wstring& page() const { return page_; }

 protected:
  UIRender* painters_[4] = {};
  RECT backRect_ = {};
  bool hasBackRect_ = false;
  std::wstring group_;
  std::wstring page_;
};

// A button under another class name, for text links.
class UILink : public UIButton {
 public:
  const char* GetClassName() const override { return "UILink"; }
};
