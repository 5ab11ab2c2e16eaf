#pragma once

#include <functional>
#include <string>

#include "ui/core/UIRender.h"
#include "ui/core/UIRenderState.h"

// The font for a font description; answers the default font rather than null when it can.
using UIFontLookup = std::function<Gdiplus::Font*(const std::wstring& fontDesc)>;

// "txt:" painter: the control's text in the state's font and colour, aligned in the control's
// rectangle less the inset. Single line unless "multi"; "trim"/"ntrim" choose the trimming.
// With "keyword" a text holding "<text" is drawn as keyword markup (one line of runs; nothing
// when it does not parse); otherwise "shadow" puts a dark halo under the text.
//
// Fonts are borrowed from the host window's font cache at each draw and never kept.
class UIRenderText : public UIRender {
 public:
  // UIRender:
  bool SetAttribute(const std::wstring& name, const std::wstring& value) override;
  void Draw(UIControl* control, Gdiplus::Graphics& graphics) override;
  // GDI+ cuts text at its layout box, the rectangle less the inset; keyword runs are laid out
  // beyond it.
  bool StaysInside(const UIControl* control) const override {
    return !keyword_ && inset_.left >= 0 && inset_.top >= 0 && inset_.right >= 0 &&
           inset_.bottom >= 0;
  }

  // Draws `text` into `r` (the control's rectangle) as the state `s` shows it.
  void Paint(Gdiplus::Graphics& g,
             const Gdiplus::Rect& r,
             RenderState s,
             const std::wstring& text,
             const UIFontLookup& fonts) const;

  // The state's font description, the normal one when the state has none.
  const std::wstring& FontDesc(RenderState s) const;
  Gdiplus::ARGB colour(RenderState s) const { return colour_[StateIndex(s)]; }
  // `r` less the inset.
  Gdiplus::Rect TextRect(const Gdiplus::Rect& r) const;
  int horz() const { return horz_; }
  int vert() const { return vert_; }
  bool single_line() const { return singleLine_; }
  bool keyword() const { return keyword_; }
  // The control drawn last; refreshed at each draw, not owned.
  UIControl* owner() const { return owner_; }

 private:
  void PaintMarkup(Gdiplus::Graphics& g,
                   const Gdiplus::Rect& rect,
                   const std::wstring& markup,
                   const UIFontLookup& fonts) const;
  void PaintShadow(Gdiplus::Graphics& g,
                   const Gdiplus::Rect& rect,
                   const std::wstring& text,
                   const Gdiplus::Font* font,
                   const Gdiplus::StringFormat& format) const;

  UIControl* owner_ = nullptr;
  bool singleLine_ = true;
  bool shadow_ = false;
  bool keyword_ = false;
  int trimming_ = Gdiplus::StringTrimmingNone;
  Gdiplus::ARGB colour_[4] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF3C3C3C};
  std::wstring font_[4];
  int horz_ = 0;  // 0 near, 1 centre, 2 far
  int vert_ = 1;
  RECT inset_ = {};
};

// Replaces every pixel of `bitmap` (32-bit ARGB) by black whose alpha is the sum, capped at 255,
// of the blue bytes in the window from 3 columns left to its own column and from its own row to
// 4 rows below. Drawn under text written in 0xFE101010 it makes the text's dark halo.
void ApplyShadowHalo(Gdiplus::Bitmap& bitmap);
