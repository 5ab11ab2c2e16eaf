#include "pages/InstalledPrograms.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "sys/Files.h"
#include "sys/Folders.h"
#include "sys/GdiplusSession.h"
#include "sys/Guid.h"
#include "sys/Handles.h"
#include "tests/support/TempDir.h"

using Microsoft::WRL::ComPtr;

namespace {

const wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// One installed-software entry written for a test and removed with this object.
class ScopedUninstallEntry {
 public:
  ScopedUninstallEntry(HKEY root, REGSAM view, DWORD type, const void* data, DWORD bytes)
      : root_(root), view_(view), path_(kUninstall + NewGuidString()) {
    ScopedRegKey key;
    created_ = RegCreateKeyExW(root, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                               key.receive(), nullptr) == ERROR_SUCCESS &&
               RegSetValueExW(key.get(), L"DisplayName", 0, type, static_cast<const BYTE*>(data),
                              bytes) == ERROR_SUCCESS;
  }
  ScopedUninstallEntry(HKEY root, REGSAM view, const std::wstring& name)
      : ScopedUninstallEntry(root,
                             view,
                             REG_SZ,
                             name.c_str(),
                             static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t))) {}
  ~ScopedUninstallEntry() { RegDeleteKeyExW(root_, path_.c_str(), view_, 0); }
  bool created() const { return created_; }

 private:
  HKEY root_;
  REGSAM view_;
  std::wstring path_;
  bool created_ = false;
};

// A shortcut to `target` at `lnkPath`, removed with this object; missing folders on the way
// are created (and left, they are the prefix's usual folders).
class ScopedShortcut {
 public:
  ScopedShortcut(const std::wstring& lnkPath, const std::wstring& target) : path_(lnkPath) {
    SHCreateDirectoryExW(nullptr, lnkPath.substr(0, lnkPath.rfind(L'\\')).c_str(), nullptr);
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    created_ = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_PPV_ARGS(&link))) &&
               SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link.As(&file)) &&
               SUCCEEDED(file->Save(lnkPath.c_str(), TRUE));
  }
  ~ScopedShortcut() { DeleteFileIfExists(path_); }
  bool created() const { return created_; }

 private:
  std::wstring path_;
  bool created_ = false;
};

// The machine's discovery sources moved into scratch places: each list's root to a key of its
// own under a scratch key of the current user, each folder to the same path inside a scratch
// folder (so the programs folder stays inside the start menu). Removed with this object.
class ScratchSources {
 public:
  ScratchSources() : key_(L"Software\\QuelmTaskTest-" + NewGuidString()) {
    sources = MachineProgramSources();
    for (ProgramSources::Uninstall& list : sources.uninstall)
      list.root = Root(list.root, list.use64BitView);
    for (ProgramSources::Walk& walk : sources.walks)
      walk.folder = Moved(walk.folder);
  }
  ~ScratchSources() {
    roots_.clear();
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
  }
  // `path` on the machine ("C:\\users\\...") inside the scratch folder.
  std::wstring Moved(const std::wstring& path) const {
    return path.size() > 3 ? folder_.path() + L"\\" + path.substr(3) : path;
  }
  // The scratch key that stands for the list of `machineRoot` read in that view.
  HKEY Root(HKEY machineRoot, bool use64BitView) {
    std::wstring name = std::wstring(machineRoot == HKEY_LOCAL_MACHINE ? L"machine" : L"user") +
                        (use64BitView ? L"64" : L"32");
    ScopedRegKey& root = roots_[name];
    if (!root)
      RegCreateKeyExW(HKEY_CURRENT_USER, (key_ + L"\\" + name).c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, root.receive(), nullptr);
    return root.get();
  }

  ProgramSources sources;

 private:
  std::wstring key_;
  std::map<std::wstring, ScopedRegKey> roots_;
  TempDir folder_;
};

class InstalledProgramsTest : public testing::Test {
 protected:
  ScopedComInit com_;
  GdiplusSession gdiplus_;
  const std::wstring id_ = L"QuelmProbe-";
};

}  // namespace

