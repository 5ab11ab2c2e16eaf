#include "app/Identity.h"

#include <windows.h>

#include "app/MakerAddresses.h"
#include "sys/Clock.h"
#include "sys/Files.h"
#include "sys/MachineIdentity.h"
#include "sys/Registry.h"
#include "sys/Sha256.h"
#include "sys/StringFormat.h"

namespace {

const wchar_t kProgramKey[] = L"SOFTWARE\\QuelmTask";
const wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuelmTask";
// Changing the salt changes every device id the maker has seen: never do it.
const char kDeviceIdSalt[] = "QuelmTask/device-id/1:";

std::wstring ReadVersionText() {
  int major = 0, minor = 0, build = 0, revision = 0;
  GetFileVersion(GetModulePath(), major, minor, build, revision);
  return WFormat(L"%d.%d.%d.%d", major, minor, build, revision);
}

}  // namespace

uint32_t ReadUnionIdSetting() {
  DWORD id = ReadUnionId(HKEY_CURRENT_USER, kProgramKey);
  if (id == 0)
    id = ReadUnionId(HKEY_LOCAL_MACHINE, kProgramKey);
  return id != 0 ? id : kDefaultUnionId;
}

int32_t ReadInstallDate() {
  int date = ParseDecimal(ReadMachineText(kUninstallKey, L"InstallDate"));
  if (date != 0)
    return date;
  SYSTEMTIME today = SystemClock().LocalTime();
  return today.wYear * 10000 + today.wMonth * 100 + today.wDay;
}

Identity ReadIdentity() {
  Identity identity;
  identity.version = ReadVersionText();
  identity.unionId = ReadUnionIdSetting();
  identity.installDate = ReadInstallDate();
  return identity;
}

const Identity& AppIdentity() {
  static const Identity identity = ReadIdentity();
  return identity;
}

std::string MakeDeviceId(const std::wstring& machineText) {
  if (machineText.empty())
    return std::string();
  std::array<uint8_t, 32> digest = Sha256(kDeviceIdSalt + WideToUtf8(machineText));
  static const char kHex[] = "0123456789abcdef";
  std::string id;
  bool any = false;
  for (size_t i = 0; i < 16; ++i) {
    id += kHex[digest[i] >> 4];
    id += kHex[digest[i] & 15];
    any = any || digest[i] != 0;
  }
  return any ? id : std::string();
}

const std::string& DeviceId() {
  static const std::string id = MakeDeviceId(MachineIdentityText());
  return id;
}
