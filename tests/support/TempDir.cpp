#include "tests/support/TempDir.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "sys/Guid.h"

TempDir::TempDir() {
  wchar_t base[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, base);
  path_ = std::wstring(base) + L"quelm-test-" + NewGuidString();
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
  // Not SHFileOperation: Wine's recursive delete has been seen to empty the working folder.
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

std::wstring TempDir::Child(const std::wstring& name) const {
  return path_ + L"\\" + name;
}

std::wstring TempDir::WriteFile(const std::wstring& name, const std::string& bytes) const {
  std::wstring full = Child(name);
  std::ofstream out(std::filesystem::path(full), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return full;
}
