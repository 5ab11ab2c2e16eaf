#pragma once

#include <cstddef>
#include <cstdint>

// Every test executable replaces the global operator new and delete family (CheckingAllocator.cpp
// is linked into each through the test support library) so that memory faults fail the test that
// makes them instead of passing by luck:
// - a freed block is filled with FreedWord at once and kept out of reuse in a quarantine of
//   kQuarantineBytes, oldest out first; a pointer read from it faults when followed, a freed
//   vector looks non-empty, and a write into it is found when it leaves the quarantine;
// - every block carries a guard word on each side: a double delete, a delete of a pointer not
//   handed out here and an overrun end the process on the spot, naming the running test.
// Thread-safe; works before main and after it.

namespace checking_allocator {

constexpr size_t kQuarantineBytes = 8u << 20;

// What a freed block holds at byte `offset` (a multiple of 8): a non-canonical address that
// differs by far more than any element size from the word before it.
uint64_t FreedWord(size_t offset);

// Whether `p`, handed out by operator new and deleted since, still waits in the quarantine.
// Only for blocks freed a moment ago (an evicted block is gone).
bool IsQuarantined(const void* p);

}  // namespace checking_allocator

// Ends the test process after a fault, printing `what` and the name of the running test.
// Defined next to main.
[[noreturn]] void EndTestProcessOnFault(const char* what);
