#include "ui/core/UIRender.h"

#include <string_view>

#include "ui/core/IUIContainer.h"
#include "ui/core/UIControl.h"
#include "ui/core/UIFont.h"
#include "ui/core/UIRenderColor.h"
#include "ui/core/UIRenderImg.h"
#include "ui/core/UIRenderText.h"
#include "ui/core/UIStyleTable.h"

using namespace std::string_view_literals;

namespace {

RenderState StateOf(const UIControl* control) {
  return SelectRenderState(control->IsEnabled(), control->GetState(), control->IsSelected());
}

Gdiplus::Rect OwnRect(const UIControl* control) {
  return Gdiplus::Rect(0, 0, control->GetWidth(), control->GetHeight());
}

}  // namespace

RenderState SelectRenderState(bool enabled, unsigned state, bool selected) {
  if (!enabled)
    return RenderState::Disabled;
  if ((state & (UIControl::kStatePressed | UIControl::kStateActive)) || selected)
    return RenderState::Pressed;
  if (state & UIControl::kStateHover)
    return RenderState::Hover;
  return RenderState::Normal;
}

UIRender* CreateRender(const std::wstring& descriptor) {
  UIRender* render = nullptr;
  if (descriptor.compare(0, 4, L"clr:"sv) == 0)
    render = new UIRenderColor;
  else if (descriptor.compare(0, 4, L"grd:"sv) == 0)
    render = new UIGradientColor;
  else if (descriptor.compare(0, 4, L"img:"sv) == 0)
    render = new UIRenderImg;
  else if (descriptor.compare(0, 4, L"txt:"sv) == 0)
    render = new UIRenderText;
  else
    return nullptr;

  // Name and value are copied into the same two strings item after item, and descriptor after
  // descriptor (painters are made on the UI thread only): most values outgrow a string's own
  // small buffer.
  static std::wstring name, value;
  size_t start = 4;
  while (start <= descriptor.size()) {
    size_t bar = descriptor.find(L'|', start);
    size_t end = bar == std::wstring::npos ? descriptor.size() : bar;
    size_t eq = descriptor.find(L'=', start);
    if (eq < end && descriptor.find(L'=', eq + 1) >= end) {
      name.assign(descriptor, start, eq - start);
      value.assign(descriptor, eq + 1, end - eq - 1);
      if (name == L"css"sv) {
        if (const UIStyle* style = FindStyle(value)) {
          for (const auto& pair : *style)
            render->SetAttribute(pair.first, pair.second);
        }
      } else {
        render->SetAttribute(name, value);
      }
    }
    if (bar == std::wstring::npos)
      break;
    start = bar + 1;
  }
  return render;
}

void UIRenderColor::Draw(UIControl* control, Gdiplus::Graphics& graphics) {
  Paint(graphics, OwnRect(control), StateOf(control));
}

void UIRenderImg::Draw(UIControl* control, Gdiplus::Graphics& graphics) {
  Paint(graphics, OwnRect(control));
}

void UIRenderText::Draw(UIControl* control, Gdiplus::Graphics& graphics) {
  owner_ = control;
  IUIContainer* host = control->GetHost();
  if (!host)
    OutputDebugStringW(L"GetFont error");
  UIFontLookup fonts = [host](const std::wstring& fontDesc) -> Gdiplus::Font* {
    Gdiplus::Font* font = host ? host->GetFont(fontDesc) : nullptr;
    return font ? font : DefaultUIFont();
  };
  Paint(graphics, OwnRect(control), StateOf(control), control->GetText(), fonts);
}
