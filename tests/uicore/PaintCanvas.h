#pragma once

#include <functional>
#include <string>

#include "sys/GdiplusApi.h"

// A transparent 32-bit ARGB bitmap with a graphics on it, for tests that paint and read pixels
// back. GDI+ must be running for its whole life.
class PaintCanvas {
 public:
  PaintCanvas(int width, int height);

  Gdiplus::Graphics& g() { return graphics_; }
  Gdiplus::Bitmap& bitmap() { return bitmap_; }
  // Non-premultiplied ARGB of one pixel.
  Gdiplus::ARGB At(int x, int y);
  // Bounding box of the pixels `ink` accepts; empty (0, 0, 0, 0) when there are none.
  Gdiplus::Rect Bounds(const std::function<bool(Gdiplus::ARGB)>& ink);
  Gdiplus::Rect InkBounds() {
    return Bounds([](Gdiplus::ARGB c) { return (c >> 24) != 0; });
  }
  // The colour of the most opaque pixel (with alpha forced to 0xFF), 0 for an empty canvas.
  Gdiplus::ARGB StrongestColour();

 private:
  Gdiplus::Bitmap bitmap_;
  Gdiplus::Graphics graphics_;
};

// Whether two colours agree channel by channel within `tolerance`.
bool NearColour(Gdiplus::ARGB a, Gdiplus::ARGB b, int tolerance = 2);

// The bitmap as PNG bytes, empty on failure.
std::string EncodePng(Gdiplus::Bitmap& bitmap);
