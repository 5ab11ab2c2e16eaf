#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "ui/core/SkinBitmap.h"
#include "ui/core/SkinPackIndex.h"
#include "ui/core/UIResLoader.h"

// The application's loader: answers every request from the skin pack embedded in the executable
// (resource type "pk", id 129) and caches decoded images for its whole life, keyed by the folded
// path. One instance per process, used from the UI thread only; GDI+ must be started before the
// first LoadImage and shut down only after the loader is destroyed.
//
// Before a pack is loaded, or when it could not be found, every request misses. There is no
// reload and no eviction.
class ResLoaderMgr : public UIResLoader {
 public:
  static constexpr int kPackResourceId = 129;

  ResLoaderMgr() = default;
  ~ResLoaderMgr() override = default;
  ResLoaderMgr(const ResLoaderMgr&) = delete;
  ResLoaderMgr& operator=(const ResLoaderMgr&) = delete;

  // Finds, loads and locks the pack resource of `module` and indexes it. False when the
  // resource is missing (every lookup then misses) or malformed (its valid entries are still
  // indexed; see SkinPackIndex).
  bool LoadModulePack(HMODULE module);
  // Indexes the pack at `base`; its memory must outlive the loader.
  bool LoadPack(const void* base, size_t size) { return pack_.LoadPack(base, size); }
  const uint8_t* FindEntry(const std::wstring& path, size_t* size) const {
    return pack_.FindEntry(path, size);
  }
  std::string ReadEntry(const std::wstring& path) const { return pack_.ReadEntry(path); }

  const SkinPackIndex& pack() const { return pack_; }
  size_t cached_image_count() const { return images_.size(); }

  // UIResLoader:
  std::string LoadText(const std::wstring& path) override;
  // A file that GDI+ cannot read is remembered as such (it is not decoded again) and answers
  // null; an absent file, or a request while no GdiplusSession runs, is not remembered, so a
  // later call looks again.
  SkinBitmap* LoadImage(const std::wstring& path) override;

 private:
  SkinPackIndex pack_;
  // Folded path -> image; a null image marks a file GDI+ could not read.
  std::map<std::wstring, std::unique_ptr<SkinBitmap>> images_;
};
