#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The file side of the temp-junk cleaner. Any thread; nothing here touches a window.

// Appends every file under `folder`, depth first: a subfolder's files come before the entries
// that follow it in search order. Names beginning with "." are skipped, files and folders
// alike, and so is every reparse point (junction, symbolic link, mount point): the cleaner
// runs elevated and must never reach outside the folder it was given. A folder that cannot be
// searched adds nothing.
void CollectFiles(const std::wstring& folder, std::vector<std::wstring>& list);

// The temporary folder when it is safe to clean, without trailing backslash; empty when the
// system cannot give it, it does not exist, or it is a root, the Windows folder, the user's
// profile folder, or a folder holding one of them.
std::wstring CleanableTempFolder();

// "1.50G" from 2^30 bytes up, "2.00M" above 2^20 bytes, "0.00KB" style below; 2^20 itself is
// "1024.00KB".
std::wstring FormatSize(uint64_t bytes);
