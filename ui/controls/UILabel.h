#pragma once

#include "ui/core/UIControl.h"

class UIRenderText;

// A line (or block) of text drawn by its own text painter over the background descriptor.
// Every attribute is first offered to the painter ("clr", "font", "horz", "keyword", ...), then
// to the label ("txtattr", "xstart", "xend", "alias"), then to UIControl. UI thread only; the
// painter belongs to the label. A keyword label whose markup does not parse draws no text.
class UILabel : public UIControl {
 public:
  UILabel();
  ~UILabel() override;

  // UIControl:
  const char* GetClassName() const override { return "UILabel"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  bool PaintStaysInside() const override;

  // The area the text is drawn in: the control less the margins and the painter's inset, never
  // inverted (an over-wide margin gives an empty rectangle).
  virtual RECT GetTextRect() const;

  UIRenderText* text_render() const { return textRender_; }

 protected:
  // Draws the text into `area` (before the painter's inset) in the control's current look.
  void PaintTextIn(Gdiplus::Graphics& graphics, const RECT& area);
  // (0, 0, width, height) less the margins, never inverted.
  RECT MarginRect() const;
  // The background and the text keep inside the control.
  bool LabelStaysInside() const;

  UIRenderText* textRender_;
  int xStart_ = 0;
  int xEnd_ = 0;
  bool alias_ = false;
};
