#include "ui/core/UIContainer.h"

#include <algorithm>

#include "ui/core/UIFont.h"

namespace {

struct PaintPass {
  Gdiplus::Graphics& graphics;
  // The pass began without a clip (the whole surface): Wine's GDI+ draws images several times
  // faster under no clip than under any, so children that cannot spill are painted without.
  bool unbounded;
};

// `clip` is the clip's bounds in `control`'s coordinates; `clipped` tells whether a clip is in
// force. While every clip on the way down is a rectangle, the child's clip is set as one
// rectangle instead of being intersected with the current region: Wine's GDI+ fills far faster
// under a plain rectangle than under a combined region. A rounded "rgn" clip turns that off for
// its subtree. A child that lies wholly inside the clip and paints nothing beyond its own
// rectangle needs no clip of its own: any clip holding its rectangle shows the same.
void PaintSubtree(PaintPass& pass,
                  UIControl* control,
                  const Gdiplus::Rect& clip,
                  bool rectangular,
                  bool clipped,
                  int depth) {
  if (!control->IsVisible())
    return;
  Gdiplus::Graphics& graphics = pass.graphics;
  control->Paint(graphics);
  if (++depth >= kMaxTreeDepth)
    return;
  for (UIControl* child : control->GetChildren()) {
    if (!child->IsVisible())
      continue;
    const RECT& r = child->GetRect();
    Gdiplus::Rect box(r.left, r.top, r.right - r.left, r.bottom - r.top);
    Gdiplus::Rect inside;
    if (!Gdiplus::Rect::Intersect(inside, box, clip))
      continue;
    Gdiplus::GraphicsState state = graphics.Save();
    bool childClipped = true;
    if (!rectangular) {
      graphics.IntersectClip(box);
    } else if (inside.Equals(box) && child->GetRegionRadius() <= 0 && child->PaintStaysInside()) {
      childClipped = !pass.unbounded;
      if (clipped && pass.unbounded)
        graphics.ResetClip();
    } else {
      graphics.SetClip(inside, Gdiplus::CombineModeReplace);
    }
    graphics.TranslateTransform(static_cast<Gdiplus::REAL>(r.left),
                                static_cast<Gdiplus::REAL>(r.top));
    child->PaintClip(graphics);
    inside.Offset(-r.left, -r.top);
    PaintSubtree(pass, child, inside, rectangular && child->GetRegionRadius() <= 0, childClipped,
                 depth);
    graphics.Restore(state);
  }
}

}  // namespace

void PaintControlTree(UIControl* control, Gdiplus::Graphics& graphics) {
  Gdiplus::Region current;
  graphics.GetClip(&current);
  PaintPass pass{graphics, current.IsInfinite(&graphics) != FALSE};
  Gdiplus::Rect clip;
  graphics.GetClipBounds(&clip);
  // An unclipped graphics reports a huge box; the arithmetic below stays within int range.
  Gdiplus::Rect limit(-0x3FFFFFFF, -0x3FFFFFFF, 0x7FFFFFFE, 0x7FFFFFFE);
  Gdiplus::Rect::Intersect(clip, clip, limit);
  PaintSubtree(pass, control, clip, true, !pass.unbounded, 0);
}

UIContainer::UIContainer() = default;

UIContainer::~UIContainer() = default;

void UIContainer::AddTracking(uint32_t handle) {
  if (std::find(tracking_.begin(), tracking_.end(), handle) == tracking_.end())
    tracking_.push_back(handle);
}

void UIContainer::RemoveTracking(uint32_t handle) {
  tracking_.erase(std::remove(tracking_.begin(), tracking_.end(), handle), tracking_.end());
}

Gdiplus::Font* UIContainer::GetFont(const std::wstring& fontDesc) {
  if (fontDesc.empty())
    return DefaultUIFont();
  auto it = fonts_.find(fontDesc);
  if (it != fonts_.end())
    return it->second.get();
  std::unique_ptr<Gdiplus::Font> font = CreateUIFont(fontDesc);
  if (!font)
    return DefaultUIFont();
  Gdiplus::Font* result = font.get();
  fonts_.emplace(fontDesc, std::move(font));
  return result;
}

void UIContainer::Paint(Gdiplus::Graphics& graphics) {
  PaintControlTree(&root_, graphics);
}
