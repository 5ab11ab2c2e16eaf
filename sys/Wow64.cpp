#include "sys/Wow64.h"

#include <windows.h>

#include <atomic>

#include "sys/Exports.h"

namespace {

// 0 not asked yet, 1 no, 2 yes. Atomic because the version text may be asked off the UI thread.
std::atomic<int> g_isWow64{0};

// The redirection value saved by the last DisableFsRedirection.
PVOID g_savedRedirection = nullptr;
bool g_redirectionOff = false;

template <class Fn>
Fn Kernel32Export(const char* name) {
  return FindExport<Fn>(GetModuleHandleW(L"kernel32.dll"), name);
}

}  // namespace

bool IsWow64() {
  int cached = g_isWow64.load(std::memory_order_relaxed);
  if (cached == 0) {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64Process = Kernel32Export<IsWow64ProcessFn>("IsWow64Process");
    BOOL wow64 = FALSE;
    if (isWow64Process && !isWow64Process(GetCurrentProcess(), &wow64))
      wow64 = FALSE;
    cached = wow64 ? 2 : 1;
    g_isWow64.store(cached, std::memory_order_relaxed);
  }
  return cached == 2;
}

void DisableFsRedirection() {
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  auto disable = Kernel32Export<DisableFn>("Wow64DisableWow64FsRedirection");
  if (!disable)
    return;
  g_redirectionOff = true;
  disable(&g_savedRedirection);
}

void RevertFsRedirection() {
  if (!IsWow64() || !g_redirectionOff)
    return;
  using RevertFn = BOOL(WINAPI*)(PVOID);
  auto revert = Kernel32Export<RevertFn>("Wow64RevertWow64FsRedirection");
  g_redirectionOff = false;
  if (revert)
    revert(g_savedRedirection);
}
