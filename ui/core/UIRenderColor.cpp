#include "ui/core/UIRenderColor.h"

#include <string_view>

#include "sys/StringFormat.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIValueParse.h"

using namespace std::string_view_literals;

namespace {

// Name -> the variant it sets; -1 sets all four.
struct VariantName {
  const wchar_t* name;
  int variant;
};

const VariantName kFillNames[] = {{L"clr", -1}, {L"clrn", 0}, {L"clrh", 1}, {L"clr1", 1},
                                  {L"clrp", 2}, {L"clr2", 2}, {L"clrd", 3}, {L"clr3", 3}};
const VariantName kBorderNames[] = {{L"border", -1}, {L"bordern", 0}, {L"borderh", 1},
                                    {L"border1", 1}, {L"borderp", 2}, {L"border2", 2},
                                    {L"borderd", 3}, {L"border3", 3}};

template <size_t N>
bool SetVariant(const VariantName (&names)[N],
                const std::wstring& name,
                Gdiplus::ARGB value,
                Gdiplus::ARGB* variants) {
  for (const VariantName& v : names) {
    if (name != v.name)
      continue;
    if (v.variant < 0)
      variants[0] = variants[1] = variants[2] = variants[3] = value;
    else
      variants[v.variant] = value;
    return true;
  }
  return false;
}

}  // namespace

bool UIRenderColor::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"round"sv) {
    radius_ = ParseCoordinate(value);
    return true;
  }
  if (name.compare(0, 3, L"clr") == 0)
    return SetVariant(kFillNames, name, ParseColor(value), fill_);
  if (name.compare(0, 6, L"border") == 0)
    return SetVariant(kBorderNames, name, ParseColor(value), border_);
  return false;
}

void UIRenderColor::Paint(Gdiplus::Graphics& g, const Gdiplus::Rect& r, RenderState s) const {
  Gdiplus::ARGB fill = fill_[StateIndex(s)];
  Gdiplus::ARGB border = border_[StateIndex(s)];
  // A transparent fill changes no pixel; Wine's GDI+ is slow enough for the saving to count.
  bool visibleFill = (fill >> 24) != 0;
  if (radius_ <= 0) {
    if (visibleFill)
      FillRect(g, r, fill);
    if (border)
      DrawRectBorder(g, r, border);
    return;
  }
  if (visibleFill)
    FillRoundRect(g, r, radius_, fill);
  if (border)
    StrokeRoundRect(g, Gdiplus::Rect(r.X, r.Y, r.Width - 1, r.Height - 1), radius_, border);
}

bool UIGradientColor::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"mode"sv) {
    mode_ = ParseDecimal(value);
    return true;
  }
  return UIRenderColor::SetAttribute(name, value);
}

void UIGradientColor::Paint(Gdiplus::Graphics& g, const Gdiplus::Rect& r, RenderState) const {
  if (r.Width <= 0 || r.Height <= 0 || mode_ < 0 || mode_ > 3)
    return;
  // The brush spans the whole rectangle, so a vertical gradient runs over the full height.
  Gdiplus::LinearGradientBrush brush(r, Gdiplus::Color(fill_[0]), Gdiplus::Color(fill_[1]),
                                     static_cast<Gdiplus::LinearGradientMode>(mode_));
  brush.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  g.FillRectangle(&brush, r);
}
