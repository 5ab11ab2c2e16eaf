#pragma once

#include "ui/core/UIControl.h"

class SkinBitmap;

// A horizontal slider over 0..100: the "sliderbg" track stretched across the control, the
// "sliderfg" filled part up to the value, and the "thumb" (a strip of four frames: normal,
// hover, dragging, disabled) centred on x = width × value / 100 and kept inside the control.
// Pressing the thumb drags it (capture held until release); pressing elsewhere jumps there.
// Every set of the value fires "sliderposchanged" (0, 0), the end of a drag "sliderendtrack".
// UI thread only; images belong to the resource cache.
class UISlider : public UIControl {
 public:
  // Hit width of the thumb without an image.
  static constexpr int kDefaultThumbWidth = 20;

  // UIControl:
  const char* GetClassName() const override { return "UISlider"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  void OnMessage(UIMessage& message) override;

  int GetValue() const { return value_; }
  // Clamped to 0..100; fires "sliderposchanged" even when the value stays.
  void SetValue(int value);
  bool IsDragging() const { return dragging_; }

 private:
  int ThumbWidth() const;
  // Left edge of the thumb in control coordinates.
  int ThumbX() const;
  bool OverThumb(int x, int y) const;
  void EndDrag();

  int value_ = 0;
  SkinBitmap* thumb_ = nullptr;   // not owned
  SkinBitmap* back_ = nullptr;    // not owned
  SkinBitmap* filled_ = nullptr;  // not owned
  bool thumbHover_ = false;
  bool dragging_ = false;
  int dragX_ = 0;  // press point, control coordinates
  int dragValue_ = 0;
};
