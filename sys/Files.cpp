#include "sys/Files.h"

#include <windows.h>

bool PathExists(const std::wstring& path) {
  if (path.empty())
    return false;
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
