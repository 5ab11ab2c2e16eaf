#include "ui/core/UIAttributeMap.h"

#include <cwchar>

namespace {

// Room for the few attributes most controls have, so that they fit the first allocation.
constexpr size_t kFirstReserve = 96;

// A length kept in two characters.
void Write(std::wstring& pool, size_t at, uint32_t v) {
  pool[at] = static_cast<wchar_t>(v & 0xFFFF);
  pool[at + 1] = static_cast<wchar_t>(v >> 16);
}

}  // namespace

uint32_t UIAttributeMap::Read(size_t at) const {
  return static_cast<uint32_t>(static_cast<uint16_t>(pool_[at])) |
         static_cast<uint32_t>(static_cast<uint16_t>(pool_[at + 1])) << 16;
}

size_t UIAttributeMap::RecordSize(size_t at) const {
  return kHeader + (Read(at) & ~kStale) + Read(at + 4);
}

size_t UIAttributeMap::Find(const std::wstring& name) const {
  for (size_t at = 0; at < pool_.size(); at += RecordSize(at)) {
    if (Read(at) == name.size() &&
        std::wmemcmp(pool_.data() + at + kHeader, name.data(), name.size()) == 0)
      return at;
  }
  return std::wstring::npos;
}

void UIAttributeMap::Append(const std::wstring& name, const std::wstring& value) {
  if (pool_.empty())
    pool_.reserve(kFirstReserve);
  const size_t at = pool_.size();
  pool_.append(kHeader, L'\0');
  Write(pool_, at, static_cast<uint32_t>(name.size()));
  Write(pool_, at + 2, static_cast<uint32_t>(value.size()));
  Write(pool_, at + 4, static_cast<uint32_t>(value.size()));
  pool_ += name;
  pool_ += value;
}

void UIAttributeMap::Set(const std::wstring& name, const std::wstring& value) {
  const size_t at = Find(name);
  if (at == std::wstring::npos) {
    Append(name, value);
    return;
  }
  if (value.size() <= Read(at + 4)) {
    pool_.replace(at + kHeader + name.size(), value.size(), value);
    Write(pool_, at + 2, static_cast<uint32_t>(value.size()));
    return;
  }
  stale_ += RecordSize(at);
  Write(pool_, at, Read(at) | kStale);
  Append(name, value);
  if (stale_ > 256 && stale_ * 2 > pool_.size())
    Compact();
}

std::wstring UIAttributeMap::Get(const std::wstring& name) const {
  const size_t at = Find(name);
  if (at == std::wstring::npos)
    return std::wstring();
  return pool_.substr(at + kHeader + name.size(), Read(at + 2));
}

void UIAttributeMap::Compact() {
  std::wstring pool;
  pool.reserve(pool_.size() - stale_);
  for (size_t at = 0; at < pool_.size(); at += RecordSize(at)) {
    if (Read(at) & kStale)
      continue;
    const size_t start = pool.size();
    const uint32_t nameLength = Read(at);
    const uint32_t valueLength = Read(at + 2);
    pool.append(pool_, at, kHeader + nameLength + valueLength);
    Write(pool, start + 4, valueLength);  // the spare room stays behind
  }
  pool_.swap(pool);
  stale_ = 0;
}
