#pragma once

#include <windows.h>

#include <string>

#include "sys/Handles.h"

// The export `name` of `module` as a function pointer of type Fn; nullptr when either is
// missing. For functions that older systems lack.
template <class Fn>
Fn FindExport(HMODULE module, const char* name) {
  if (!module)
    return nullptr;
  // Through a generic function pointer: FARPROC's own type matches no real export.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Loads the library at the full path `path` only; its own imports come from its own folder and
// the system folder, never from the program's folder, the current directory or PATH. Invalid
// when the file is missing or is not a loadable library (and on a Windows 7 without the update
// that brought these search flags).
inline ScopedLibrary LoadLibraryAt(const std::wstring& path) {
  return ScopedLibrary(LoadLibraryExW(
      path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
}
