#include "ui/core/UIAttributeMap.h"

#include <cwchar>

int UIAttributeMap::IndexOf(const std::wstring& name) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (e.nameLength == name.size() &&
        std::wmemcmp(pool_.data() + e.name, name.data(), name.size()) == 0)
      return static_cast<int>(i);
  }
  return -1;
}

void UIAttributeMap::Set(const std::wstring& name, const std::wstring& value) {
  if (entries_.empty()) {
    entries_.reserve(4);
    pool_.reserve(64);
  }
  const uint32_t size = static_cast<uint32_t>(value.size());
  int at = IndexOf(name);
  if (at >= 0) {
    Entry* e = &entries_[at];
    if (size <= e->capacity) {
      pool_.replace(e->value, size, value);
      e->valueLength = size;
      return;
    }
    stale_ += e->capacity;
    e->value = static_cast<uint32_t>(pool_.size());
    e->valueLength = e->capacity = size;
    pool_ += value;
    if (stale_ > 256 && stale_ * 2 > pool_.size())
      Compact();
    return;
  }
  Entry e;
  e.name = static_cast<uint32_t>(pool_.size());
  e.nameLength = static_cast<uint32_t>(name.size());
  pool_ += name;
  e.value = static_cast<uint32_t>(pool_.size());
  e.valueLength = e.capacity = size;
  pool_ += value;
  entries_.push_back(e);
}

std::wstring UIAttributeMap::Get(const std::wstring& name) const {
  int at = IndexOf(name);
  return at < 0 ? std::wstring() : pool_.substr(entries_[at].value, entries_[at].valueLength);
}

void UIAttributeMap::Compact() {
  std::wstring pool;
  pool.reserve(pool_.size() - stale_);
  for (Entry& e : entries_) {
    uint32_t name = static_cast<uint32_t>(pool.size());
    pool.append(pool_, e.name, e.nameLength);
    uint32_t value = static_cast<uint32_t>(pool.size());
    pool.append(pool_, e.value, e.valueLength);
    e.name = name;
    e.value = value;
    e.capacity = e.valueLength;
  }
  pool_.swap(pool);
  stale_ = 0;
}
