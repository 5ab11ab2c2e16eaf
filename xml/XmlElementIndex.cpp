#include "xml/XmlElementIndex.h"

#include <algorithm>
#include <cstring>
#include <new>

void XmlElementIndex::Reset(uint32_t expected) {
  document_ = {};
  count_ = 1;
  Grow(static_cast<uint64_t>(expected) + 1);
}

uint32_t XmlElementIndex::Add() {
  if (count_ == UINT32_MAX)
    throw std::bad_alloc();
  if (count_ >= capacity_)
    Grow(static_cast<uint64_t>(count_) * 2);
  uint32_t pos = count_++;
  (*this)[pos] = {};
  return pos;
}

void XmlElementIndex::Grow(uint64_t records) {
  if (records <= capacity_)
    return;
  if (blocks_.empty() || firstBlockRecords_ < kBlockRecords) {
    // Default-initialised: the records cost nothing until used.
    uint32_t size =
        static_cast<uint32_t>(std::min<uint64_t>(std::max<uint64_t>(records, 64), kBlockRecords));
    std::unique_ptr<XmlElementRecord[]> block(new XmlElementRecord[size]);
    if (!blocks_.empty()) {
      std::memcpy(block.get(), blocks_[0].get(),
                  std::min(count_, firstBlockRecords_) * sizeof(XmlElementRecord));
      blocks_[0] = std::move(block);
    } else {
      blocks_.push_back(std::move(block));
    }
    firstBlockRecords_ = size;
    capacity_ = size;
  }
  while (capacity_ < records) {
    blocks_.emplace_back(new XmlElementRecord[kBlockRecords]);
    capacity_ += kBlockRecords;
  }
}
