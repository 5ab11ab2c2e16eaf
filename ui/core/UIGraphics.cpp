#include "ui/core/UIGraphics.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "sys/Handles.h"

namespace {

using Gdiplus::REAL;
using Gdiplus::Rect;

// Smoothing and interpolation at high quality until destroyed.
class HighQualityScope {
 public:
  explicit HighQualityScope(Gdiplus::Graphics& g) : g_(g), state_(g.Save()) {
    g_.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    g_.SetInterpolationMode(Gdiplus::InterpolationModeHighQuality);
  }
  ~HighQualityScope() { g_.Restore(state_); }
  HighQualityScope(const HighQualityScope&) = delete;
  HighQualityScope& operator=(const HighQualityScope&) = delete;

 private:
  Gdiplus::Graphics& g_;
  Gdiplus::GraphicsState state_;
};

// Slices of a sliced image are stretched strips: nearest-neighbour sampling keeps each strip's
// colours from bleeding into its neighbours (Wine's GDI+ ignores the wrap mode below for that).
class SliceScope {
 public:
  explicit SliceScope(Gdiplus::Graphics& g) : g_(g), state_(g.Save()) {
    g_.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g_.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  }
  ~SliceScope() { g_.Restore(state_); }
  SliceScope(const SliceScope&) = delete;
  SliceScope& operator=(const SliceScope&) = delete;

 private:
  Gdiplus::Graphics& g_;
  Gdiplus::GraphicsState state_;
};

// Parts of a stretched image sample their own edge pixels beyond the source rectangle instead
// of fading into transparency there.
class EdgeClampAttributes {
 public:
  EdgeClampAttributes() { attributes_.SetWrapMode(Gdiplus::WrapModeTileFlipXY); }
  Gdiplus::ImageAttributes* get() { return &attributes_; }

