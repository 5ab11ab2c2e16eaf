#pragma once

#include <windows.h>

#include <string>

// Points the user's local application-data folder at `folder` for the programs this test
// starts while the object lives (Wine's shell reads the "User Shell Folders" value afresh in
// every process; the environment's LOCALAPPDATA it ignores), and puts the value back after.
// The calling process keeps whatever its shell has already read.
class ScopedLocalAppData {
 public:
  explicit ScopedLocalAppData(const std::wstring& folder);
  ~ScopedLocalAppData();
  ScopedLocalAppData(const ScopedLocalAppData&) = delete;
  ScopedLocalAppData& operator=(const ScopedLocalAppData&) = delete;

 private:
  bool present_ = false;
  DWORD type_ = 0;
  std::wstring saved_;
};
