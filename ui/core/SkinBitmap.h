#pragma once

#include <objidl.h>
#include <windows.h>

#include <algorithm>
#include <memory>
// GDI+'s headers use min and max unqualified, which NOMINMAX hides from MSVC.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace skin_detail {

// Holds the stream a SkinBitmap decodes from. A base class of SkinBitmap ahead of the GDI+
// bitmap, so that it is released only after the image is disposed.
class StreamOwner {
 protected:
  explicit StreamOwner(IStream* stream) : stream_(stream) {}
  ~StreamOwner() {
    if (stream_)
      stream_->Release();
  }
  StreamOwner(const StreamOwner&) = delete;
  StreamOwner& operator=(const StreamOwner&) = delete;

  IStream* stream_;
};

}  // namespace skin_detail

// A decoded skin image: a GDI+ bitmap over a stream on a movable global memory block that holds
// a private copy of the encoded bytes. GDI+ may decode lazily, so the block lives as long as the
// bitmap; the stream frees it when released, after the image is gone.
//
// Allocation failure answers null instead of throwing (GDI+'s own allocator is used).
class SkinBitmap : private skin_detail::StreamOwner, public Gdiplus::Bitmap {
 public:
  // Takes over the caller's reference to `stream`.
  explicit SkinBitmap(IStream* stream);
  ~SkinBitmap() override = default;

  static void* operator new(size_t size) noexcept;
  static void operator delete(void* p) noexcept;
};

// A stream over a private copy of `size` bytes, exactly that long; it frees its memory when
// released. Null when memory runs out.
IStream* NewStreamOver(const void* bytes, size_t size);

// Decodes a private copy of `size` bytes. On success `*status` is Ok; a null answer with status
// Ok means memory ran out; GdiplusNotInitialized that no GDI+ session runs; any other status
// that GDI+ cannot read the bytes.
std::unique_ptr<SkinBitmap> DecodeSkinImage(const void* bytes,
                                            size_t size,
                                            Gdiplus::Status* status);
