#include "ui/core/SkinBitmap.h"

SkinBitmap::SkinBitmap(IStream* stream) : StreamOwner(stream), Gdiplus::Bitmap(stream, FALSE) {}

void* SkinBitmap::operator new(size_t size) noexcept {
  return Gdiplus::DllExports::GdipAlloc(size);
}

void SkinBitmap::operator delete(void* p) noexcept {
  Gdiplus::DllExports::GdipFree(p);
}
