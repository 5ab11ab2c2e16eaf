#include "ui/controls/UIImage.h"

#include "ui/controls/UIControlPaint.h"
#include "ui/core/SkinBitmap.h"
#include "ui/core/UIGraphics.h"

bool UIImage::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name != L"back")
    return UIControl::ApplyAttribute(name, value);
  path_ = value;
  image_ = nullptr;
  resolved_ = false;
  Invalidate();
  return true;
}

void UIImage::SetBitmap(std::shared_ptr<Gdiplus::Bitmap> bitmap) {
  bitmap_ = std::move(bitmap);
  Invalidate();
}

void UIImage::Paint(Gdiplus::Graphics& graphics) {
  if (!resolved_ && !bitmap_) {
    image_ = LoadSkinImage(path_);
    resolved_ = true;
  }
  Gdiplus::Image* image = bitmap_ ? static_cast<Gdiplus::Image*>(bitmap_.get()) : image_;
  if (!image)
    return;
  DrawImageStretched(graphics, image, Gdiplus::Rect(0, 0, GetWidth(), GetHeight()),
                     Gdiplus::Rect(0, 0, static_cast<INT>(image->GetWidth()),
                                   static_cast<INT>(image->GetHeight())));
}
