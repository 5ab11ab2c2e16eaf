#include "tests/uicore/PaintCanvas.h"

#include <cstdlib>
#include <vector>

PaintCanvas::PaintCanvas(int width, int height)
    : bitmap_(width, height, PixelFormat32bppARGB), graphics_(&bitmap_) {
  graphics_.Clear(Gdiplus::Color(0, 0, 0, 0));
}

Gdiplus::ARGB PaintCanvas::At(int x, int y) {
  graphics_.Flush(Gdiplus::FlushIntentionSync);
  Gdiplus::Color c;
  bitmap_.GetPixel(x, y, &c);
  return c.GetValue();
}

Gdiplus::Rect PaintCanvas::Bounds(const std::function<bool(Gdiplus::ARGB)>& ink) {
  int w = static_cast<int>(bitmap_.GetWidth()), h = static_cast<int>(bitmap_.GetHeight());
  int left = w, top = h, right = -1, bottom = -1;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!ink(At(x, y)))
        continue;
      left = x < left ? x : left;
      right = x > right ? x : right;
      top = y < top ? y : top;
      bottom = y > bottom ? y : bottom;
    }
  }
  if (right < 0)
    return Gdiplus::Rect();
  return Gdiplus::Rect(left, top, right - left + 1, bottom - top + 1);
}

Gdiplus::ARGB PaintCanvas::StrongestColour() {
  int w = static_cast<int>(bitmap_.GetWidth()), h = static_cast<int>(bitmap_.GetHeight());
  Gdiplus::ARGB best = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Gdiplus::ARGB c = At(x, y);
      if ((c >> 24) > (best >> 24))
        best = c;
    }
  }
  return best ? (best | 0xFF000000) : 0;
}

bool NearColour(Gdiplus::ARGB a, Gdiplus::ARGB b, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    if (std::abs(ca - cb) > tolerance)
      return false;
  }
  return true;
}

std::string EncodePng(Gdiplus::Bitmap& bitmap) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
    return std::string();
  std::vector<char> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
    return std::string();
  const CLSID* png = nullptr;
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(encoders[i].MimeType) == L"image/png")
      png = &encoders[i].Clsid;
  }
  IStream* stream = nullptr;
  if (!png || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
    return std::string();
  std::string bytes;
  if (bitmap.Save(stream, png, nullptr) == Gdiplus::Ok) {
    STATSTG stat = {};
    LARGE_INTEGER zero = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    stream->Read(&bytes[0], static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
  }
  stream->Release();
  return bytes;
}
