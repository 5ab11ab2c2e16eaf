#include "sys/ShellRun.h"

#include "sys/OsVersion.h"
#include "sys/UserLaunch.h"

const wchar_t* ShellRunVerb(bool elevate, DWORD ntMajor) {
  return elevate && ntMajor > 5 ? L"runas" : L"open";
}

LaunchResult ShellRun(const std::wstring& file,
                      const std::wstring& parameters,
                      const std::wstring& directory,
                      bool elevate,
                      bool hidden) {
  LaunchRequest request{file, parameters, directory, hidden};
  if (elevate)
    return LaunchDirect(request, ShellRunVerb(true, GetNtVersion().major));
  return LaunchAsUser(request);
}

LaunchResult ShellOpen(const std::wstring& target) {
  return LaunchAsUser(LaunchRequest{target, L"", L"", false});
}
