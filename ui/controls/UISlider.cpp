#include "ui/controls/UISlider.h"

#include <algorithm>

#include "sys/StringFormat.h"
#include "ui/controls/UIControlPaint.h"
#include "ui/core/SkinBitmap.h"
#include "ui/core/UIGraphics.h"

namespace {

// `image` stretched over `width` of the horizontal band `bandHeight` high, centred vertically.
void DrawBand(Gdiplus::Graphics& g, SkinBitmap* image, int width, int height, int bandHeight) {
  if (!image || width < 1)
    return;
  DrawImageStretched(g, image, Gdiplus::Rect(0, (height - bandHeight) / 2, width, bandHeight),
                     Gdiplus::Rect(0, 0, static_cast<INT>(image->GetWidth()),
                                   static_cast<INT>(image->GetHeight())));
}

// `percent` of `length`, without overflowing on long controls.
int PartOf(int length, int percent) {
  return static_cast<int>(static_cast<long long>(length) * percent / 100);
}

int ImageHeight(SkinBitmap* image) {
  return image ? static_cast<int>(image->GetHeight()) : 0;
}

}  // namespace

bool UISlider::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"thumb")
    thumb_ = LoadSkinImage(value);
  else if (name == L"sliderbg")
    back_ = LoadSkinImage(value);
  else if (name == L"sliderfg")
    filled_ = LoadSkinImage(value);
  else if (name == L"value")
    SetValue(ParseDecimal(value));
  else
    return UIControl::ApplyAttribute(name, value);
  Invalidate();
  return true;
}

int UISlider::ThumbWidth() const {
  int frame = thumb_ ? static_cast<int>(thumb_->GetWidth()) / 4 : 0;
  return frame > 0 ? frame : kDefaultThumbWidth;
}

int UISlider::ThumbX() const {
  int fw = ThumbWidth();
  int x = PartOf(GetWidth(), value_) - fw / 2;
  return std::max(0, std::min(x, GetWidth() - fw));
}

bool UISlider::OverThumb(int x, int y) const {
  int left = ThumbX();
  return x >= left && x < left + ThumbWidth() && y >= 0 && y < GetHeight();
}

void UISlider::SetValue(int value) {
  value_ = std::clamp(value, 0, 100);
  UIRef<UIControl> keep(this);
  FireEvent("sliderposchanged");
  Invalidate();
}

void UISlider::Paint(Gdiplus::Graphics& graphics) {
  UIControl::Paint(graphics);
  int w = GetWidth(), h = GetHeight();
  // The filled part lies over the track's band.
  int band = back_ ? ImageHeight(back_) : ImageHeight(filled_);
  DrawBand(graphics, back_, w, h, band);
  DrawBand(graphics, filled_, PartOf(w, value_), h, band);
  if (!thumb_)
    return;
  int fw = ThumbWidth();
  int ih = static_cast<int>(thumb_->GetHeight());
  int frame = !IsEnabled() ? 3 : dragging_ ? 2 : thumbHover_ ? 1 : 0;
  DrawImageStretched(graphics, thumb_, Gdiplus::Rect(ThumbX(), (h - ih) / 2, fw, ih),
                     Gdiplus::Rect(frame * fw, 0, fw, ih));
}

void UISlider::EndDrag() {
  dragging_ = false;
  Invalidate();
  FireEvent("sliderendtrack");
}

void UISlider::OnMessage(UIMessage& message) {
  IUIContainer* host = GetHost();
  RECT at = WindowRect();
  int x = message.x - at.left, y = message.y - at.top;
  switch (message.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (OverThumb(x, y)) {
        dragging_ = true;
        dragX_ = x;
        dragValue_ = value_;
        if (host)
          host->SetCapture(GetHandle());
        Invalidate();
      } else {
        SetValue(GetWidth() < 1 ? 0 : static_cast<int>(x * 100LL / GetWidth()));
      }
      return;
    case WM_MOUSEMOVE: {
      bool over = OverThumb(x, y);
      if (over != thumbHover_) {
        thumbHover_ = over;
        Invalidate();
      }
      if (dragging_ && GetWidth() >= 1)
        SetValue(static_cast<int>((static_cast<long long>(x) - dragX_) * 100 / GetWidth()) +
                 dragValue_);
      return;
    }
    case WM_LBUTTONUP: {
      UIRef<UIControl> keep(this);
      if (host && host->GetCaptureHandle() == GetHandle())
        host->ReleaseCapture();
      if (dragging_)
        EndDrag();
      return;
    }
    case WM_CAPTURECHANGED:
      // Another window took the mouse: the drag ends where it is.
      if (dragging_)
        EndDrag();
      return;
    case WM_MOUSELEAVE:
      if (thumbHover_ && !dragging_) {
        thumbHover_ = false;
        Invalidate();
      }
      UIControl::OnMessage(message);
      return;
    default:
      UIControl::OnMessage(message);
  }
}
