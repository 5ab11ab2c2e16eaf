#include "pages/InstalledPrograms.h"

#include "sys/Folders.h"
#include "sys/ProgramIcon.h"
#include "sys/Registry.h"
#include "sys/Shortcuts.h"

namespace {

const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kTaskbarPins[] =
    L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";

}  // namespace

void CollectInstalledNames(HKEY root, bool use64BitView, InstalledNames& installedNames) {
  // A 64-bit build's default view is the 64-bit one; asking for the 32-bit view explicitly keeps
  // the programs of 32-bit installers offered, as they are for a 32-bit build.
  const REGSAM view = use64BitView ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
  for (const std::wstring& subKey : ListSubKeyNames(root, kUninstallKey, view)) {
    std::wstring name;
    if (ReadRegistryText(root, std::wstring(kUninstallKey) + L"\\" + subKey, view, L"DisplayName",
                         name) &&
        !name.empty())
      installedNames.insert(name);
  }
}

void CollectShortcuts(const std::wstring& folder,
                      int depth,
                      const InstalledNames& installedNames,
                      ShortcutMap& shortcuts) {
  if (depth <= 0 || !IsFolder(folder))
    return;
  std::wstring prefix = folder;
  if (prefix.empty() || prefix.back() != L'\\')
    prefix += L'\\';
  for (const FolderEntry& entry : ListFolder(prefix.substr(0, prefix.size() - 1))) {
    const std::wstring path = prefix + entry.name;
    if (entry.folder) {
      CollectShortcuts(path, depth - 1, installedNames, shortcuts);
    } else if (IsShortcutFile(path)) {
      const std::wstring displayName = entry.name.substr(0, entry.name.size() - 4);
      if (installedNames.count(displayName) != 0)
        shortcuts[displayName] = path;
    }
  }
}

ProgramList ProgramsFromShortcuts(const ShortcutMap& shortcuts) {
  ProgramList programs;
  for (const auto& [name, lnkPath] : shortcuts) {
    auto entry = std::make_unique<ProgramEntry>();
    entry->name = name;
    entry->path = IsShortcutFile(lnkPath) ? ResolveShortcut(lnkPath) : lnkPath;
    programs.push_back(std::move(entry));
  }
  for (const auto& entry : programs)
    entry->icon = LoadProgramIcon(entry->path);
  return programs;
}

ProgramSources MachineProgramSources() {
  std::wstring taskbar = KnownFolderPath(KnownFolder::AppData);
  taskbar = taskbar.empty() ? std::wstring() : (taskbar + kTaskbarPins).substr(0, MAX_PATH);
  return {
      {{HKEY_LOCAL_MACHINE, false},
       {HKEY_LOCAL_MACHINE, true},
       {HKEY_CURRENT_USER, false},
       {HKEY_CURRENT_USER, true}},
      {{KnownFolderPath(KnownFolder::CommonStartMenu), 2},
       {KnownFolderPath(KnownFolder::CommonPrograms), 2},
       {KnownFolderPath(KnownFolder::Programs), 2},
       {KnownFolderPath(KnownFolder::StartMenu), 2},
       {taskbar, 1},
       {KnownFolderPath(KnownFolder::Desktop), 1},
       {KnownFolderPath(KnownFolder::CommonDesktop), 1}},
  };
}

ProgramList ListInstalledPrograms(const ProgramSources& sources) {
  InstalledNames installedNames;
  for (const ProgramSources::Uninstall& list : sources.uninstall)
    CollectInstalledNames(list.root, list.use64BitView, installedNames);
  ShortcutMap shortcuts;
  for (const ProgramSources::Walk& walk : sources.walks)
    CollectShortcuts(walk.folder, walk.depth, installedNames, shortcuts);
  return ProgramsFromShortcuts(shortcuts);
}
