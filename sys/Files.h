#pragma once

#include <string>

// True when a file or a folder exists at `path`. An empty path exists nowhere.
bool PathExists(const std::wstring& path);
