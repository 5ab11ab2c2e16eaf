#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "sys/ProgramEntry.h"

// One process as the process walk sees it.
struct RunningProcess {
  DWORD pid = 0;
  // The executable's file name from the process list.
  std::wstring name;
  // Full path of the executable in drive-letter form.
  std::wstring path;
};

// The executable path of process `pid` in drive-letter form; "" when the process cannot be
// opened or asked.
std::wstring GetProcessImagePath(DWORD pid);

// "\Device\HarddiskVolume3\x\y.exe" -> "C:\x\y.exe" for the drive whose device is that
// volume; "" when no drive letter maps to it.
std::wstring DevicePathToDrivePath(const std::wstring& devicePath);

// Answers the device name behind a two-character drive ("C:"); false when it cannot.
using DriveDeviceQuery = std::function<bool(const std::wstring& drive, std::wstring* device)>;
// DevicePathToDrivePath over the given drives (in order, two characters each) and device
// answers. The first drive whose device is a whole leading component of `devicePath` wins; a
// failing query ends the walk with "".
std::wstring DevicePathToDrivePath(const std::wstring& devicePath,
                                   const std::vector<std::wstring>& drives,
                                   const DriveDeviceQuery& queryDevice);

// Every process but the first of the system's list (the idle process) whose executable path
// can be found, in list order. Processes that cannot be inspected are left out.
std::vector<RunningProcess> ListProcesses();
// ListProcesses limited to the processes whose file name in the system's list `named` accepts;
// only those have their path looked up, which is the costly part of the walk.
std::vector<RunningProcess> ListProcesses(const std::function<bool(const std::wstring&)>& named);

// One entry per distinct executable path among the running processes, in ascending ordinal
// order of path, each with its icon. Enables "SeDebugPrivilege" first. Needs GDI+ and COM.
ProgramList ListRunningPrograms();

// The entries of ListRunningPrograms without icons: one per distinct path (ordinal, case
// matters), in path order; of several processes of one path the last one names the entry.
ProgramList ProgramsByPath(const std::vector<RunningProcess>& processes);

// A process as the close-program action weighs it: what it runs, as whom and where.
struct OwnedProcess {
  DWORD pid = 0;
  std::wstring path;
  // The token user's SID in text form ("S-1-5-21-..."); "" when the token cannot be read.
  std::wstring userSid;
  DWORD session = 0;
};

// The ids of the processes in `processes` that run `path` (exactly, case matters) as the user
// `userSid` in `session`, in list order. Never a process of another user, of session 0 (the
// services') or of the system's own accounts (local system, local and network service),
// whatever `userSid` and `session` say.
std::vector<DWORD> OwnProcessesOf(const std::vector<OwnedProcess>& processes,
                                  const std::wstring& path,
                                  const std::wstring& userSid,
                                  DWORD session);

// The user SID text and session of the process behind `process` (opened with at least
// PROCESS_QUERY_LIMITED_INFORMATION); false when its token cannot be read.
bool GetProcessOwner(HANDLE process, std::wstring* userSid, DWORD* session);

// Ends, with exit code 0, every process whose executable path equals `path` exactly (case
// matters) and that belongs to this program's own user and session (OwnProcessesOf): the
// debug privilege, which "SeDebugPrivilege" enables first, would open anyone's. Processes that
// cannot be opened or whose owner cannot be read are skipped.
void TerminateProgramByPath(const std::wstring& path);
