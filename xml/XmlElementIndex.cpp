#include "xml/XmlElementIndex.h"

#include <new>

void XmlElementIndex::Reset(uint32_t expected) {
  document_ = {};
  count_ = 1;
  uint64_t blocks = (static_cast<uint64_t>(expected) + kBlockRecords) / kBlockRecords;
  while (blocks_.size() < blocks)
    AddBlock();
}

uint32_t XmlElementIndex::Add() {
  if (count_ == UINT32_MAX)
    throw std::bad_alloc();
  if (count_ >= blocks_.size() * kBlockRecords)
    AddBlock();
  uint32_t pos = count_++;
  (*this)[pos] = {};
  return pos;
}

void XmlElementIndex::AddBlock() {
  // Default-initialised: a block costs nothing until its records are used.
  blocks_.emplace_back(new XmlElementRecord[kBlockRecords]);
}
