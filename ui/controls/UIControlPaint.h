#pragma once

#include <string>

#include "ui/core/UIRenderState.h"
#include "ui/core/UIRenderText.h"

class SkinBitmap;
class UIControl;
class UIRender;

// Small painting helpers the basic controls share. UI thread only.

// The look `control` shows now (disabled, pressed or selected, hover, normal).
RenderState ControlRenderState(const UIControl* control);
// Fonts from the control's host window, the process default when it has none.
UIFontLookup HostFontLookup(const UIControl* control);
// Applies "name=value|name=value" items to `render` the way a descriptor's items are applied.
void ApplyDescriptorItems(UIRender* render, const std::wstring& items);
// The pack image at `path` through the process-wide loader; null when absent. Not owned.
SkinBitmap* LoadSkinImage(const std::wstring& path);

// Four image painters, one per frame of a strip of four equal frames laid out across
// (`vertical` false) or down. Entries stay null when the image is missing. Each painter holds
// one reference that the caller takes over.
void MakeStripPainters(const std::wstring& path, bool vertical, UIRender* out[4]);
// Releases what `slot` holds and stores `render` (taking over its reference).
void ReplaceRender(UIRender*& slot, UIRender* render);
