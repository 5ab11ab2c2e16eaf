#pragma once

#include <cstdint>
#include <string>

#include "sys/GdiplusApi.h"

// Drawing helpers shared by the painters and the controls. Rectangles are (x, y, width, height)
// in the graphics' current units (pixels, the origin translated to the control); images are
// drawn in pixel units. GDI+ failures stay in the graphics' last status and draw nothing; no
// helper keeps a GDI+ object after it returns. UI thread only.

void FillRect(Gdiplus::Graphics& g, const Gdiplus::Rect& r, Gdiplus::ARGB colour);

// While alive, `graphics` is known to draw on `bits`, a top-down 32-bit premultiplied surface of
// `width` x `height` with no padding: opaque fills of a large rectangle write those pixels
// themselves instead of going through GDI+, which under Wine fills a bitmap pixel by pixel
// (about 10 ms for a window's background). The result is the same. Scopes nest.
class ScopedDirectSurface {
 public:
  ScopedDirectSurface(Gdiplus::Graphics& graphics, uint32_t* bits, int width, int height);
  ~ScopedDirectSurface();
  ScopedDirectSurface(const ScopedDirectSurface&) = delete;
  ScopedDirectSurface& operator=(const ScopedDirectSurface&) = delete;

 private:
  friend bool FillRectDirect(Gdiplus::Graphics&, const Gdiplus::Rect&, Gdiplus::ARGB);
  Gdiplus::Graphics& graphics_;
  uint32_t* bits_;
  int width_;
  int height_;
  ScopedDirectSurface* outer_;
};
// The direct fill alone: false, drawing nothing, unless `g` has a direct surface, `colour` is
// opaque, the units are pixels, the transform a whole-pixel translation and the clip none or
// one rectangle.
bool FillRectDirect(Gdiplus::Graphics& g, const Gdiplus::Rect& r, Gdiplus::ARGB colour);
// A 1-pixel pen on (x, y, width - 1, height - 1): the outermost pixels of `r`.
void DrawRectBorder(Gdiplus::Graphics& g, const Gdiplus::Rect& r, Gdiplus::ARGB colour);
// Anti-aliased; the graphics' modes are restored afterwards.
void FillRoundRect(Gdiplus::Graphics& g, const Gdiplus::Rect& r, int radius, Gdiplus::ARGB colour);
// Anti-aliased 1.0-wide stroke of the rounded rectangle `r` itself.
void StrokeRoundRect(Gdiplus::Graphics& g,
                     const Gdiplus::Rect& r,
                     int radius,
                     Gdiplus::ARGB colour);
// Corner arcs and edges clockwise from the top-left arc.
void AddRoundRectPath(Gdiplus::GraphicsPath& path, const Gdiplus::Rect& r, int radius);

// `src` of the image stretched onto `dst`.
void DrawImageStretched(Gdiplus::Graphics& g,
                        Gdiplus::Image* image,
                        const Gdiplus::Rect& dst,
                        const Gdiplus::Rect& src);
// Three parts of `src` a third of its width each: the outer thirds keep their width, the middle
// third stretches. A `dst` narrower than `src` gets `src` stretched whole.
void DrawImageThreeH(Gdiplus::Graphics& g,
                     Gdiplus::Image* image,
                     const Gdiplus::Rect& dst,
                     const Gdiplus::Rect& src);
// The same with rows.
void DrawImageThreeV(Gdiplus::Graphics& g,
                     Gdiplus::Image* image,
                     const Gdiplus::Rect& dst,
                     const Gdiplus::Rect& src);
// Nine-grid of the whole image: corners of a third of its shorter side drawn unscaled, edges
// stretched from the strips beside them, the centre from the image's middle pixel.
void DrawImageNineGrid(Gdiplus::Graphics& g, Gdiplus::Image* image, const Gdiplus::Rect& dst);
// Three parts of the whole image, each a third of the narrower of `dst` and the image.
void DrawImageThreeHWhole(Gdiplus::Graphics& g, Gdiplus::Image* image, const Gdiplus::Rect& dst);

// Width and height of one line of `text` in `font` (typographic, trailing spaces counted), each
// rounded down after adding 1. (0, 0) without a font.
Gdiplus::Size MeasureText(const std::wstring& text, const Gdiplus::Font* font);
Gdiplus::Size MeasureText(Gdiplus::Graphics& g,
                          const std::wstring& text,
                          const Gdiplus::Font* font);

// The clip's bounding box in whole pixels.
Gdiplus::Rect ClipBounds(Gdiplus::Graphics& g);
