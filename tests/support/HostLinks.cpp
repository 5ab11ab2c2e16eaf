#include "tests/support/HostLinks.h"

#include <windows.h>

#include <cstring>

#include "sys/Files.h"
#include "sys/Handles.h"
#include "tests/support/PumpUntil.h"

namespace {

// The Linux path of `linkPath`, whose last component need not exist yet.
std::wstring UnixPathOfNew(const std::wstring& linkPath) {
  const size_t slash = linkPath.find_last_of(L'\\');
  if (slash == std::wstring::npos)
    return std::wstring();
  const std::wstring folder = UnixPath(linkPath.substr(0, slash));
  return folder.empty() ? folder : folder + L"/" + linkPath.substr(slash + 1);
}

}  // namespace

std::wstring UnixPath(const std::wstring& path) {
  using Convert = char*(CDECL*)(const wchar_t*);
  FARPROC export_ = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
  Convert convert = nullptr;
  static_assert(sizeof(convert) == sizeof(export_), "function pointers differ in size");
  memcpy(&convert, &export_, sizeof(convert));
  if (!convert)
    return std::wstring();
  char* unix = convert(path.c_str());
  if (!unix)
    return std::wstring();
  std::wstring result(unix, unix + strlen(unix));
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

bool StartHostProgram(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW((L"Z:" + program).c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
    return false;
  ScopedHandle thread(process.hThread);
  ScopedHandle child(process.hProcess);
  return true;
}

bool MakeHostSymlink(const std::wstring& target,
                     const std::wstring& linkUnixPath,
                     const std::wstring& linkPath) {
  const std::wstring unixTarget = UnixPath(target);
  return !unixTarget.empty() && !linkUnixPath.empty() &&
         StartHostProgram(L"/bin/ln", L"-s \"" + unixTarget + L"\" \"" + linkUnixPath + L"\"") &&
         PumpUntil([&] { return PathExists(linkPath); });
}

bool MakeHostSymlinkAt(const std::wstring& target, const std::wstring& linkPath) {
  return MakeHostSymlink(target, UnixPathOfNew(linkPath), linkPath);
}

bool RemoveHostLink(const std::wstring& linkUnixPath, const std::wstring& linkPath) {
  return StartHostProgram(L"/bin/rm", L"-f \"" + linkUnixPath + L"\"") &&
         PumpUntil([&] { return !PathExists(linkPath); });
}

bool RemoveHostLinkAt(const std::wstring& linkPath) {
  return RemoveHostLink(UnixPathOfNew(linkPath), linkPath);
}
