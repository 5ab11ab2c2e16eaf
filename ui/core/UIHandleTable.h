#pragma once

#include <cstdint>
#include <vector>

class UIControl;

// Handle -> control, for resolving timers and deferred calls to controls that may be gone.
// Handles count up and wrap within `bits` bits, skipping 0 and those still in use, so a stale
// handle finds nothing for as long as the counter takes to come round. Open addressing in one
// array: adding and removing allocate nothing but the table's own growth. Not locked.
class UIHandleTable {
 public:
  // `bits` at most 31.
  explicit UIHandleTable(int bits = 24) : mask_((1u << bits) - 1) {}

  // A fresh handle for `control`. The table must not hold every handle of its range.
  uint32_t Add(UIControl* control);
  // Only while the entry is still `control`'s.
  void Remove(uint32_t handle, const UIControl* control);
  // Null when nothing holds `handle`.
  UIControl* Find(uint32_t handle) const;

 private:
  struct Slot {
    uint32_t handle = 0;  // 0: never used; with kRemoved: the handle that was here
    UIControl* control = nullptr;
  };
  static constexpr uint32_t kRemoved = 0x80000000u;

  // The slot holding `handle`; -1 when none.
  long long SlotOf(uint32_t handle) const;
  void Rebuild(size_t capacity);

  std::vector<Slot> slots_;
  size_t used_ = 0;  // slots not 0: live and removed
  size_t live_ = 0;
  uint32_t next_ = 1;
  bool wrapped_ = false;
  uint32_t mask_;
};
