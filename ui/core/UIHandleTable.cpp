#include "ui/core/UIHandleTable.h"

namespace {

constexpr size_t kMinCapacity = 64;

}  // namespace

long long UIHandleTable::SlotOf(uint32_t handle) const {
  if (slots_.empty() || handle == 0 || (handle & kRemoved))
    return -1;
  const size_t mask = slots_.size() - 1;
  // Handles are handed out in sequence, so their low bits spread them without hashing. A handle
  // added again after its removal takes the first free slot from its home, so its own removed
  // slot ends the search: a control that unregisters twice costs no walk through the run.
  for (size_t i = handle & mask;; i = (i + 1) & mask) {
    const uint32_t h = slots_[i].handle;
    if (h == handle)
      return static_cast<long long>(i);
    if (h == 0 || h == (handle | kRemoved))
      return -1;
  }
}

uint32_t UIHandleTable::Add(UIControl* control) {
  // Half full at most, removed slots included, so that every probe ends at a never-used slot.
  if ((used_ + 1) * 2 > slots_.size()) {
    size_t capacity = kMinCapacity;
    while (capacity < (live_ + 1) * 4)
      capacity *= 2;
    Rebuild(capacity);
  }
  uint32_t handle;
  for (;;) {
    handle = next_++ & mask_;
    if (handle == 0) {
      wrapped_ = true;
      continue;
    }
    // Until the counter comes round no handle can be in use yet, and the search for one that
    // is not would run through every removed slot of the run.
    if (!wrapped_ || SlotOf(handle) < 0)
      break;
  }
  const size_t mask = slots_.size() - 1;
  size_t i = handle & mask;
  while (slots_[i].handle != 0 && !(slots_[i].handle & kRemoved))
    i = (i + 1) & mask;
  if (slots_[i].handle == 0)
    ++used_;
  slots_[i] = {handle, control};
  ++live_;
  return handle;
}

void UIHandleTable::Remove(uint32_t handle, const UIControl* control) {
  long long at = SlotOf(handle);
  if (at < 0 || slots_[at].control != control)
    return;
  slots_[at] = {handle | kRemoved, nullptr};
  --live_;
}

UIControl* UIHandleTable::Find(uint32_t handle) const {
  long long at = SlotOf(handle);
  return at < 0 ? nullptr : slots_[at].control;
}

void UIHandleTable::Rebuild(size_t capacity) {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.resize(capacity);
  used_ = live_ = 0;
  const size_t mask = capacity - 1;
  for (const Slot& s : old) {
    if (s.handle == 0 || (s.handle & kRemoved))
      continue;
    size_t i = s.handle & mask;
    while (slots_[i].handle != 0)
      i = (i + 1) & mask;
    slots_[i] = s;
    ++used_;
    ++live_;
  }
}
