#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

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
  // Waits for a prefetch still running.
  ~ResLoaderMgr() override;
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

  // Decodes the images at `paths`, in that order, on a thread of its own, so that their decoding
  // (and the codecs' loading by the first one) overlaps the caller's work until they are
  // painted. LoadImage of one of them waits for it and then answers exactly as if it had
  // decoded it itself (an image the thread could not decode, it decodes itself). Call at most once,
  // while a GdiplusSession runs that outlives the loader.
  void Prefetch(const std::vector<std::wstring>& paths);

  const SkinPackIndex& pack() const { return pack_; }
  size_t cached_image_count() const { return images_.size(); }

  // UIResLoader:
  std::string LoadText(const std::wstring& path) override;
  // A file that GDI+ cannot read is remembered as such (it is not decoded again) and answers
  // null; an absent file, or a request while no GdiplusSession runs, is not remembered, so a
  // later call looks again.
  SkinBitmap* LoadImage(const std::wstring& path) override;
  // A PNG's size comes from its header; other files are decoded. Like LoadImage, false while no
  // GdiplusSession runs.
  bool ImageSize(const std::wstring& path, int* width, int* height) override;

 private:
  SkinPackIndex pack_;
  // Folded path -> image; a null image marks a file GDI+ could not read.
  std::map<std::wstring, std::unique_ptr<SkinBitmap>> images_;

  // Takes the prefetched result for `key` (waiting while it is being decoded) into `image`;
  // false when `key` was not prefetched.
  bool TakePrefetched(const std::wstring& key, std::unique_ptr<SkinBitmap>* image);

  std::thread prefetch_;
  std::mutex prefetchMutex_;
  std::condition_variable prefetchDone_;
  // Guarded by prefetchMutex_: keys still to decode, and results not yet taken.
  std::set<std::wstring> prefetchPending_;
  std::map<std::wstring, std::unique_ptr<SkinBitmap>> prefetched_;
};
