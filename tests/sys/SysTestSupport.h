#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "sys/Files.h"
#include "sys/GdiplusSession.h"
#include "sys/Handles.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/StartProcess.h"

// Full path of the helper program built next to the test executable.
inline std::wstring HelperPath() {
  return GetModuleDirectory() + L"\\sys_helper.exe";
}

// Starts the helper with `arguments`, no window; the handle is invalid when it did not start.
inline ScopedHandle StartHelper(const std::wstring& arguments) {
  return StartProcess(HelperPath(), arguments);
}

// GDI+ and COM for the tests that make bitmaps and ask the shell.
class GdiplusFixtureBase {
 private:
  ScopedComInit com_;
  GdiplusSession gdiplus_;
};