 private:
  Gdiplus::ImageAttributes attributes_;
};

void DrawPart(Gdiplus::Graphics& g,
              Gdiplus::Image* image,
              EdgeClampAttributes& attributes,
              const Rect& dst,
              const Rect& src) {
  if (dst.Width <= 0 || dst.Height <= 0 || src.Width <= 0 || src.Height <= 0)
    return;
  g.DrawImage(image, dst, src.X, src.Y, src.Width, src.Height, Gdiplus::UnitPixel,
              attributes.get());
  // Stretched nearest-neighbour under Wine's GDI+ leaves the first column (or row) of the
  // destination empty at many sizes, a seam through every nine-grid: paint it again from the
  // source's own first column (row), which is not stretched along that axis.
  bool wide = dst.Width != src.Width, tall = dst.Height != src.Height;
  if (wide) {
    g.DrawImage(image, Rect(dst.X, dst.Y, 1, dst.Height), src.X, src.Y, 1, src.Height,
                Gdiplus::UnitPixel, attributes.get());
  }
  if (tall) {
    g.DrawImage(image, Rect(dst.X, dst.Y, dst.Width, 1), src.X, src.Y, src.Width, 1,
                Gdiplus::UnitPixel, attributes.get());
  }
  if (wide && tall) {
    g.DrawImage(image, Rect(dst.X, dst.Y, 1, 1), src.X, src.Y, 1, 1, Gdiplus::UnitPixel,
                attributes.get());
  }
}

// The clip's bounds in whole pixels; false when they are not whole (a shape is then drawn as
// it is, whatever the clip).
bool WholeClipBounds(Gdiplus::Graphics& g, Rect* out) {
  Gdiplus::RectF b;
  if (g.GetClipBounds(&b) != Gdiplus::Ok || b.Width <= 0 || b.Height <= 0 || b.Width > 1e6f ||
      b.Height > 1e6f)
    return false;
  *out = Rect(static_cast<INT>(b.X), static_cast<INT>(b.Y), static_cast<INT>(b.Width),
              static_cast<INT>(b.Height));
  return static_cast<REAL>(out->X) == b.X && static_cast<REAL>(out->Y) == b.Y &&
         static_cast<REAL>(out->Width) == b.Width && static_cast<REAL>(out->Height) == b.Height;
}

// Whether `clip` lies inside `r` shrunk by `inset` on every side.
bool WithinInset(const Rect& clip, const Rect& r, int inset) {
  return clip.X >= r.X + inset && clip.Y >= r.Y + inset &&
         clip.GetRight() <= r.GetRight() - inset && clip.GetBottom() <= r.GetBottom() - inset;
}

Rect WholeImage(Gdiplus::Image* image) {
  return Rect(0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
}

// Three parts along one axis; `horizontal` picks the axis.
void DrawThree(Gdiplus::Graphics& g,
               Gdiplus::Image* image,
               const Rect& dst,
               const Rect& src,
               int part,
               bool horizontal) {
  SliceScope slicing(g);
  EdgeClampAttributes attributes;
  if (horizontal) {
    DrawPart(g, image, attributes, Rect(dst.X, dst.Y, part, dst.Height),
             Rect(src.X, src.Y, part, src.Height));
    DrawPart(g, image, attributes, Rect(dst.X + part, dst.Y, dst.Width - 2 * part, dst.Height),
             Rect(src.X + part, src.Y, part, src.Height));
    DrawPart(g, image, attributes, Rect(dst.X + dst.Width - part, dst.Y, part, dst.Height),
             Rect(src.X + src.Width - part, src.Y, part, src.Height));
  } else {
    DrawPart(g, image, attributes, Rect(dst.X, dst.Y, dst.Width, part),
             Rect(src.X, src.Y, src.Width, part));
    DrawPart(g, image, attributes, Rect(dst.X, dst.Y + part, dst.Width, dst.Height - 2 * part),
             Rect(src.X, src.Y + part, src.Width, part));
    DrawPart(g, image, attributes, Rect(dst.X, dst.Y + dst.Height - part, dst.Width, part),
             Rect(src.X, src.Y + src.Height - part, src.Width, part));
  }
}

ScopedDirectSurface* directSurface = nullptr;

// Below this the queries of the direct fill cost more than they save.
constexpr int kDirectFillPixels = 4096;

}  // namespace

ScopedDirectSurface::ScopedDirectSurface(Gdiplus::Graphics& graphics,
                                         uint32_t* bits,
                                         int width,
                                         int height)
    : graphics_(graphics), bits_(bits), width_(width), height_(height), outer_(directSurface) {
  directSurface = this;
}

ScopedDirectSurface::~ScopedDirectSurface() {
  directSurface = outer_;
}

bool FillRectDirect(Gdiplus::Graphics& g, const Rect& r, Gdiplus::ARGB colour) {
  const ScopedDirectSurface* s = directSurface;
  if (!s || &s->graphics_ != &g || (colour >> 24) != 0xFF || r.Width <= 0 || r.Height <= 0)
    return false;
  const Gdiplus::Unit unit = g.GetPageUnit();
  if ((unit != Gdiplus::UnitPixel && unit != Gdiplus::UnitDisplay) || g.GetPageScale() != 1.0f)
    return false;
  Gdiplus::Matrix transform;
  REAL m[6];
  if (g.GetTransform(&transform) != Gdiplus::Ok || transform.GetElements(m) != Gdiplus::Ok ||
      m[0] != 1 || m[1] != 0 || m[2] != 0 || m[3] != 1 || m[4] != std::floor(m[4]) ||
      m[5] != std::floor(m[5]) || std::fabs(m[4]) > 1e6f || std::fabs(m[5]) > 1e6f) {
    return false;
  }
  const int dx = static_cast<int>(m[4]), dy = static_cast<int>(m[5]);
  // In device pixels from here on.
  Rect area(r.X + dx, r.Y + dy, r.Width, r.Height);
  if (!Rect::Intersect(area, area, Rect(0, 0, s->width_, s->height_)))
    return true;
  Gdiplus::Region clip;
  if (g.GetClip(&clip) != Gdiplus::Ok)
    return false;
  if (!clip.IsInfinite(&g)) {
    Gdiplus::Matrix identity;
    if (clip.GetRegionScansCount(&identity) != 1)
      return false;
    Rect box = ClipBounds(g);  // world coordinates, as the transform leaves them
    box.Offset(dx, dy);
    if (!Rect::Intersect(area, area, box))
      return true;
  }
  g.Flush(Gdiplus::FlushIntentionSync);
  // Opaque: premultiplied and straight colours are the same.
  for (int y = area.Y; y < area.GetBottom(); ++y) {
    uint32_t* row = s->bits_ + static_cast<size_t>(y) * s->width_;
    std::fill(row + area.X, row + area.GetRight(), static_cast<uint32_t>(colour));
  }
  return true;
}

void FillRect(Gdiplus::Graphics& g, const Rect& r, Gdiplus::ARGB colour) {
  if (static_cast<int64_t>(r.Width) * r.Height >= kDirectFillPixels && FillRectDirect(g, r, colour))
    return;
  Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
  g.FillRectangle(&brush, r);
}

void DrawRectBorder(Gdiplus::Graphics& g, const Rect& r, Gdiplus::ARGB colour) {
  Gdiplus::Pen pen(Gdiplus::Color(colour), 1.0f);
  g.DrawRectangle(&pen, r.X, r.Y, r.Width - 1, r.Height - 1);
}

void AddRoundRectPath(Gdiplus::GraphicsPath& path, const Rect& r, int radius) {
  REAL x = static_cast<REAL>(r.X), y = static_cast<REAL>(r.Y);
  REAL w = static_cast<REAL>(r.Width), h = static_cast<REAL>(r.Height);
  REAL rr = static_cast<REAL>(radius), d = 2 * rr;
  path.AddArc(x, y, d, d, 180, 90);
  path.AddLine(x + rr, y, x + w - rr, y);
  path.AddArc(x + w - d, y, d, d, 270, 90);
  path.AddLine(x + w, y + rr, x + w, y + h - rr);
  path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
  path.AddLine(x + w - rr, y + h, x + rr, y + h);
  path.AddArc(x, y + h - d, d, d, 90, 90);
  path.AddLine(x, y + h - rr, x, y + rr);
}

void FillRoundRect(Gdiplus::Graphics& g, const Rect& r, int radius, Gdiplus::ARGB colour) {
  // A repaint of a small area deep inside a large shape (a status text on a window's rounded
  // background) covers only pixels the shape covers whole: a rectangle a pixel wider than the
  // clip on every side paints them alike, without turning the whole outline into a region.
  Rect clip;
  if (WholeClipBounds(g, &clip) && WithinInset(clip, r, radius + 2)) {
    clip.Inflate(1, 1);
    return FillRect(g, clip, colour);
  }
  HighQualityScope quality(g);
  Gdiplus::GraphicsPath path;
  AddRoundRectPath(path, r, radius);
  Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
  g.FillPath(&brush, &path);
}

void StrokeRoundRect(Gdiplus::Graphics& g, const Rect& r, int radius, Gdiplus::ARGB colour) {
  // The outline and its anti-aliased fringe stay within a pixel of the corner boxes and edges.
  Rect clip;
  if (WholeClipBounds(g, &clip) && WithinInset(clip, r, radius + 2))
    return;
  HighQualityScope quality(g);
  Gdiplus::GraphicsPath path;
  AddRoundRectPath(path, r, radius);
  Gdiplus::Pen pen(Gdiplus::Color(colour), 1.0f);
  g.DrawPath(&pen, &path);
}

void DrawImageStretched(Gdiplus::Graphics& g,
                        Gdiplus::Image* image,
                        const Rect& dst,
                        const Rect& src) {
  if (!image)
    return;
  EdgeClampAttributes attributes;
  DrawPart(g, image, attributes, dst, src);
}

void DrawImageThreeH(Gdiplus::Graphics& g,
                     Gdiplus::Image* image,
                     const Rect& dst,
                     const Rect& src) {
  if (!image)
    return;
  if (dst.Width < src.Width)
    return DrawImageStretched(g, image, dst, src);
  DrawThree(g, image, dst, src, src.Width / 3, true);
}

void DrawImageThreeV(Gdiplus::Graphics& g,
                     Gdiplus::Image* image,
                     const Rect& dst,
                     const Rect& src) {
  if (!image)
    return;
  if (dst.Height < src.Height)
    return DrawImageStretched(g, image, dst, src);
  DrawThree(g, image, dst, src, src.Height / 3, false);
}

void DrawImageNineGrid(Gdiplus::Graphics& g, Gdiplus::Image* image, const Rect& dst) {
  if (!image)
    return;
  Rect img = WholeImage(image);
  int c = (img.Width < img.Height ? img.Width : img.Height) / 3;
  int right = dst.X + dst.Width - c, bottom = dst.Y + dst.Height - c;
  int innerW = dst.Width - 2 * c, innerH = dst.Height - 2 * c;
  int imgRight = img.Width - c, imgBottom = img.Height - c;
  SliceScope slicing(g);
  EdgeClampAttributes a;
  DrawPart(g, image, a, Rect(dst.X, dst.Y, c, c), Rect(0, 0, c, c));
  DrawPart(g, image, a, Rect(right, dst.Y, c, c), Rect(imgRight, 0, c, c));
  DrawPart(g, image, a, Rect(dst.X, bottom, c, c), Rect(0, imgBottom, c, c));
  DrawPart(g, image, a, Rect(right, bottom, c, c), Rect(imgRight, imgBottom, c, c));
  DrawPart(g, image, a, Rect(dst.X + c, dst.Y, innerW, c), Rect(c, 0, c, c));
  DrawPart(g, image, a, Rect(dst.X + c, bottom, innerW, c), Rect(c, imgBottom, c, c));
  DrawPart(g, image, a, Rect(dst.X, dst.Y + c, c, innerH), Rect(0, c, c, c));
  DrawPart(g, image, a, Rect(right, dst.Y + c, c, innerH), Rect(imgRight, c, c, c));
  DrawPart(g, image, a, Rect(dst.X + c, dst.Y + c, innerW, innerH),
           Rect(img.Width / 2, img.Height / 2, 1, 1));
}

void DrawImageThreeHWhole(Gdiplus::Graphics& g, Gdiplus::Image* image, const Rect& dst) {
  if (!image)
    return;
  Rect img = WholeImage(image);
  int f = (dst.Width < img.Width ? dst.Width : img.Width) / 3;
  DrawThree(g, image, dst, img, f, true);
}

Gdiplus::Size MeasureText(Gdiplus::Graphics& g,
                          const std::wstring& text,
                          const Gdiplus::Font* font) {
  if (!font || text.empty())
    return Gdiplus::Size(0, 0);
  std::unique_ptr<Gdiplus::StringFormat> format(
      Gdiplus::StringFormat::GenericTypographic()->Clone());
  if (!format)
    return Gdiplus::Size(0, 0);
  format->SetFormatFlags(format->GetFormatFlags() |
                         Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
  Gdiplus::RectF box(0, 0, 10000, 10000), bounds;
  g.MeasureString(text.c_str(), static_cast<INT>(text.size()), font, box, format.get(), &bounds);
  return Gdiplus::Size(static_cast<INT>(std::floor(bounds.Width + 1)),
                       static_cast<INT>(std::floor(bounds.Height + 1)));
}

Gdiplus::Size MeasureText(const std::wstring& text, const Gdiplus::Font* font) {
  ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc)
    return Gdiplus::Size(0, 0);
  Gdiplus::Graphics g(dc.get());
  return MeasureText(g, text, font);
}

Rect ClipBounds(Gdiplus::Graphics& g) {
  Rect r;
  g.GetClipBounds(&r);
  return r;
}
