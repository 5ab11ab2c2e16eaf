#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "sys/GdiplusApi.h"

// One program offered for selection: a running process or an installed program.
struct ProgramEntry {
  // The executable's file name for a process, the shortcut's display name for an installed
  // program.
  std::wstring name;
  // Full path of the executable, or of the shortcut when it cannot be resolved.
  std::wstring path;
  // 32-bit ARGB with per-pixel alpha; none when the shell had no icon.
  std::unique_ptr<Gdiplus::Bitmap> icon;
};

// Entries live on the heap so that rows of a list can point at them; the list owns them.
using ProgramList = std::vector<std::unique_ptr<ProgramEntry>>;
