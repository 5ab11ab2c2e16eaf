#include "sys/Folders.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include "sys/Handles.h"

std::vector<FolderEntry> ListFolder(const std::wstring& folder) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW data = {};
  ScopedFindHandle find(FindFirstFileW((folder + L"\\*.*").c_str(), &data));
  if (!find)
    return entries;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..")
      continue;
    FolderEntry entry;
    entry.name = name;
    entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.reparsePoint = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entries.push_back(std::move(entry));
  } while (FindNextFileW(find.get(), &data));
  return entries;
}

bool IsFolder(const std::wstring& path) {
  if (path.empty())
    return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsReparsePoint(const std::wstring& path) {
  if (path.empty())
    return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::wstring FullPath(const std::wstring& path) {
  if (path.empty())
    return std::wstring();
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0)
    return std::wstring();
  std::wstring full(needed, L'\0');
  const DWORD written = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
  if (written == 0 || written >= needed)
    return std::wstring();
  full.resize(written);
  // The long-path forms name the same places; without them the checks below see plain paths.
  if (full.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    full.erase(2, 6);
  else if (full.compare(0, 4, L"\\\\?\\") == 0 && full.size() >= 6 && full[5] == L':')
    full.erase(0, 4);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
    full.pop_back();
  return full;
}

bool IsRootPath(const std::wstring& path) {
  std::wstring full = FullPath(path);
  if (full.empty())
    return false;
  if (full.back() != L'\\')
    full += L'\\';
  return PathIsRootW(full.c_str()) != FALSE;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  const std::wstring fullA = FullPath(a);
  const std::wstring fullB = FullPath(b);
  return !fullA.empty() &&
         CompareStringOrdinal(fullA.c_str(), -1, fullB.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool PathIsWithin(const std::wstring& inner, const std::wstring& outer) {
  const std::wstring fullInner = FullPath(inner);
  std::wstring fullOuter = FullPath(outer);
  if (fullInner.empty() || fullOuter.empty())
    return false;
  if (fullInner.size() == fullOuter.size())
    return SamePath(fullInner, fullOuter);
  if (fullOuter.back() != L'\\')
    fullOuter += L'\\';
  if (fullInner.size() < fullOuter.size())
    return false;
  return CompareStringOrdinal(fullInner.c_str(), static_cast<int>(fullOuter.size()),
                              fullOuter.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::pair<std::wstring, std::wstring> SplitPath(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos)
    return {L".", path};
  return {path.substr(0, slash), path.substr(slash + 1)};
}

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH, buffer);
  // A result of MAX_PATH or more is the size the path would need: it did not fit.
  if (length == 0 || length >= MAX_PATH)
    return std::wstring();
  std::wstring folder(buffer, length);
  // "C:\" keeps its backslash: "C:" alone would name the drive's current folder.
  if (folder.back() == L'\\' && !(folder.size() == 3 && folder[1] == L':'))
    folder.pop_back();
  return folder;
}

std::wstring KnownFolderPath(KnownFolder folder) {
  wchar_t path[MAX_PATH + 1] = {};
  if (folder == KnownFolder::Windows) {
    const UINT length = GetWindowsDirectoryW(path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : FullPath(path);
  }
  int csidl = 0;
  switch (folder) {
    case KnownFolder::CommonStartMenu:
      csidl = CSIDL_COMMON_STARTMENU;
      break;
    case KnownFolder::CommonPrograms:
      csidl = CSIDL_COMMON_PROGRAMS;
      break;
    case KnownFolder::Programs:
      csidl = CSIDL_PROGRAMS;
      break;
    case KnownFolder::StartMenu:
      csidl = CSIDL_STARTMENU;
      break;
    case KnownFolder::AppData:
      csidl = CSIDL_APPDATA;
      break;
    case KnownFolder::Desktop:
      csidl = CSIDL_DESKTOPDIRECTORY;
      break;
    case KnownFolder::CommonDesktop:
      csidl = CSIDL_COMMON_DESKTOPDIRECTORY;
      break;
    case KnownFolder::Profile:
      csidl = CSIDL_PROFILE;
      break;
    case KnownFolder::Windows:
      break;
  }
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
    return std::wstring();
  return FullPath(path);
}
