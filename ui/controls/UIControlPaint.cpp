#include "ui/controls/UIControlPaint.h"

#include "ui/core/IUIContainer.h"
#include "ui/core/SkinBitmap.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIFont.h"
#include "ui/core/UIRenderImg.h"
#include "ui/core/UIResLoader.h"

RenderState ControlRenderState(const UIControl* control) {
  return SelectRenderState(control->IsEnabled(), control->GetState(), control->IsSelected());
}

UIFontLookup HostFontLookup(const UIControl* control) {
  IUIContainer* host = control->GetHost();
  return [host](const std::wstring& fontDesc) -> Gdiplus::Font* {
    Gdiplus::Font* font = host ? host->GetFont(fontDesc) : nullptr;
    return font ? font : DefaultUIFont();
  };
}

void ApplyDescriptorItems(UIRender* render, const std::wstring& items) {
  size_t start = 0;
  while (start <= items.size()) {
    size_t bar = items.find(L'|', start);
    std::wstring item = items.substr(start, bar == std::wstring::npos ? bar : bar - start);
    size_t eq = item.find(L'=');
    if (eq != std::wstring::npos)
      render->SetAttribute(item.substr(0, eq), item.substr(eq + 1));
    if (bar == std::wstring::npos)
      break;
    start = bar + 1;
  }
}

SkinBitmap* LoadSkinImage(const std::wstring& path) {
  UIResLoader* loader = GetResLoader();
  return loader && !path.empty() ? loader->LoadImage(path) : nullptr;
}

void MakeStripPainters(const std::wstring& path, bool vertical, UIRender* out[4]) {
  for (int i = 0; i < 4; ++i)
    out[i] = nullptr;
  UIResLoader* loader = GetResLoader();
  int w = 0, h = 0;
  // The frames decode the image when one is first painted.
  if (!loader || path.empty() || !loader->ImageSize(path, &w, &h))
    return;
  int fw = vertical ? w : w / 4;
  int fh = vertical ? h / 4 : h;
  if (fw < 1 || fh < 1)
    return;
  for (int i = 0; i < 4; ++i) {
    auto* frame = new UIRenderImg;
    frame->SetAttribute(L"file", path);
    int x = vertical ? 0 : i * fw;
    int y = vertical ? i * fh : 0;
    frame->SetAttribute(L"src", std::to_wstring(x) + L"," + std::to_wstring(y) + L"," +
                                    std::to_wstring(fw) + L"," + std::to_wstring(fh));
    out[i] = frame;
  }
}

void ReplaceRender(UIRender*& slot, UIRender* render) {
  if (slot)
    slot->Release();
  slot = render;
}
