#include "sys/Files.h"

#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "sys/Handles.h"

bool PathExists(const std::wstring& path) {
  if (path.empty())
    return false;
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint64_t GetFileSizeOnDisk(const std::wstring& path) {
  if (path.empty())
    return 0;
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return 0;
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetCompressedFileSizeW(path.c_str(), &high);
  // INVALID_FILE_SIZE is also a valid low half; only the error code tells failure apart.
  if (low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR)
    return (static_cast<uint64_t>(high) << 32) | low;
  ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size = {};
  if (file && GetFileSizeEx(file.get(), &size))
    return static_cast<uint64_t>(size.QuadPart);
  WIN32_FIND_DATAW found = {};
  ScopedFindHandle search(FindFirstFileW(path.c_str(), &found));
  if (!search)
    return 0;
  return (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

bool GetFileVersion(const std::wstring& path, int& major, int& minor, int& build, int& revision) {
  major = minor = build = revision = 0;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0)
    return false;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
    return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
      fixedSize < sizeof(VS_FIXEDFILEINFO))
    return false;
  major = HIWORD(fixed->dwFileVersionMS);
  minor = LOWORD(fixed->dwFileVersionMS);
  build = HIWORD(fixed->dwFileVersionLS);
  revision = LOWORD(fixed->dwFileVersionLS);
  return true;
}

std::wstring GetModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0)
      return std::wstring();
    if (length < buffer.size())
      return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring GetModuleDirectory() {
  std::wstring path = GetModulePath();
  size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? path : path.substr(0, slash);
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool DeleteFileIfExists(const std::wstring& path) {
  return DeleteFileW(path.c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::wstring LocalAppDataFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
    return std::wstring();
  return path;
}

bool CreateFolder(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) != FALSE || GetLastError() == ERROR_ALREADY_EXISTS;
}
