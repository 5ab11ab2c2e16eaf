#pragma once

#include <memory>
#include <string>

#include "sys/GdiplusApi.h"

// A font description ("14", "16b", "12bu"): leading decimal size in pixels, then style letters
// anywhere (b bold, i italic, u underline, s strikeout, either case). Empty means 13 px regular.
struct FontDesc {
  int pixels = 13;
  int style = Gdiplus::FontStyleRegular;  // Gdiplus::FontStyle bits
};

FontDesc ParseFontDesc(const std::wstring& fontDesc);

// The face every font of the skin uses: the system's icon-title font, else the default GUI
// font's face.
const std::wstring& UIFontFace();

// A new font for the description in the skin's face, or in the generic sans-serif family
// when that face cannot be made. Needs GDI+ started; null only when GDI+ fails outright.
std::unique_ptr<Gdiplus::Font> CreateUIFont(const std::wstring& fontDesc);

// The process-wide default font (empty description), made on first use. UI thread only.
// ReleaseDefaultUIFont drops it; the program calls it before GDI+ shuts down.
Gdiplus::Font* DefaultUIFont();
void ReleaseDefaultUIFont();
