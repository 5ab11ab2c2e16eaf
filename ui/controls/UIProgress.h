#pragma once

#include "ui/core/UIControl.h"

class UIRenderImg;

// A bar filled to "value" percent (kept in 0..100): the "prob" image (three parts of the whole
// image) or a light grey fill, then the first width × value / 100 pixels with the "prof" image
// (image type "drawtype", default 4; type 0 crops the source to the filled part) or green.
// UI thread only; the painters belong to the bar.
class UIProgress : public UIControl {
 public:
  UIProgress() = default;
  ~UIProgress() override;

  // UIControl:
  const char* GetClassName() const override { return "UIProgress"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;

  int GetValue() const { return value_; }
  // Clamped to 0..100; repaints.
  void SetValue(int value);

  static constexpr Gdiplus::ARGB kBackColour = 0xFFEEEEEE;
  static constexpr Gdiplus::ARGB kFillColour = 0xFF2BA245;

 private:
  int value_ = 0;
  int drawType_ = 4;
  UIRenderImg* back_ = nullptr;
  UIRenderImg* fore_ = nullptr;
};
