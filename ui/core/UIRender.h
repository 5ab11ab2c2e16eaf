#pragma once

#include <string>

#include "sys/GdiplusApi.h"
#include "ui/core/UIRefObj.h"

class UIControl;

// A parsed render descriptor ("clr:...", "grd:...", "img:...", "txt:..."): paints itself into
// the control's own rectangle (0, 0, width, height), the graphics already translated to the
// control's origin, choosing its variant by the control's state. UI thread only. Owned by
// reference; images inside belong to the resource cache.
class UIRender : public UIRefObj {
 public:
  virtual void Draw(UIControl* control, Gdiplus::Graphics& graphics) = 0;
  // Unknown names are ignored (false).
  virtual bool SetAttribute(const std::wstring& name, const std::wstring& value) = 0;
  // Destination rectangle; only the image painter uses it.
  virtual void SetRect(const RECT& rect) {}
  // Whether Draw changes no pixel outside (0, 0, width, height) of `control`, so that painting
  // it needs no clip to that rectangle. False unless the painter knows.
  virtual bool StaysInside(const UIControl* control) const { return false; }
};

// The painter a descriptor names, holding one reference; null for an unknown prefix.
UIRender* CreateRender(const std::wstring& descriptor);
