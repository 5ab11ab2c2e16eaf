#include "tests/support/CheckingAllocator.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kLive = 0x4556494C;   // "LIVE"
constexpr uint32_t kFreed = 0x45455246;  // "FREE"
constexpr uint64_t kGuard = 0xC0DEC0DEC0DEC0DEull;
constexpr unsigned char kFreedByte = 0xFD;
constexpr size_t kMaxQuarantined = 1u << 16;  // blocks
constexpr size_t kMinAlign = 16;

// Sits right before the caller's bytes; the tail guard right after them.
struct Header {
  void* raw;
  size_t size;
  uint32_t state;
  uint32_t spare;
  uint64_t guard;
};
static_assert(sizeof(Header) % kMinAlign == 0, "keeps the caller's bytes aligned");

// Constant-initialised: operator new runs before any constructor.
SRWLOCK lock = SRWLOCK_INIT;
Header* ring[kMaxQuarantined];
size_t oldest = 0;
size_t held = 0;
size_t heldBytes = 0;

Header* HeaderOf(const void* p) {
  return reinterpret_cast<Header*>(const_cast<char*>(static_cast<const char*>(p)) - sizeof(Header));
}

char* BytesOf(Header* h) {
  return reinterpret_cast<char*>(h + 1);
}

[[noreturn]] void Fault(const char* what, const void* p, size_t size) {
  char text[200];
  std::snprintf(text, sizeof(text), "checking allocator: %s (block at %p, %zu bytes)", what, p,
                size);
  EndTestProcessOnFault(text);
}

void FillFreed(char* p, size_t size) {
  size_t words = size / 8;
  for (size_t i = 0; i < words; ++i) {
    uint64_t w = checking_allocator::FreedWord(i * 8);
    std::memcpy(p + i * 8, &w, 8);
  }
  std::memset(p + words * 8, kFreedByte, size % 8);
}

bool StillFreed(const char* p, size_t size) {
  size_t words = size / 8;
  for (size_t i = 0; i < words; ++i) {
    uint64_t w;
    std::memcpy(&w, p + i * 8, 8);
    if (w != checking_allocator::FreedWord(i * 8))
      return false;
  }
  for (size_t i = words * 8; i < size; ++i) {
    if (static_cast<unsigned char>(p[i]) != kFreedByte)
      return false;
  }
  return true;
}

void* Allocate(size_t size, size_t align, bool nothrow) {
  if (align < kMinAlign)
    align = kMinAlign;
  size_t extra = align > kMinAlign ? align : 0;
  size_t overhead = sizeof(Header) + sizeof(kGuard) + extra;
  char* raw =
      size <= SIZE_MAX - overhead ? static_cast<char*>(std::malloc(size + overhead)) : nullptr;
  if (!raw) {
    if (nothrow)
      return nullptr;
    throw std::bad_alloc();
  }
  uintptr_t at = (reinterpret_cast<uintptr_t>(raw) + sizeof(Header) + align - 1) & ~(align - 1);
  char* bytes = reinterpret_cast<char*>(at);
  Header* h = HeaderOf(bytes);
  h->raw = raw;
  h->size = size;
  h->state = kLive;
  h->spare = 0;
  h->guard = kGuard;
  std::memcpy(bytes + size, &kGuard, sizeof(kGuard));
  return bytes;
}

// Frees the oldest blocks until the quarantine is within its limits. Called with the lock held.
void Evict() {
  while (held > 0 &&
         (held == kMaxQuarantined || heldBytes > checking_allocator::kQuarantineBytes)) {
    Header* h = ring[oldest];
    oldest = (oldest + 1) % kMaxQuarantined;
    --held;
    heldBytes -= h->size;
    if (!StillFreed(BytesOf(h), h->size)) {
      ReleaseSRWLockExclusive(&lock);
      Fault("written after delete", BytesOf(h), h->size);
    }
    std::free(h->raw);
  }
}

void Release(void* p) {
  if (!p)
    return;
  Header* h = HeaderOf(p);
  if (h->state == kFreed)
    Fault("double delete", p, h->size);
  if (h->state != kLive || h->guard != kGuard)
    Fault("delete of a pointer not handed out by operator new, or underrun", p, 0);
  uint64_t tail;
  std::memcpy(&tail, static_cast<char*>(p) + h->size, sizeof(tail));
  if (tail != kGuard)
    Fault("overrun past the end", p, h->size);
  h->state = kFreed;
  FillFreed(static_cast<char*>(p), h->size);
  if (h->size >= checking_allocator::kQuarantineBytes) {
    std::free(h->raw);
    return;
  }
  AcquireSRWLockExclusive(&lock);
  if (held == kMaxQuarantined)
    Evict();
  ring[(oldest + held) % kMaxQuarantined] = h;
  ++held;
  heldBytes += h->size;
  Evict();
  ReleaseSRWLockExclusive(&lock);
}

}  // namespace

namespace checking_allocator {

uint64_t FreedWord(size_t offset) {
  return 0xFDFD0000000000FDull | ((static_cast<uint64_t>(offset) << 16) & 0x00007FFFFFFF0000ull);
}

bool IsQuarantined(const void* p) {
  return p && HeaderOf(p)->state == kFreed;
}

}  // namespace checking_allocator

void* operator new(std::size_t size) {
  return Allocate(size, kMinAlign, false);
}
void* operator new[](std::size_t size) {
  return Allocate(size, kMinAlign, false);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size, kMinAlign, true);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size, kMinAlign, true);
}
void* operator new(std::size_t size, std::align_val_t align) {
  return Allocate(size, static_cast<size_t>(align), false);
}
void* operator new[](std::size_t size, std::align_val_t align) {
  return Allocate(size, static_cast<size_t>(align), false);
}
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  return Allocate(size, static_cast<size_t>(align), true);
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  return Allocate(size, static_cast<size_t>(align), true);
}

void operator delete(void* p) noexcept {
  Release(p);
}
void operator delete[](void* p) noexcept {
  Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  Release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  Release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  Release(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  Release(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  Release(p);
}
