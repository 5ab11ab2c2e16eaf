#include "ui/core/ResLoaderMgr.h"

#include "sys/GdiplusSession.h"

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
