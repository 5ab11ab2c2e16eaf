#include "sys/PinnedFolder.h"

#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "sys/Folders.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  return !folder.empty() && folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

// A folder, following links on the way. Listing access takes part in sharing, so a `share`
// without FILE_SHARE_DELETE keeps the folder from being renamed while the handle is open.
ScopedHandle OpenFolder(const std::wstring& path, DWORD share) {
  return ScopedHandle(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, share,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// The entry itself, never what a link at `path` points to.
ScopedHandle OpenNoFollow(const std::wstring& path, DWORD access) {
  return ScopedHandle(CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool IsPlainFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info = {};
  return GetFileInformationByHandle(file, &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool MarkForDeletion(HANDLE file) {
  FILE_DISPOSITION_INFO info = {TRUE};  // DeleteFile, a name the SDK's macros would rename
  return SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof(info)) != FALSE;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

// Renames `file` to `name` inside the folder `folder` is a handle of. The target is named
// relative to that handle, so no path is walked again and no link on the way can be swapped in.
// The documented FileRenameInfo takes the same structure, but not every implementation keeps a
// relative name relative; the native call does.
bool RenameOnHandle(HANDLE file, HANDLE folder, const std::wstring& name, bool replace) {
  using SetInformationFile =
      LONG(NTAPI*)(HANDLE, IO_STATUS_BLOCK*, void*, ULONG, FILE_INFORMATION_CLASS);
  static const SetInformationFile set = [] {
    SetInformationFile function = nullptr;
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile");
    static_assert(sizeof(function) == sizeof(found), "function pointers differ in size");
    std::memcpy(&function, &found, sizeof(function));
    return function;
  }();
  if (!set)
    return false;
  const size_t nameBytes = name.size() * sizeof(wchar_t);
  // The structure's one-character array leaves room for the terminator.
  std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + nameBytes, 0);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = replace ? TRUE : FALSE;
  info->RootDirectory = folder;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(info->FileName, name.data(), nameBytes);
  IO_STATUS_BLOCK status = {};
  constexpr int kFileRenameInformation = 10;
  return set(file, &status, info, static_cast<ULONG>(buffer.size()),
             static_cast<FILE_INFORMATION_CLASS>(kFileRenameInformation)) >= 0;
}

}  // namespace

std::wstring FinalPathOf(HANDLE handle) {
  const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  const DWORD needed = GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
  if (needed == 0)
    return std::wstring();
  std::wstring path(needed, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(handle, &path[0], needed, flags);
  if (length == 0 || length >= needed)
    return std::wstring();
  path.resize(length);
  return path;
}

PinnedFolder::PinnedFolder(std::wstring folder) : path_(std::move(folder)) {
  while (path_.size() > 3 && path_.back() == L'\\')
    path_.pop_back();
  const DWORD attributes = GetFileAttributesW(path_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return;
  link_ = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  folder_ = OpenFolder(path_, FILE_SHARE_READ | FILE_SHARE_WRITE);
  finalPath_ = folder_ ? FinalPathOf(folder_.get()) : std::wstring();
  if (finalPath_.empty()) {
    folder_.reset();
    return;
  }
  // Where a link does not show as a reparse point, it shows in where the folder really is.
  const size_t slash = path_.find_last_of(L'\\');
  if (link_ || slash == std::wstring::npos || slash + 1 == path_.size())
    return;
  std::wstring parentPath = path_.substr(0, slash);
  if (parentPath.size() == 2 && parentPath[1] == L':')
    parentPath += L'\\';
  ScopedHandle parent = OpenFolder(parentPath, kShareAll);
  const std::wstring parentFinal = parent ? FinalPathOf(parent.get()) : std::wstring();
  if (parentFinal.empty()) {
    folder_.reset();
    return;
  }
  link_ = !SamePath(finalPath_, Join(parentFinal, path_.substr(slash + 1)));
}

bool PinnedFolder::Holds(HANDLE file, const std::wstring& name) const {
  const std::wstring where = FinalPathOf(file);
  return !where.empty() && !finalPath_.empty() && SamePath(where, Join(finalPath_, name));
}

bool PinnedFolder::Exists(const std::wstring& name) const {
  return GetFileAttributesW(Child(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool PinnedFolder::Read(const std::wstring& name, std::string& bytes) const {
  bytes.clear();
  if (!folder_)
    return false;
  ScopedHandle file = OpenNoFollow(Child(name), GENERIC_READ);
  BY_HANDLE_FILE_INFORMATION info = {};
  // A second name elsewhere would let the file be anything the program may read.
  if (!file || !Holds(file.get(), name) || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || info.nNumberOfLinks > 1)
    return false;
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) {
      bytes.clear();
      return false;
    }
    if (got == 0)
      return true;
    bytes.append(buffer, got);
  }
}

bool PinnedFolder::Replace(const std::wstring& name, const std::string& bytes) const {
  return WriteNew(name, bytes, true);
}

bool PinnedFolder::Create(const std::wstring& name, const std::string& bytes) const {
  return WriteNew(name, bytes, false);
}

bool PinnedFolder::WriteNew(const std::wstring& name,
                            const std::string& bytes,
                            bool replace) const {
  if (!writable())
    return false;
  const std::wstring temp = name + L".tmp";
  if (!Delete(temp))
    return false;
  ScopedHandle file(CreateFileW(Child(temp).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file)
    return false;
  const bool done = Holds(file.get(), temp) && WriteAll(file.get(), bytes) &&
                    FlushFileBuffers(file.get()) &&
                    RenameOnHandle(file.get(), folder_.get(), name, replace);
  // Whatever this call created goes again, wherever it landed.
  if (!done)
    MarkForDeletion(file.get());
  return done;
}

bool PinnedFolder::Delete(const std::wstring& name) const {
  if (!writable())
    return false;
  ScopedHandle file = OpenNoFollow(Child(name), DELETE | FILE_READ_ATTRIBUTES);
  if (!file)
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  return Holds(file.get(), name) && IsPlainFile(file.get()) && MarkForDeletion(file.get());
}

bool DeleteFileWithin(const std::wstring& root, const std::wstring& path) {
  ScopedHandle rootHandle = OpenFolder(root, kShareAll);
  const std::wstring rootFinal = rootHandle ? FinalPathOf(rootHandle.get()) : std::wstring();
  if (rootFinal.empty())
    return false;
  ScopedHandle file = OpenNoFollow(path, DELETE | FILE_READ_ATTRIBUTES);
  if (!file)
    return false;
  // A plain file is never the root itself, so lying within it means lying below it.
  return PathIsWithin(FinalPathOf(file.get()), rootFinal) && IsPlainFile(file.get()) &&
         MarkForDeletion(file.get());
}
