#include "sys/ShellRun.h"

#include <shellapi.h>

#include "sys/Handles.h"
#include "sys/OsVersion.h"

namespace {

const wchar_t* OrNull(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

const wchar_t* ShellRunVerb(bool elevate, DWORD ntMajor) {
  return elevate && ntMajor > 5 ? L"runas" : L"open";
}

bool ShellRun(const std::wstring& file,
              const std::wstring& parameters,
              const std::wstring& directory,
              bool elevate,
              bool hidden) {
  // An empty file name would let the shell open the working folder instead of failing.
  if (file.empty())
    return false;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = ShellRunVerb(elevate, elevate ? GetNtVersion().major : 0);
  info.lpFile = file.c_str();
  info.lpParameters = OrNull(parameters);
  info.lpDirectory = OrNull(directory);
  info.nShow = hidden ? SW_HIDE : SW_SHOWNORMAL;
  bool accepted = ShellExecuteExW(&info) != FALSE;
  ScopedHandle process(info.hProcess);
  return accepted;
}

bool ShellOpen(const std::wstring& target) {
  if (target.empty())
    return false;
  HINSTANCE result =
      ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}
