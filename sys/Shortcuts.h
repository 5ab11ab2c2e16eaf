#pragma once

#include <string>

// True for a non-empty path that is not a folder and ends in ".lnk" in any letter case. The
// file need not exist.
bool IsShortcutFile(const std::wstring& path);

// The target of the shortcut `lnkPath` as stored (environment variables not expanded) when it
// exists as a file or folder; otherwise, and on any failure, `lnkPath` itself. Needs COM on
// the calling thread.
std::wstring ResolveShortcut(const std::wstring& lnkPath);
