#pragma once

#include <string>

#include "ui/core/UIRender.h"

class SkinBitmap;

// "img:" painter: one skin image drawn into the destination ("dst", else the control's
// rectangle) from the source ("src", else the whole image) by its draw type: 0 stretched,
// 1 / 2 three parts across / down, 3 nine-grid, 4 three parts of the whole image; other types
// and a missing image draw nothing. The image belongs to the resource cache; the same image is
// drawn in every state. It is decoded on first use, not when "file" is set: most descriptors of
// a tree are never painted, or only later.
class UIRenderImg : public UIRender {
 public:
  enum Type { kStretch = 0, kThreeH = 1, kThreeV = 2, kNineGrid = 3, kThreeHWhole = 4 };

  // UIRender:
  bool SetAttribute(const std::wstring& name, const std::wstring& value) override;
  void Draw(UIControl* control, Gdiplus::Graphics& graphics) override;
  void SetRect(const RECT& rect) override { dst_ = rect; }
  // Inside unless a destination reaches beyond the control.
  bool StaysInside(const UIControl* control) const override;

  // Paints into `r` (the control's rectangle), or into the destination when one is set.
  void Paint(Gdiplus::Graphics& g, const Gdiplus::Rect& r) const;

  SkinBitmap* image() const;

 private:
  // Resolved, and then cleared, on first use.
  mutable const std::wstring* file_ = nullptr;
  mutable SkinBitmap* image_ = nullptr;  // not owned
  RECT dst_ = {};                        // used when not empty
  RECT src_ = {};                        // used when not empty
  int type_ = kStretch;
};
