#include "ui/core/UIFont.h"

#include <cwctype>

FontDesc ParseFontDesc(const std::wstring& fontDesc) {
  FontDesc f;
  if (fontDesc.empty())
    return f;
  int size = 0;
  size_t i = 0;
  while (i < fontDesc.size() && fontDesc[i] >= L'0' && fontDesc[i] <= L'9' && size < 100000)
    size = size * 10 + (fontDesc[i++] - L'0');
  f.pixels = size;
  for (wchar_t c : fontDesc) {
    switch (std::towlower(c)) {
      case L'b': f.style |= Gdiplus::FontStyleBold; break;
      case L'i': f.style |= Gdiplus::FontStyleItalic; break;
      case L'u': f.style |= Gdiplus::FontStyleUnderline; break;
      case L's': f.style |= Gdiplus::FontStyleStrikeout; break;
      default: break;
    }
  }
  return f;
}

const std::wstring& UIFontFace() {
  static const std::wstring face = [] {
    LOGFONTW lf = {};
    if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0) && lf.lfFaceName[0])
      return std::wstring(lf.lfFaceName);
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf) && lf.lfFaceName[0])
      return std::wstring(lf.lfFaceName);
    return std::wstring();
  }();
  return face;
}

std::unique_ptr<Gdiplus::Font> CreateUIFont(const std::wstring& fontDesc) {
  FontDesc f = ParseFontDesc(fontDesc);
  auto font = std::make_unique<Gdiplus::Font>(UIFontFace().c_str(), static_cast<Gdiplus::REAL>(f.pixels),
                                              f.style, Gdiplus::UnitPixel);
  if (font->GetLastStatus() == Gdiplus::Ok)
    return font;
  font = std::make_unique<Gdiplus::Font>(Gdiplus::FontFamily::GenericSansSerif(),
                                         static_cast<Gdiplus::REAL>(f.pixels), f.style,
                                         Gdiplus::UnitPixel);
  return font->GetLastStatus() == Gdiplus::Ok ? std::move(font) : nullptr;
}

namespace {
std::unique_ptr<Gdiplus::Font>& DefaultFontSlot() {
  static std::unique_ptr<Gdiplus::Font> font;
  return font;
}
}  // namespace

Gdiplus::Font* DefaultUIFont() {
  auto& slot = DefaultFontSlot();
  if (!slot)
    slot = CreateUIFont(std::wstring());
  return slot.get();
}

void ReleaseDefaultUIFont() {
  DefaultFontSlot().reset();
}
