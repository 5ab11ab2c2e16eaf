#pragma once

#include <memory>

#include "ui/core/UIControl.h"

class SkinBitmap;

// An image stretched over the whole control: the bitmap set by code, else the pack image named
// by "back" (a path here, not a render descriptor). Nothing shows when neither exists. UI thread
// only; the pack image belongs to the resource cache, the code's bitmap is shared with the
// caller. The pack image is decoded when first painted.
class UIImage : public UIControl {
 public:
  // UIControl:
  const char* GetClassName() const override { return "UIImage"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;

  void SetBitmap(std::shared_ptr<Gdiplus::Bitmap> bitmap);
  const std::wstring& image_path() const { return path_; }

 private:
  std::wstring path_;
  SkinBitmap* image_ = nullptr;  // not owned
  bool resolved_ = true;         // image_ answers for path_
  std::shared_ptr<Gdiplus::Bitmap> bitmap_;
};
