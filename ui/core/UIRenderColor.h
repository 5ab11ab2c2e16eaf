#pragma once

#include "ui/core/UIRender.h"
#include "ui/core/UIRenderState.h"

// "clr:" painter: a fill and an optional 1-pixel border per state, square or with rounded
// corners (anti-aliased). A colour of 0 is transparent; a border colour of 0 draws no border.
class UIRenderColor : public UIRender {
 public:
  // UIRender:
  bool SetAttribute(const std::wstring& name, const std::wstring& value) override;
  void Draw(UIControl* control, Gdiplus::Graphics& graphics) override;
  // Square corners only: anti-aliased rounded edges reach half a pixel beyond the rectangle.
  bool StaysInside(const UIControl* control) const override { return radius_ <= 0; }

  // Paints `r` in state `s`.
  virtual void Paint(Gdiplus::Graphics& g, const Gdiplus::Rect& r, RenderState s) const;

  Gdiplus::ARGB fill(RenderState s) const { return fill_[StateIndex(s)]; }
  Gdiplus::ARGB border(RenderState s) const { return border_[StateIndex(s)]; }
  int radius() const { return radius_; }

 protected:
  Gdiplus::ARGB fill_[4] = {};
  Gdiplus::ARGB border_[4] = {};
  int radius_ = 0;
};

// "grd:" painter: a linear gradient from the normal to the hover fill over the whole rectangle,
// in every state. Border and radius are read but not drawn.
class UIGradientColor : public UIRenderColor {
 public:
  bool SetAttribute(const std::wstring& name, const std::wstring& value) override;
  bool StaysInside(const UIControl* control) const override { return true; }
  void Paint(Gdiplus::Graphics& g, const Gdiplus::Rect& r, RenderState s) const override;

 private:
  int mode_ = Gdiplus::LinearGradientModeVertical;
};
