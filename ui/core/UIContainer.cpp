#include "ui/core/UIContainer.h"

#include <algorithm>

#include "ui/core/UIFont.h"

void PaintControlTree(UIControl* control, Gdiplus::Graphics& graphics) {
  if (!control->IsVisible())
    return;
  control->Paint(graphics);
  Gdiplus::Rect clip;
  graphics.GetClipBounds(&clip);
  for (UIControl* child : control->GetChildren()) {
    if (!child->IsVisible())
      continue;
    const RECT& r = child->GetRect();
    Gdiplus::Rect box(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (!box.IntersectsWith(clip))
      continue;
    Gdiplus::GraphicsState state = graphics.Save();
    graphics.IntersectClip(box);
    graphics.TranslateTransform(static_cast<Gdiplus::REAL>(r.left),
                                static_cast<Gdiplus::REAL>(r.top));
    child->PaintClip(graphics);
    PaintControlTree(child, graphics);
    graphics.Restore(state);
  }
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

Gdiplus::Font* UIContainer::GetFont(const std::wstring& spec) {
  if (spec.empty())
    return DefaultUIFont();
  auto it = fonts_.find(spec);
  if (it != fonts_.end())
    return it->second.get();
  std::unique_ptr<Gdiplus::Font> font = CreateUIFont(spec);
  if (!font)
    return DefaultUIFont();
  Gdiplus::Font* result = font.get();
  fonts_.emplace(spec, std::move(font));
  return result;
}

void UIContainer::Paint(Gdiplus::Graphics& graphics) {
  PaintControlTree(&root_, graphics);
}
