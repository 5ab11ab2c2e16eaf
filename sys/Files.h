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

// The full path of the running executable, however long.
std::wstring GetModulePath();
// The folder of the running executable, without a trailing backslash.
std::wstring GetModuleDirectory();

// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool DeleteFileIfExists(const std::wstring& path);
// The shell's per-user local application-data folder; empty when the shell cannot say.
std::wstring LocalAppDataFolder();
// Creates one folder level; true when it exists afterwards.
bool CreateFolder(const std::wstring& path);
