#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// The folded form of a pack path: only "A"-"Z" become lower case (the C locale's wide
// lower-casing); separators are kept, so a request must use backslashes like the pack.
std::wstring FoldSkinPath(const std::wstring& path);

// The directory of a skin pack: a u32 entry count, then per entry a u32 name length in bytes,
// the UTF-16LE name, a u32 offset counted from the first byte of the pack and a u32 size, then
// the files' bytes. The index points into the pack's memory and copies nothing; that memory must
// outlive the index.
//
// Names are indexed exactly as stored; only requests are folded, so lookups ignore case only
// because the packer stores lower-case names. Of several equal names the last wins.
//
// A malformed pack never makes the index read outside [base, base + size): an entry whose bytes
// run past the end is skipped, and the directory is cut off at the first record that runs past
// the end or has an odd name length (nothing after it can be located). Entries before that point
// keep answering.
class SkinPackIndex {
 public:
  struct Entry {
    uint32_t offset = 0;
    uint32_t size = 0;
  };

  // Replaces the directory with the one of the pack at `base`. True when the whole directory
  // was consistent; false when the pack is null, shorter than its count or anything was skipped.
  bool LoadPack(const void* base, size_t size);

  // The first byte of the file at `path` and its size, or null and 0 when absent.
  const uint8_t* FindEntry(const std::wstring& path, size_t* size) const;

  // A copy of the file's bytes; empty when absent.
  std::string ReadEntry(const std::wstring& path) const;

  const std::map<std::wstring, Entry>& directory() const { return directory_; }

 private:
  const uint8_t* base_ = nullptr;
  size_t size_ = 0;
  std::map<std::wstring, Entry> directory_;
};
