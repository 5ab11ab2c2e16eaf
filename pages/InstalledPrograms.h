#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "sys/ProgramEntry.h"

// Discovery of installed programs for the select-object dialog: a shortcut in the start menu,
// the taskbar pins or on a desktop is offered when its name equals, code unit for code unit,
// the "DisplayName" of an installed-software entry. UI thread; needs COM and GDI+ on it.
// Missing keys and folders, unreadable values and broken shortcuts are skipped: the worst
// result is an empty list.

// Display names from the installed-software keys, ordinal order.
using InstalledNames = std::set<std::wstring>;
// Display name -> full path of the .lnk file that carries it.
using ShortcutMap = std::map<std::wstring, std::wstring>;

// Where discovery looks: one pass over each installed-software list, then the shortcut folders
// in order (a later find of a name replaces an earlier one).
struct ProgramSources {
  struct Uninstall {
    HKEY root;  // borrowed; its "SOFTWARE\...\Uninstall" subkey is read
    bool use64BitView;
  };
  struct Walk {
    std::wstring folder;
    int depth;
  };
  std::vector<Uninstall> uninstall;
  std::vector<Walk> walks;
};

// The machine's: the local machine's and the current user's lists, each in both views; the
// common and the user's start menu and programs folders (two levels), the taskbar pins and
// both desktops (one level).
ProgramSources MachineProgramSources();

// The whole discovery, entries in ascending order of name; owned by the caller.
ProgramList ListInstalledPrograms(const ProgramSources& sources = MachineProgramSources());

// Adds the non-empty display names under `root`'s uninstall key: the 32-bit view unless
// `use64BitView` is set.
void CollectInstalledNames(HKEY root, bool use64BitView, InstalledNames& installedNames);

// Records every .lnk file down to `depth` folder levels (1 is `folder` itself) whose name
// without extension is in `installedNames`; a later find of a name replaces an earlier one.
void CollectShortcuts(const std::wstring& folder,
                      int depth,
                      const InstalledNames& installedNames,
                      ShortcutMap& shortcuts);

// The programs of `shortcuts` in key order: each points at its shortcut's existing target (or
// the shortcut itself) and carries that file's icon.
ProgramList ProgramsFromShortcuts(const ShortcutMap& shortcuts);