TEST_F(InstalledProgramsTest, OffersShortcutsNamedExactlyLikeInstalledSoftware) {
  ScratchSources scratch;
  const std::wstring programs = scratch.Moved(KnownFolderPath(KnownFolder::Programs));
  const std::wstring commonPrograms = scratch.Moved(KnownFolderPath(KnownFolder::CommonPrograms));
  const std::wstring commonDesktop = scratch.Moved(KnownFolderPath(KnownFolder::CommonDesktop));
  const std::wstring taskbar =
      scratch.Moved(KnownFolderPath(KnownFolder::AppData) +
                    L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar");
  const HKEY user = scratch.Root(HKEY_CURRENT_USER, false);
  const std::wstring self = GetModulePath();
  const std::wstring other = KnownFolderPath(KnownFolder::Windows) + L"\\notepad.exe";
  ASSERT_TRUE(PathExists(other));

  // A binary name and a 260-character name without terminator must not be read as text.
  const std::wstring binary = id_ + L"Binary";
  const std::wstring unterminated(260, L'U');
  std::vector<std::unique_ptr<ScopedUninstallEntry>> entries;
  for (const wchar_t* name :
       {L"Alpha", L"Beta", L"Gamma", L"Deep", L"Deeper", L"Pinned", L"Pinned deep", L"Binary"}) {
    const std::wstring full = id_ + name;
    if (full == binary)
      entries.push_back(std::make_unique<ScopedUninstallEntry>(
          user, 0, REG_BINARY, full.c_str(),
          static_cast<DWORD>((full.size() + 1) * sizeof(wchar_t))));
    else
      entries.push_back(std::make_unique<ScopedUninstallEntry>(user, 0, full));
  }
  entries.push_back(
      std::make_unique<ScopedUninstallEntry>(user, 0, REG_SZ, unterminated.c_str(), 520));
  // One name only in each view of the machine's list.
  entries.push_back(std::make_unique<ScopedUninstallEntry>(scratch.Root(HKEY_LOCAL_MACHINE, true),
                                                           KEY_WOW64_64KEY, id_ + L"View64"));
  entries.push_back(std::make_unique<ScopedUninstallEntry>(scratch.Root(HKEY_LOCAL_MACHINE, false),
                                                           KEY_WOW64_32KEY, id_ + L"View32"));
  for (const auto& entry : entries)
    ASSERT_TRUE(entry->created());

  const struct {
    std::wstring lnk;
    std::wstring target;
  } shortcuts[] = {
      {programs + L"\\" + id_ + L"Alpha.lnk", self},
      {programs + L"\\" + id_ + L"beta.lnk", self},  // letter case differs
      {programs + L"\\" + id_ + L"Gamma.lnk", self},
      {commonDesktop + L"\\" + id_ + L"Gamma.lnk", other},  // the desktop wins
      {programs + L"\\Sub " + id_ + L"\\" + id_ + L"Deep.lnk", self},
      {programs + L"\\Sub " + id_ + L"\\Sub\\" + id_ + L"Deeper.lnk", self},
      {taskbar + L"\\" + id_ + L"Pinned.lnk", self},
      {taskbar + L"\\Sub " + id_ + L"\\" + id_ + L"Pinned deep.lnk", self},
      {commonPrograms + L"\\" + id_ + L"View64.lnk", self},
      {commonPrograms + L"\\" + id_ + L"View32.lnk", self},
      {programs + L"\\" + id_ + L"Binary.lnk", self},
      {programs + L"\\" + id_ + L"Not installed.lnk", self},
  };
  std::vector<std::unique_ptr<ScopedShortcut>> made;
  for (const auto& s : shortcuts) {
    made.push_back(std::make_unique<ScopedShortcut>(s.lnk, s.target));
    ASSERT_TRUE(made.back()->created()) << s.lnk;
  }

  struct Offered {
    std::wstring name;
    std::wstring path;
    bool operator==(const Offered& o) const { return name == o.name && path == o.path; }
  };
  std::vector<Offered> offered;
  for (const auto& program : ListInstalledPrograms(scratch.sources)) {
    if (program->name.compare(0, id_.size(), id_) != 0)
      continue;
    offered.push_back({program->name.substr(id_.size()), program->path});
    EXPECT_NE(program->icon, nullptr) << program->name;
  }
  const std::vector<Offered> expected = {
      {L"Alpha", self},  {L"Deep", self},   {L"Gamma", other},
      {L"Pinned", self}, {L"View32", self}, {L"View64", self},
  };
  ASSERT_EQ(offered.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(offered[i].name, expected[i].name);
    EXPECT_TRUE(SamePath(offered[i].path, expected[i].path)) << offered[i].path;
  }

  InstalledNames names;
  CollectInstalledNames(user, false, names);
  EXPECT_EQ(names.count(id_ + L"Alpha"), 1u);
  for (const std::wstring& name : names)
    EXPECT_NE(name.compare(0, 8, L"UUUUUUUU"), 0) << "an unterminated value was read";
}

TEST_F(InstalledProgramsTest, WalksOnlyToItsDepthAndOnlyForInstalledNames) {
  TempDir dir;
  const std::wstring self = GetModulePath();
  std::vector<std::unique_ptr<ScopedShortcut>> made;
  for (const wchar_t* name : {L"Top.lnk", L"Upper.LNK", L"a\\One.lnk", L"a\\b\\Two.lnk"}) {
    made.push_back(std::make_unique<ScopedShortcut>(dir.Child(name), self));
    ASSERT_TRUE(made.back()->created()) << name;
  }
  dir.WriteFile(L"Text.txt", "not a shortcut");
  CreateFolder(dir.Child(L"Folder.lnk"));

  const InstalledNames all = {L"Top", L"Upper", L"One", L"Two", L"Text", L"Folder", L"top"};
  const struct {
    int depth;
    InstalledNames names;
    std::vector<std::wstring> found;
  } cases[] = {
      {0, all, {}},
      {1, all, {L"Top", L"Upper"}},
      {2, all, {L"One", L"Top", L"Upper"}},
      {3, all, {L"One", L"Top", L"Two", L"Upper"}},
      {3, {}, {}},
      {3, {L"top", L"TOP"}, {}},
  };
  for (const auto& c : cases) {
    ShortcutMap shortcuts;
    CollectShortcuts(dir.path(), c.depth, c.names, shortcuts);
    std::vector<std::wstring> found;
    for (const auto& [name, path] : shortcuts)
      found.push_back(name);
    EXPECT_EQ(found, c.found) << "depth " << c.depth << ", " << c.names.size() << " names";
    EXPECT_TRUE(ProgramsFromShortcuts(shortcuts).size() == c.found.size());
  }
  ShortcutMap none;
  CollectShortcuts(dir.Child(L"Text.txt"), 2, all, none);
  CollectShortcuts(dir.Child(L"missing"), 2, all, none);
  EXPECT_TRUE(none.empty());
}
