#include "tasks/Settings.h"

#include "sys/Files.h"
#include "sys/Registry.h"

namespace {

const wchar_t kAppName[] = L"QuelmTask";

}  // namespace

Settings& AppSettings() {
  static Settings settings;
  return settings;
}

std::wstring DataFolder() {
  return DataFolderUnder(LocalAppDataFolder());
}

std::wstring DataFolderUnder(const std::wstring& localAppData) {
  // Without the shell's folder the path would start at the root of the current drive.
  const std::wstring base = localAppData.empty() ? GetModuleDirectory() : localAppData;
  return base + L"\\" + kAppName;
}

void LoadSettings() {
  CreateFolder(DataFolder());
  Settings& settings = AppSettings();
  settings.ini.path = DataFolder() + L"\\cfg.ini";
  settings.ini.section = kAppName;
  settings.showTips = settings.ini.ReadInt(L"showtips", 1) > 0;
  settings.wake = settings.ini.ReadInt(L"wake", 0) > 0;
}

void SetShowTips(bool on) {
  Settings& settings = AppSettings();
  settings.showTips = on;
  settings.ini.WriteInt(L"showtips", on ? 1 : 0);
}

void SetWake(bool on) {
  Settings& settings = AppSettings();
  settings.wake = on;
  settings.ini.WriteInt(L"wake", on ? 1 : 0);
}

bool IsAutostartOn() {
  return !ReadRunValue(kAppName).empty();
}

void SetAutostart(bool on) {
  if (on)
    WriteRunValue(kAppName, L"\"" + GetModulePath() + L"\"");
  else
    DeleteRunValue(kAppName);
}
