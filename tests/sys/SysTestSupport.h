#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "sys/Files.h"
#include "sys/GdiplusApi.h"
#include "sys/Handles.h"
#include "tests/support/PumpUntil.h"

// Full path of the helper program built next to the test executable.
inline std::wstring HelperPath() {
  return GetModuleDirectory() + L"\\sys_helper.exe";
}

// Starts the helper with `arguments`, no window; the handle is invalid when it did not start.
inline ScopedHandle StartHelper(const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + HelperPath() + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(HelperPath().c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
    return ScopedHandle();
  CloseHandle(process.hThread);
  return ScopedHandle(process.hProcess);
}

// GDI+ and COM for the tests that make bitmaps and ask the shell.
class GdiplusFixtureBase {
 protected:
  GdiplusFixtureBase() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
  }
  ~GdiplusFixtureBase() { Gdiplus::GdiplusShutdown(token_); }

 private:
  ScopedComInit com_;
  ULONG_PTR token_ = 0;
};
