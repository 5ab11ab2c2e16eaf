#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Readers of the attribute values that layouts and render descriptors write. Each has a neutral
// answer for text it cannot read; none fails.

// "white", "black" (the theme's dark grey 0xFF60656F), hex "[0x][#]rrggbb" (alpha 0xFE for one to
// seven digits), "aarrggbb", or decimal "r,g,b" / "a,r,g,b". Empty text is 0 (transparent).
uint32_t ParseColor(const std::wstring& text);

// True for exactly "true", "TRUE", "1" and "yes".
bool ParseBool(const std::wstring& text);

// Every position, size, inset and radius a layout writes is held within this many pixels either
// way ("width=2000000000" is 32767), so that sums of a few of them stay far inside int; sums
// over many controls saturate (AddSaturated).
constexpr int kMaxLayoutValue = 32767;

// A decimal number of pixels, held within +-kMaxLayoutValue.
int ParseCoordinate(const std::wstring& text);

// a + b, held within int.
int AddSaturated(int a, int b);

// "x,y,width,height" into `rect` as (x, y, x + width, y + height), each number held within
// +-kMaxLayoutValue. Any other number of parts leaves `rect` as it was and answers false.
bool ParseRect(const std::wstring& text, RECT* rect);

// Up to four "left,top,right,bottom" insets, each held within +-kMaxLayoutValue; missing ones
// are 0.
RECT ParseInsets(const std::wstring& text);
