#pragma once

#include <cstdint>
#include <string>

// True when a file or a folder exists at `path`. An empty path exists nowhere.
bool PathExists(const std::wstring& path);

// Bytes the file at `path` takes: its compressed size where the file system compresses, else
// its size. 0 for an empty path, a folder, or a file that cannot be found.
uint64_t GetFileSizeOnDisk(const std::wstring& path);

// The file version of the version resource of `path`: major and minor from the most
// significant half, build and revision from the least significant one. False, and all four 0,
// when the file has no version resource.
bool GetFileVersion(const std::wstring& path, int& major, int& minor, int& build, int& revision);

// The folder of the running executable, without a trailing backslash.
std::wstring GetModuleDirectory();
