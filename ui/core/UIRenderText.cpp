#include "ui/core/UIRenderText.h"

#include <memory>
#include <string_view>
#include <vector>

#include "sys/StringFormat.h"
#include "ui/core/UIGraphics.h"
#include "ui/core/UIKeywordMarkup.h"
#include "ui/core/UIValueParse.h"

using namespace std::string_view_literals;

namespace {

// Missing from MinGW's GDI+ headers.
constexpr INT kStringFormatFlagsBypassGDI = static_cast<INT>(0x80000000);
constexpr Gdiplus::ARGB kShadowTextColour = 0xFE101010;

Gdiplus::StringAlignment Alignment(int value) {
  switch (value) {
    case 1:
      return Gdiplus::StringAlignmentCenter;
    case 2:
      return Gdiplus::StringAlignmentFar;
    default:
      return Gdiplus::StringAlignmentNear;
  }
}

Gdiplus::RectF ToRectF(const Gdiplus::Rect& r) {
  return Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.X), static_cast<Gdiplus::REAL>(r.Y),
                        static_cast<Gdiplus::REAL>(r.Width), static_cast<Gdiplus::REAL>(r.Height));
}

// Name -> the variant it sets; -1 sets all four.
int VariantOf(const std::wstring& name, std::wstring_view base) {
  size_t n = base.size();
  if (name.compare(0, n, base) != 0)
    return -2;
  if (name.size() == n)
    return -1;
  if (name.size() == n + 1 && name[n] >= L'0' && name[n] <= L'3')
    return name[n] - L'0';
  return -2;
}

}  // namespace

bool UIRenderText::SetAttribute(const std::wstring& name, const std::wstring& value) {
  int variant = VariantOf(name, L"clr");
  if (variant != -2) {
    Gdiplus::ARGB c = ParseColor(value);
    for (int i = 0; i < 4; ++i) {
      if (variant < 0 || variant == i)
        colour_[i] = c;
    }
    return true;
  }
  variant = VariantOf(name, L"font");
  if (variant != -2) {
    for (int i = 0; i < 4; ++i) {
      if (variant < 0 || variant == i)
        font_[i] = value;
    }
    return true;
  }
  if (name == L"horz"sv)
    horz_ = ParseDecimal(value);
  else if (name == L"vert"sv)
    vert_ = ParseDecimal(value);
  else if (name == L"multi"sv)
    singleLine_ = !ParseBool(value);
  else if (name == L"trim"sv)
    trimming_ =
        ParseBool(value) ? Gdiplus::StringTrimmingEllipsisCharacter : Gdiplus::StringTrimmingNone;
  else if (name == L"ntrim"sv)
    trimming_ = ParseDecimal(value);
  else if (name == L"inset"sv)
    inset_ = ParseInsets(value);
  else if (name == L"keyword"sv)
    keyword_ = ParseBool(value);
  else if (name == L"shadow"sv)
    shadow_ = ParseBool(value);
  else
    return false;
  return true;
}

const std::wstring& UIRenderText::FontDesc(RenderState s) const {
  const std::wstring& fontDesc = font_[StateIndex(s)];
  return fontDesc.empty() ? font_[0] : fontDesc;
}

Gdiplus::Rect UIRenderText::TextRect(const Gdiplus::Rect& r) const {
  return Gdiplus::Rect(r.X + inset_.left, r.Y + inset_.top, r.Width - inset_.left - inset_.right,
                       r.Height - inset_.top - inset_.bottom);
}

void UIRenderText::Paint(Gdiplus::Graphics& g,
                         const Gdiplus::Rect& r,
                         RenderState s,
                         const std::wstring& text,
                         const UIFontLookup& fonts) const {
  Gdiplus::Rect rect = TextRect(r);
  if (text.empty() || rect.Width <= 0 || rect.Height <= 0)
    return;
  if (keyword_ && text.find(L"<text") != std::wstring::npos)
    return PaintMarkup(g, rect, text, fonts);

  Gdiplus::Font* font = fonts(FontDesc(s));
  if (!font)
    return;
  INT flags = kStringFormatFlagsBypassGDI | Gdiplus::StringFormatFlagsLineLimit;
  if (singleLine_)
    flags |= Gdiplus::StringFormatFlagsNoWrap;
  Gdiplus::StringFormat format(flags);
  format.SetAlignment(Alignment(horz_));
  format.SetLineAlignment(Alignment(vert_));
  format.SetTrimming(static_cast<Gdiplus::StringTrimming>(trimming_));

  if (shadow_)
    PaintShadow(g, rect, text, font, format);
  Gdiplus::SolidBrush brush{Gdiplus::Color(colour_[StateIndex(s)])};
  // GDI+ lays out nothing when not even one character and its side padding fit, so a narrow
  // single-line field (a 5-pixel ":" between two lists) stayed empty. Such text is laid out in
  // a wider box at the same alignment and clipped to the field, as a wide enough box would be.
  const Gdiplus::REAL em = font->GetSize();
  if (singleLine_ && trimming_ == Gdiplus::StringTrimmingNone && rect.Width < 2 * em) {
    Gdiplus::RectF box = ToRectF(rect);
    const Gdiplus::REAL extra = 2 * em;
    box.Width += horz_ == 1 ? 2 * extra : extra;
    if (horz_ != 0)
      box.X -= extra;
    Gdiplus::GraphicsState saved = g.Save();
    g.IntersectClip(rect);
    g.DrawString(text.c_str(), static_cast<INT>(text.size()), font, box, &format, &brush);
    g.Restore(saved);
    return;
  }
  g.DrawString(text.c_str(), static_cast<INT>(text.size()), font, ToRectF(rect), &format, &brush);
}

