#include "ui/controls/UIScrollBar.h"

#include <algorithm>

#include "ui/core/UIGraphics.h"
#include "ui/core/UIValueParse.h"

bool UIScrollBar::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"horz") {
    vertical_ = !ParseBool(value);
    Invalidate();
    return true;
  }
  return UIControl::ApplyAttribute(name, value);
}

void UIScrollBar::SetRange(int total, int page) {
  total = std::max(total, 0);
  page = std::max(page, 0);
  if (total != total_ || page != page_) {
    total_ = total;
    page_ = page;
    Invalidate();
  }
  position_ = std::min(std::max(position_, 0), MaxPosition());
}

void UIScrollBar::SetPosition(int position) {
  position = std::min(std::max(position, 0), MaxPosition());
  if (position == position_)
    return;
  position_ = position;
  Invalidate();
  FireEvent("scollposchanged", 0, position_);
}

RECT UIScrollBar::ThumbRect() const {
  int track = TrackLength();
  if (page_ >= total_ || total_ <= 0 || track <= 0)
    return RECT{};
  // 64-bit products: a long list times a tall bar overflows int.
  int length = static_cast<int>(static_cast<long long>(page_) * track / total_);
  length = std::min(std::max(length, kMinThumb), track);
  int offset = static_cast<int>(static_cast<long long>(track) * position_ / total_);
  if (offset + length > track)
    offset = track - length;
  if (vertical_)
    return RECT{0, offset, GetWidth(), offset + length};
  return RECT{offset, 0, offset + length, GetHeight()};
}

void UIScrollBar::Paint(Gdiplus::Graphics& graphics) {
  UIControl::Paint(graphics);
  RECT t = ThumbRect();
  if (IsRectEmpty(&t))
    return;
  Gdiplus::Rect r(t.left, t.top, t.right - t.left, t.bottom - t.top);
  int thickness = vertical_ ? r.Width : r.Height;
  Gdiplus::ARGB colour = dragging_ ? kThumbPressed : thumbHover_ ? kThumbHover : kThumbNormal;
  FillRoundRect(graphics, r, thickness / 2, colour);
}

int UIScrollBar::AlongAxis(const UIMessage& message) const {
  RECT me = WindowRect();
  return vertical_ ? message.y - me.top : message.x - me.left;
}

bool UIScrollBar::OverThumb(const UIMessage& message) const {
  RECT t = ThumbRect();
  RECT me = WindowRect();
  POINT p = {message.x - me.left, message.y - me.top};
  return PtInRect(&t, p) != FALSE;
}

void UIScrollBar::SetThumbHover(bool hover) {
  if (hover == thumbHover_)
    return;
  thumbHover_ = hover;
  Invalidate();
}

void UIScrollBar::OnMessage(UIMessage& message) {
  IUIContainer* host = GetHost();
  switch (message.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      RECT t = ThumbRect();
      if (IsRectEmpty(&t))
        return;
      int along = AlongAxis(message);
      int start = vertical_ ? t.top : t.left;
      int end = vertical_ ? t.bottom : t.right;
      if (along >= start && along < end) {
        grab_ = along - start;
        dragging_ = true;
        if (host)
          host->SetCapture(GetHandle());
        Invalidate();
      } else {
        SetPosition(position_ + (along < start ? -page_ : page_));
      }
      return;
    }
    case WM_MOUSEMOVE:
      if (dragging_) {
        int offset = AlongAxis(message) - grab_;
        int track = TrackLength();
        if (offset < 0 || track <= 0)
          SetPosition(0);
        else
          SetPosition(static_cast<int>(static_cast<long long>(offset) * total_ / track));
      } else {
        SetThumbHover(OverThumb(message));
      }
      return;
    case WM_LBUTTONUP:
      if (dragging_) {
        UIRef<UIControl> keep(this);
        dragging_ = false;
        if (host && host->GetCaptureHandle() == GetHandle())
          host->ReleaseCapture();
        FireEvent("scollposchanged", 0, position_);
        FireEvent("scollendtrack", 0, position_);
        Invalidate();
      }
      return;
    case WM_CAPTURECHANGED:
      if (dragging_) {
        dragging_ = false;
        Invalidate();
      }
      return;
    case WM_MOUSELEAVE:
      SetThumbHover(false);
      break;
    default:
      break;
  }
  UIControl::OnMessage(message);
}
