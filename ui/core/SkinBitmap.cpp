#include "ui/core/SkinBitmap.h"

#include <cstring>

namespace {

// Owns a movable global memory block until it is handed to a stream.
struct GlobalBlock {
  HGLOBAL handle = nullptr;
  ~GlobalBlock() {
    if (handle)
      GlobalFree(handle);
  }
  HGLOBAL Release() {
    HGLOBAL h = handle;
    handle = nullptr;
    return h;
  }
};

}  // namespace

SkinBitmap::SkinBitmap(IStream* stream) : StreamOwner(stream), Gdiplus::Bitmap(stream, FALSE) {}

void* SkinBitmap::operator new(size_t size) noexcept {
  return Gdiplus::DllExports::GdipAlloc(size);
}

void SkinBitmap::operator delete(void* p) noexcept {
  Gdiplus::DllExports::GdipFree(p);
}

IStream* NewStreamOver(const void* bytes, size_t size) {
  GlobalBlock block;
  // A zero-byte movable block is born discarded and cannot be locked.
  block.handle = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  if (!block.handle)
    return nullptr;
  void* p = GlobalLock(block.handle);
  if (!p)
    return nullptr;
  if (size)
    memcpy(p, bytes, size);
  GlobalUnlock(block.handle);

  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block.handle, TRUE, &stream)) || !stream)
    return nullptr;
  block.Release();
  // The block may be larger than asked for; the stream must end where the file ends.
  ULARGE_INTEGER length;
  length.QuadPart = size;
  stream->SetSize(length);
  return stream;
}

std::unique_ptr<SkinBitmap> DecodeSkinImage(const void* bytes,
                                            size_t size,
                                            Gdiplus::Status* status) {
  *status = Gdiplus::Ok;
  IStream* stream = NewStreamOver(bytes, size);
  if (!stream)
    return nullptr;
  std::unique_ptr<SkinBitmap> bitmap(new SkinBitmap(stream));
  if (!bitmap) {
    stream->Release();
    return nullptr;
  }
  *status = bitmap->GetLastStatus();
  if (*status != Gdiplus::Ok)
    bitmap.reset();
  return bitmap;
}
