#include "tests/support/TempDir.h"

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "sys/Guid.h"

TempDir::TempDir() {
  wchar_t base[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, base);
  path_ = std::wstring(base) + L"quelm-test-" + NewGuidString();
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
  std::wstring from = path_ + L'\0';  // the shell wants a double-terminated list
  SHFILEOPSTRUCTW op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
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

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
