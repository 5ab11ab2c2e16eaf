#include "ui/core/SkinPackIndex.h"

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

std::wstring FoldSkinPath(const std::wstring& path) {
  std::wstring folded = path;
  for (wchar_t& c : folded) {
    if (c >= L'A' && c <= L'Z')
      c = wchar_t(c - L'A' + L'a');
  }
  return folded;
}

bool SkinPackIndex::LoadPack(const void* base, size_t size) {
  directory_.clear();
  base_ = static_cast<const uint8_t*>(base);
  size_ = base_ ? size : 0;
  if (size_ < 4)
    return false;

  // 64-bit positions: a 32-bit sum of offset and size could wrap back inside the pack.
  const uint64_t end = size_;
  const uint32_t count = ReadU32(base_);
  uint64_t pos = 4;
  bool consistent = true;
  for (uint32_t i = 0; i < count; ++i) {
    if (pos + 4 > end)
      return false;
    const uint32_t nameBytes = ReadU32(base_ + pos);
    if (nameBytes % 2 != 0 || pos + 4 + nameBytes + 8 > end)
      return false;
    std::wstring name(nameBytes / 2, L'\0');
    const uint8_t* n = base_ + pos + 4;
    for (size_t k = 0; k < name.size(); ++k)
      name[k] = wchar_t(n[2 * k] | n[2 * k + 1] << 8);
    Entry entry;
    entry.offset = ReadU32(n + nameBytes);
    entry.size = ReadU32(n + nameBytes + 4);
    pos += 4 + uint64_t(nameBytes) + 8;

    if (uint64_t(entry.offset) + entry.size > end) {
      consistent = false;
      continue;
    }
    directory_[name] = entry;
  }
  return consistent;
}

const uint8_t* SkinPackIndex::FindEntry(const std::wstring& path, size_t* size) const {
  auto it = directory_.find(FoldSkinPath(path));
  if (it == directory_.end()) {
    if (size)
      *size = 0;
    return nullptr;
  }
  if (size)
    *size = it->second.size;
  return base_ + it->second.offset;
}

std::string SkinPackIndex::ReadEntry(const std::wstring& path) const {
  size_t size = 0;
  const uint8_t* bytes = FindEntry(path, &size);
  if (!bytes)
    return std::string();
  return std::string(reinterpret_cast<const char*>(bytes), size);
}
