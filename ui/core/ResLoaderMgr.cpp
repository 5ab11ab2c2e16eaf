#include "ui/core/ResLoaderMgr.h"

#include <cstring>

#include "sys/GdiplusSession.h"
#include "sys/Handles.h"

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

namespace {

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Width and height from the IHDR chunk that a PNG must start with.
bool PngHeaderSize(const uint8_t* bytes, size_t size, int* width, int* height) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  static const uint8_t kHeader[8] = {0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  if (size < 24 || std::memcmp(bytes, kSignature, 8) != 0 ||
      std::memcmp(bytes + 8, kHeader, 8) != 0)
    return false;
  const uint32_t w = BigEndian32(bytes + 16);
  const uint32_t h = BigEndian32(bytes + 20);
  if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
    return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

}  // namespace

ResLoaderMgr::~ResLoaderMgr() {
  if (prefetch_.joinable())
    prefetch_.join();
}

void ResLoaderMgr::Prefetch(const std::vector<std::wstring>& paths) {
  if (prefetch_.joinable() || !GdiplusSession::AnyRunning())
    return;
  struct Entry {
    std::wstring key;
    const uint8_t* bytes;
    size_t size;
  };
  std::vector<Entry> entries;
  for (const std::wstring& path : paths) {
    Entry e{FoldSkinPath(path), nullptr, 0};
    e.bytes = pack_.FindEntry(e.key, &e.size);
    if (e.bytes && images_.count(e.key) == 0 && prefetchPending_.insert(e.key).second)
      entries.push_back(std::move(e));
  }
  if (entries.empty())
    return;
  prefetch_ = std::thread([this, entries] {
    ScopedComInit com;  // the codecs are COM objects
    for (const Entry& e : entries) {
      Gdiplus::Status status = Gdiplus::GenericError;
      std::unique_ptr<SkinBitmap> bitmap = DecodeSkinImage(e.bytes, e.size, &status);
      std::lock_guard<std::mutex> lock(prefetchMutex_);
      prefetchPending_.erase(e.key);
      // A failure is left to LoadImage, which decodes it itself: this thread may lack what the
      // UI thread has.
      if (bitmap)
        prefetched_.emplace(e.key, std::move(bitmap));
      prefetchDone_.notify_all();
    }
  });
}

bool ResLoaderMgr::TakePrefetched(const std::wstring& key, std::unique_ptr<SkinBitmap>* image) {
  std::unique_lock<std::mutex> lock(prefetchMutex_);
  prefetchDone_.wait(lock, [&] { return prefetchPending_.count(key) == 0; });
  auto found = prefetched_.find(key);
  if (found == prefetched_.end())
    return false;
  *image = std::move(found->second);
  prefetched_.erase(found);
  return true;
}

bool ResLoaderMgr::ImageSize(const std::wstring& path, int* width, int* height) {
  std::wstring key = FoldSkinPath(path);
  auto cached = images_.find(key);
  if (cached == images_.end() && GdiplusSession::AnyRunning()) {
    size_t size = 0;
    const uint8_t* bytes = pack_.FindEntry(key, &size);
    if (bytes && PngHeaderSize(bytes, size, width, height))
      return true;
  }
  return UIResLoader::ImageSize(path, width, height);
}

std::string ResLoaderMgr::LoadText(const std::wstring& path) {
  return pack_.ReadEntry(path);
}

SkinBitmap* ResLoaderMgr::LoadImage(const std::wstring& path) {
  std::wstring key = FoldSkinPath(path);
  auto cached = images_.find(key);
  if (cached != images_.end())
    return cached->second.get();

  std::unique_ptr<SkinBitmap> bitmap;
  if (!TakePrefetched(key, &bitmap)) {
    size_t size = 0;
    const uint8_t* bytes = pack_.FindEntry(key, &size);
    // Before GDI+ starts every decode fails; that says nothing about the file.
    if (!bytes || !GdiplusSession::AnyRunning())
      return nullptr;
    Gdiplus::Status status = Gdiplus::GenericError;
    bitmap = DecodeSkinImage(bytes, size, &status);
    if (!bitmap && (status == Gdiplus::GdiplusNotInitialized || status == Gdiplus::Ok))
      return nullptr;  // not remembered: no session, or out of memory
  }
  SkinBitmap* result = bitmap.get();
  images_.emplace(std::move(key), std::move(bitmap));
  return result;
}
