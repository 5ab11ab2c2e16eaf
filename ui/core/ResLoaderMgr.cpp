#include "ui/core/ResLoaderMgr.h"

#include <cstring>

#include "sys/GdiplusSession.h"

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

// A stream over a private copy of `bytes`; the stream frees its block when released.
IStream* NewStreamOver(const uint8_t* bytes, size_t size) {
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

}  // namespace

bool ResLoaderMgr::LoadModulePack(HMODULE module) {
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(kPackResourceId), L"pk");
  if (!info)
    return false;
  HGLOBAL loaded = LoadResource(module, info);
  if (!loaded)
    return false;
  const void* base = LockResource(loaded);
  if (!base)
    return false;
  return pack_.LoadPack(base, SizeofResource(module, info));
}

std::string ResLoaderMgr::LoadText(const std::wstring& path) {
  return pack_.ReadEntry(path);
}

SkinBitmap* ResLoaderMgr::LoadImage(const std::wstring& path) {
  std::wstring key = FoldSkinPath(path);
  auto cached = images_.find(key);
  if (cached != images_.end())
    return cached->second.get();

  size_t size = 0;
  const uint8_t* bytes = pack_.FindEntry(key, &size);
  // Before GDI+ starts every decode fails; that says nothing about the file.
  if (!bytes || !GdiplusSession::AnyRunning())
    return nullptr;
  IStream* stream = NewStreamOver(bytes, size);
  if (!stream)
    return nullptr;
  std::unique_ptr<SkinBitmap> bitmap(new SkinBitmap(stream));
  if (!bitmap) {
    stream->Release();
    return nullptr;
  }
  Gdiplus::Status status = bitmap->GetLastStatus();
  if (status == Gdiplus::GdiplusNotInitialized)
    return nullptr;
  if (status != Gdiplus::Ok)
    bitmap.reset();
  SkinBitmap* result = bitmap.get();
  images_.emplace(std::move(key), std::move(bitmap));
  return result;
}
