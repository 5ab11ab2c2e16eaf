#include "sys/Processes.h"

#include <psapi.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <iterator>
#include <map>

#include "sys/Handles.h"
#include "sys/Privileges.h"
#include "sys/ProgramIcon.h"

namespace {

// The executable of a process from its module list, or from its image name when the module
// list cannot be taken. "" leaves the process out.
std::wstring ProcessPath(DWORD pid) {
  ScopedHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
  if (!modules)
    return GetProcessImagePath(pid);
  MODULEENTRY32W module = {};
  module.dwSize = sizeof(module);
  if (!Module32FirstW(modules.get(), &module))
    return std::wstring();
  return module.szExePath;
}

std::vector<std::wstring> LogicalDrives() {
  wchar_t buffer[4 * 26 + 2] = {};
  DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer)), buffer);
  std::vector<std::wstring> drives;
  if (length == 0 || length >= std::size(buffer))
    return drives;
  // Each root is "X:\" and its terminator.
  for (const wchar_t* root = buffer; *root; root += 4)
    drives.emplace_back(root, 2);
  return drives;
}

}  // namespace

std::wstring GetProcessImagePath(DWORD pid) {
  ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process)
    return std::wstring();
  wchar_t devicePath[MAX_PATH + 1] = {};
  DWORD length = GetProcessImageFileNameW(process.get(), devicePath, MAX_PATH + 1);
  if (length == 0)
    return std::wstring();
  return DevicePathToDrivePath(std::wstring(devicePath, length));
}

std::wstring DevicePathToDrivePath(const std::wstring& devicePath) {
  return DevicePathToDrivePath(devicePath, LogicalDrives(),
                               [](const std::wstring& drive, std::wstring* device) {
                                 wchar_t name[MAX_PATH] = {};
                                 if (!QueryDosDeviceW(drive.c_str(), name, MAX_PATH))
                                   return false;
                                 *device = name;
                                 return true;
                               });
}

std::wstring DevicePathToDrivePath(const std::wstring& devicePath,
                                   const std::vector<std::wstring>& drives,
                                   const DriveDeviceQuery& queryDevice) {
  for (const std::wstring& drive : drives) {
    std::wstring device;
    if (!queryDevice(drive, &device))
      return std::wstring();
    const size_t length = device.size();
    if (length == 0 || devicePath.size() < length)
      continue;
    if (CompareStringOrdinal(devicePath.c_str(), static_cast<int>(length), device.c_str(),
                             static_cast<int>(length), TRUE) != CSTR_EQUAL)
      continue;
    // "\Device\HarddiskVolume1" must not claim a path on "\Device\HarddiskVolume10".
    if (devicePath.size() > length && devicePath[length] != L'\\')
      continue;
    return drive + devicePath.substr(length);
  }
  return std::wstring();
}

std::vector<RunningProcess> ListProcesses() {
  return ListProcesses([](const std::wstring&) { return true; });
}

std::vector<RunningProcess> ListProcesses(const std::function<bool(const std::wstring&)>& named) {
  std::vector<RunningProcess> processes;
  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot)
    return processes;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  // The idle process is known by its id 0, not by coming first: under Wine the first entry is
  // a real program, which the close-program action must be able to find.
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == 0 || !named(entry.szExeFile))
      continue;
    std::wstring path = ProcessPath(entry.th32ProcessID);
    if (!path.empty())
      processes.push_back({entry.th32ProcessID, entry.szExeFile, std::move(path)});
  }
  return processes;
}

ProgramList ProgramsByPath(const std::vector<RunningProcess>& processes) {
  // std::wstring orders by UTF-16 code unit: ordinal and case-sensitive.
  std::map<std::wstring, std::wstring> nameByPath;
  for (const RunningProcess& process : processes)
    nameByPath[process.path] = process.name;
  ProgramList programs;
  for (const auto& [path, name] : nameByPath) {
    auto entry = std::make_unique<ProgramEntry>();
    entry->name = name;
    entry->path = path;
    programs.push_back(std::move(entry));
  }
  return programs;
}

ProgramList ListRunningPrograms() {
  EnablePrivilege(L"SeDebugPrivilege", true);
  ProgramList programs = ProgramsByPath(ListProcesses());
  for (auto& entry : programs)
    entry->icon = LoadProgramIcon(entry->path);
  return programs;
}

std::vector<DWORD> OwnProcessesOf(const std::vector<OwnedProcess>& processes,
                                  const std::wstring& path,
                                  const std::wstring& userSid,
                                  DWORD session) {
  // Local system, local service, network service.
  const wchar_t* const system[] = {L"S-1-5-18", L"S-1-5-19", L"S-1-5-20"};
  std::vector<DWORD> own;
  if (userSid.empty() || session == 0 ||
      std::find(std::begin(system), std::end(system), userSid) != std::end(system))
    return own;
  for (const OwnedProcess& process : processes) {
    if (process.path == path && process.userSid == userSid && process.session == session)
      own.push_back(process.pid);
  }
  return own;
}

bool GetProcessOwner(HANDLE process, std::wstring* userSid, DWORD* session) {
  ScopedHandle token;
  if (!OpenProcessToken(process, TOKEN_QUERY, token.receive()))
    return false;
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0)
    return false;
  std::vector<BYTE> user(size);
  DWORD sessionId = 0;
  if (!GetTokenInformation(token.get(), TokenUser, user.data(), size, &size) ||
      !GetTokenInformation(token.get(), TokenSessionId, &sessionId, sizeof(sessionId), &size))
    return false;
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text))
    return false;
  ScopedLocalMemory owned(text);
  *userSid = text;
  *session = sessionId;
  return true;
}

void TerminateProgramByPath(const std::wstring& path) {
  EnablePrivilege(L"SeDebugPrivilege", true);
  std::wstring ownSid;
  DWORD ownSession = 0;
  if (!GetProcessOwner(GetCurrentProcess(), &ownSid, &ownSession))
    return;
  // The owner is read through the handle that terminates, so a reused id cannot slip past.
  std::vector<OwnedProcess> candidates;
  std::map<DWORD, ScopedHandle> handles;
  for (const RunningProcess& running : ListProcesses()) {
    if (running.path != path)
      continue;
    ScopedHandle process(
        OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, running.pid));
    OwnedProcess candidate{running.pid, running.path};
    if (!process || !GetProcessOwner(process.get(), &candidate.userSid, &candidate.session))
      continue;
    candidates.push_back(std::move(candidate));
    handles[running.pid] = std::move(process);
  }
  for (DWORD pid : OwnProcessesOf(candidates, path, ownSid, ownSession))
    TerminateProcess(handles[pid].get(), 0);
}