void UIRenderText::PaintMarkup(Gdiplus::Graphics& g,
                               const Gdiplus::Rect& rect,
                               const std::wstring& markup,
                               const UIFontLookup& fonts) const {
  std::vector<KeywordRun> runs;
  if (!ParseKeywordMarkup(markup, &runs))
    return;
  std::vector<Gdiplus::Font*> runFonts;
  std::vector<int> widths;
  int total = 0;
  for (const KeywordRun& run : runs) {
    Gdiplus::Font* font = fonts(run.font);
    runFonts.push_back(font);
    widths.push_back(MeasureText(g, run.text, font).Width);
    total += widths.back();
  }
  int x = rect.X;
  if (horz_ == 1)
    x = rect.X + (rect.Width - total) / 2;
  else if (horz_ == 2)
    x = rect.X + rect.Width - total;

  std::unique_ptr<Gdiplus::StringFormat> format(
      Gdiplus::StringFormat::GenericTypographic()->Clone());
  if (!format)
    return;
  format->SetFormatFlags(format->GetFormatFlags() |
                         Gdiplus::StringFormatFlagsMeasureTrailingSpaces |
                         Gdiplus::StringFormatFlagsNoWrap);
  format->SetAlignment(Gdiplus::StringAlignmentNear);
  format->SetLineAlignment(Alignment(vert_));
  for (size_t i = 0; i < runs.size(); ++i) {
    if (runFonts[i] && widths[i] > 0) {
      Gdiplus::SolidBrush brush{Gdiplus::Color(runs[i].colour)};
      Gdiplus::RectF box(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(rect.Y),
                         static_cast<Gdiplus::REAL>(widths[i]),
                         static_cast<Gdiplus::REAL>(rect.Height));
      g.DrawString(runs[i].text.c_str(), static_cast<INT>(runs[i].text.size()), runFonts[i], box,
                   format.get(), &brush);
    }
    x += widths[i];
  }
}

void UIRenderText::PaintShadow(Gdiplus::Graphics& g,
                               const Gdiplus::Rect& rect,
                               const std::wstring& text,
                               const Gdiplus::Font* font,
                               const Gdiplus::StringFormat& format) const {
  Gdiplus::Bitmap halo(rect.Width, rect.Height, PixelFormat32bppARGB);
  if (halo.GetLastStatus() != Gdiplus::Ok)
    return;
  {
    Gdiplus::Graphics off(&halo);
    off.SetTextRenderingHint(g.GetTextRenderingHint());
    Gdiplus::SolidBrush brush{Gdiplus::Color(kShadowTextColour)};
    off.DrawString(text.c_str(), static_cast<INT>(text.size()), font,
                   Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(rect.Width),
                                  static_cast<Gdiplus::REAL>(rect.Height)),
                   &format, &brush);
  }
  ApplyShadowHalo(halo);
  g.DrawImage(&halo, rect, 0, 0, rect.Width, rect.Height, Gdiplus::UnitPixel);
}

void ApplyShadowHalo(Gdiplus::Bitmap& bitmap) {
  const int w = static_cast<int>(bitmap.GetWidth()), h = static_cast<int>(bitmap.GetHeight());
  if (w <= 0 || h <= 0)
    return;
  Gdiplus::Rect all(0, 0, w, h);
  Gdiplus::BitmapData data;
  if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                      PixelFormat32bppARGB, &data) != Gdiplus::Ok)
    return;
  auto row = [&](int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + y * data.Stride);
  };
  // Column sums of the blue byte over each pixel's own row and the 4 below it.
  std::vector<int> down(static_cast<size_t>(w) * h, 0);
  for (int x = 0; x < w; ++x) {
    int sum = 0;
    for (int y = h - 1; y >= 0; --y) {
      sum += row(y)[x] & 0xFF;
      if (y + 5 < h)
        sum -= row(y + 5)[x] & 0xFF;
      down[static_cast<size_t>(y) * w + x] = sum;
    }
  }
  for (int y = 0; y < h; ++y) {
    const int* sums = &down[static_cast<size_t>(y) * w];
    uint32_t* out = row(y);
    int window = 0;
    for (int x = 0; x < w; ++x) {
      window += sums[x];
      if (x >= 4)
        window -= sums[x - 4];
      uint32_t alpha = window > 255 ? 255u : static_cast<uint32_t>(window);
      out[x] = alpha << 24;
    }
  }
  bitmap.UnlockBits(&data);
}
