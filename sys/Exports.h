#pragma once

#include <windows.h>

// The export `name` of `module` as a function pointer of type Fn; nullptr when either is
// missing. For functions that older systems lack.
template <class Fn>
Fn FindExport(HMODULE module, const char* name) {
  if (!module)
    return nullptr;
  // Through a generic function pointer: FARPROC's own type matches no real export.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
