#pragma once

#include "ui/core/UIControl.h"

// A thin overlay bar with a draggable pill-shaped thumb and no track. Lengths are pixels: the
// total scrolled length, the page shown, the position of the page's start (0..total - page).
// Fires "scollposchanged" (0, position) whenever the position changes and, when a drag ends,
// "scollposchanged" then "scollendtrack" (0, position). A press on the track beside the thumb
// moves by one page. UI thread only.
class UIScrollBar : public UIControl {
 public:
  static constexpr Gdiplus::ARGB kThumbNormal = 0xB494A1AF;
  static constexpr Gdiplus::ARGB kThumbHover = 0xD294A1AF;
  static constexpr Gdiplus::ARGB kThumbPressed = 0xFF94A1AF;
  static constexpr int kMinThumb = 32;

  UIScrollBar() = default;

  // UIControl:
  const char* GetClassName() const override { return "UIScrollBar"; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void Paint(Gdiplus::Graphics& graphics) override;
  void OnMessage(UIMessage& message) override;

  // Re-clamps the position silently; repaints when total or page changed.
  void SetRange(int total, int page);
  // Clamped to 0..max(0, total - page); fires "scollposchanged" when it changes.
  void SetPosition(int position);
  int GetPosition() const { return position_; }
  int GetTotal() const { return total_; }
  int GetPage() const { return page_; }
  int MaxPosition() const { return total_ > page_ ? total_ - page_ : 0; }
  bool IsDragging() const { return dragging_; }
  // The thumb in the bar's own coordinates; empty when the page holds everything.
  RECT ThumbRect() const;

 private:
  int TrackLength() const { return vertical_ ? GetHeight() : GetWidth(); }
  // The pointer of a mouse message along the bar's axis, in the bar's coordinates.
  int AlongAxis(const UIMessage& message) const;
  bool OverThumb(const UIMessage& message) const;
  void SetThumbHover(bool hover);

  int total_ = 0;
  int page_ = 0;
  int position_ = 0;
  bool vertical_ = true;
  bool dragging_ = false;
  bool thumbHover_ = false;
  int grab_ = 0;
};
