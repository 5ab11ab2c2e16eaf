#pragma once

#include <string>
#include <utility>
#include <vector>

// Folder listing, the system's well-known folders and path checks. Any thread unless noted;
// failures give the neutral result named at each function.

// One entry of a folder listing.
struct FolderEntry {
  std::wstring name;
  bool folder = false;
  // A junction, symbolic link, mount point or any other reparse point.
  bool reparsePoint = false;
};

// Every entry of `folder` (searched as folder + "\*.*") except "." and "..", in search order.
// Empty when the folder cannot be searched.
std::vector<FolderEntry> ListFolder(const std::wstring& folder);

// True when `path` is a folder (a link to one counts).
bool IsFolder(const std::wstring& path);
// True when `path` itself is a reparse point; false when it is not or does not exist.
bool IsReparsePoint(const std::wstring& path);

// `path` made absolute, "\." and "\.." resolved, the long-path prefix "\\?\" dropped, without a
// trailing backslash except after a bare drive ("C:\"); empty when it cannot be made absolute.
std::wstring FullPath(const std::wstring& path);
// True when `path` names a drive root, a network share's root or the root of the current drive.
bool IsRootPath(const std::wstring& path);
// True when both name the same full path, ignoring letter case.
bool SamePath(const std::wstring& a, const std::wstring& b);
// True when `inner` lies at or below `outer` (full paths, letter case ignored).
bool PathIsWithin(const std::wstring& inner, const std::wstring& outer);
// The last component of `path` ("C:\x\a.exe" gives "a.exe"); `path` itself without a separator.
std::wstring FileNameOf(const std::wstring& path);
// The folder and the file name of `path`, cut at its last backslash; the folder is "." when
// there is none.
std::pair<std::wstring, std::wstring> SplitPath(const std::wstring& path);

// The temporary folder the system gives this process, trailing backslash removed (a drive root
// keeps it); empty when the call fails or the path does not fit into 260 characters.
std::wstring TempFolder();

enum class KnownFolder {
  CommonStartMenu,
  CommonPrograms,
  Programs,
  StartMenu,
  AppData,
  Desktop,
  CommonDesktop,
  Profile,
  Windows,
};
// The folder's path without trailing backslash; empty when the system cannot say. Needs COM on
// the calling thread for the shell's folders.
std::wstring KnownFolderPath(KnownFolder folder);
