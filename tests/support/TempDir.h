#pragma once

#include <string>

// Tests read files back with ReadFileBytes.
#include "sys/Files.h"

// A fresh, empty folder under the temporary folder, removed with its contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& path() const { return path_; }
  // path() + "\" + name
  std::wstring Child(const std::wstring& name) const;
  // Writes `bytes` to the file `name` in this folder and returns its full path.
  std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const;

 private:
  std::wstring path_;
};
