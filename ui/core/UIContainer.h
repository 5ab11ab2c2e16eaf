#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/IUIContainer.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIDropTargetDispatcher.h"

// The root of a window's tree. Lives inside its container (never deleted through Release) and
// answers the host's class name.
class UIRootControl final : public UIControl {
 public:
  const char* GetClassName() const override { return "UIHostWnd"; }

 protected:
  void DeleteSelf() override {}
};

// Paints `control` and, in order, every visible child that meets the clip, each clipped to its
// rectangle (and its "rgn" rounded clip) with the origin moved to its corner.
void PaintControlTree(UIControl* control, Gdiplus::Graphics& graphics);

// The tree side of a window: the root control, the track list, the font cache and the drop
// target dispatcher. The root is a
// member rather than a base so that its virtual operations never mix with the window's. UI
// thread only. Fonts live until ReleaseFonts or destruction, which must come before GDI+ ends.
class UIContainer : public IUIContainer {
 public:
  UIContainer();
  ~UIContainer() override;

  // IUIContainer:
  UIControl* GetRoot() override { return &root_; }
  void AddTracking(uint32_t handle) override;
  void RemoveTracking(uint32_t handle) override;
  Gdiplus::Font* GetFont(const std::wstring& fontDesc) override;
  void Paint(Gdiplus::Graphics& graphics) override;

  void ReleaseFonts() { fonts_.clear(); }
  size_t CachedFontCountForTesting() const { return fonts_.size(); }
  UIDropTargetDispatcher& DropTarget() { return dropTarget_; }

 protected:
  UIRootControl root_;
  std::vector<uint32_t> tracking_;
  UIDropTargetDispatcher dropTarget_{this};

 private:
  std::map<std::wstring, std::unique_ptr<Gdiplus::Font>> fonts_;
};
