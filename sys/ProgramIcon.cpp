#include "sys/ProgramIcon.h"

#include <shellapi.h>

#include <cstdint>
#include <vector>

#include "sys/Files.h"
#include "sys/Handles.h"
#include "sys/Wow64.h"

namespace {

// `source` copied pixel for pixel into a new ARGB bitmap: source-copy compositing keeps the
// alpha channel as it is instead of blending it onto the empty target.
std::unique_ptr<Gdiplus::Bitmap> CopyToArgb(Gdiplus::Bitmap& source) {
  const INT width = static_cast<INT>(source.GetWidth());
  const INT height = static_cast<INT>(source.GetHeight());
  if (width <= 0 || height <= 0)
    return nullptr;
  auto copy = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  if (copy->GetLastStatus() != Gdiplus::Ok)
    return nullptr;
  Gdiplus::Graphics graphics(copy.get());
  graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  if (graphics.DrawImage(&source, Gdiplus::Rect(0, 0, width, height), 0, 0, width, height,
                         Gdiplus::UnitPixel) != Gdiplus::Ok)
    return nullptr;
  return copy;
}

// The colour bitmap of an icon with an alpha channel, as ARGB. None when the pixels cannot be
// read or carry no alpha at all: such an icon is transparent only through its mask.
std::unique_ptr<Gdiplus::Bitmap> FromAlphaColourBitmap(HBITMAP colour, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO info = TopDownDibInfo(width, height);
  ScopedScreenDc screen(GetDC(nullptr));
  int lines = GetDIBits(screen.get(), colour, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  if (lines != height)
    return nullptr;
  bool anyAlpha = false;
  for (uint32_t pixel : pixels) {
    if (pixel >> 24) {
      anyAlpha = true;
      break;
    }
  }
  if (!anyAlpha)
    return nullptr;
  Gdiplus::Bitmap wrapped(width, height, width * 4, PixelFormat32bppARGB,
                          reinterpret_cast<BYTE*>(pixels.data()));
  if (wrapped.GetLastStatus() != Gdiplus::Ok)
    return nullptr;
  return CopyToArgb(wrapped);
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> IconToBitmap(HICON icon) {
  if (!icon)
    return nullptr;
  ICONINFO iconInfo = {};
  if (!GetIconInfo(icon, &iconInfo))
    return nullptr;
  ScopedGdiObject colour(iconInfo.hbmColor);
  ScopedGdiObject mask(iconInfo.hbmMask);
  BITMAP bitmap = {};
  if (colour && GetObjectW(colour.get(), sizeof(bitmap), &bitmap) == sizeof(bitmap) &&
      bitmap.bmBitsPixel == 32 && bitmap.bmWidth > 0 && bitmap.bmHeight > 0) {
    if (auto result = FromAlphaColourBitmap(static_cast<HBITMAP>(colour.get()), bitmap.bmWidth,
                                            bitmap.bmHeight))
      return result;
  }
  std::unique_ptr<Gdiplus::Bitmap> direct(Gdiplus::Bitmap::FromHICON(icon));
  if (!direct || direct->GetLastStatus() != Gdiplus::Ok)
    return nullptr;
  return CopyToArgb(*direct);
}

std::unique_ptr<Gdiplus::Bitmap> LoadProgramIcon(const std::wstring& path) {
  SHFILEINFOW info = {};
  const UINT flags = SHGFI_ICON | SHGFI_LARGEICON;
  if (PathExists(path)) {
    SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), flags);
  } else {
    DisableFsRedirection();
    SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), flags);
    RevertFsRedirection();
  }
  ScopedIcon icon(info.hIcon);
  return IconToBitmap(icon.get());
}
