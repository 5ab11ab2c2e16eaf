#include "ui/controls/UILabel.h"

#include <algorithm>
#include <typeinfo>

#include "sys/StringFormat.h"
#include "ui/controls/UIControlPaint.h"
#include "ui/core/UIRenderText.h"
#include "ui/core/UIValueParse.h"

UILabel::UILabel() : textRender_(new UIRenderText) {}

UILabel::~UILabel() {
  textRender_->Release();
}

bool UILabel::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  bool known = true;
  if (textRender_->SetAttribute(name, value)) {
    Invalidate();
  } else if (name == L"txtattr") {
    ApplyDescriptorItems(textRender_, value);
    Invalidate();
  } else if (name == L"xstart") {
    xStart_ = ParseCoordinate(value);
    Invalidate();
  } else if (name == L"xend") {
    xEnd_ = ParseCoordinate(value);
    Invalidate();
  } else if (name == L"alias") {
    alias_ = ParseBool(value);
    Invalidate();
  } else {
    known = false;
  }
  return UIControl::ApplyAttribute(name, value) || known;
}

RECT UILabel::MarginRect() const {
  RECT r = {xStart_, 0, GetWidth() - xEnd_, GetHeight()};
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

RECT UILabel::GetTextRect() const {
  RECT m = MarginRect();
  Gdiplus::Rect t =
      textRender_->TextRect(Gdiplus::Rect(m.left, m.top, m.right - m.left, m.bottom - m.top));
  RECT r = {t.X, t.Y, t.X + t.Width, t.Y + t.Height};
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

void UILabel::PaintTextIn(Gdiplus::Graphics& graphics, const RECT& area) {
  if (text_.empty() || area.right <= area.left || area.bottom <= area.top)
    return;
  Gdiplus::GraphicsState saved = 0;
  if (alias_) {
    saved = graphics.Save();
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  }
  textRender_->Paint(
      graphics, Gdiplus::Rect(area.left, area.top, area.right - area.left, area.bottom - area.top),
      ControlRenderState(this), text_, HostFontLookup(this));
  if (alias_)
    graphics.Restore(saved);
}

bool UILabel::LabelStaysInside() const {
  return BackgroundStaysInside() && xStart_ >= 0 && xEnd_ >= 0 && textRender_->StaysInside(this);
}

bool UILabel::PaintStaysInside() const {
  return typeid(*this) == typeid(UILabel) && LabelStaysInside();
}

void UILabel::Paint(Gdiplus::Graphics& graphics) {
  UIControl::Paint(graphics);
  PaintTextIn(graphics, MarginRect());
}
