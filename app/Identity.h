#pragma once

#include <cstdint>
#include <string>

// What the program tells the maker's services about itself. Read from the executable's version
// resource and from the registry values the installer writes; the program never writes them.
struct Identity {
  // "major.minor.build.revision" of the running executable; "0.0.0.0" without a version
  // resource.
  std::wstring version;
  // "UnionId" of the current user's "SOFTWARE\QuelmTask", else of the machine's, else 1001.
  uint32_t unionId = 0;
  // "InstallDate" of the program's uninstall key as YYYYMMDD; today's local date when it is
  // missing, unreadable or 0.
  int32_t installDate = 0;
};

// Reads every value now, on the calling thread, through the registry and the clock seam.
Identity ReadIdentity();
// ReadIdentity() of the first call, kept for the life of the process. Any thread.
const Identity& AppIdentity();

// The union id and the install date alone, read now.
uint32_t ReadUnionIdSetting();
int32_t ReadInstallDate();

// 32 lower-case hexadecimal characters: the first half of SHA-256 over a salt of this program
// and `machineText`. Stable for one machine; reveals nothing of it. Empty when `machineText` is
// empty or no digest is available.
std::string MakeDeviceId(const std::wstring& machineText);
// MakeDeviceId(MachineIdentityText()) of the first call, kept for the process. Any thread.
const std::string& DeviceId();
