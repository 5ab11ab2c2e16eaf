#include "sys/Shortcuts.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/sys/SysTestSupport.h"

using Microsoft::WRL::ComPtr;

namespace {

// Writes a shortcut at `lnkPath` that points at `target`.
bool CreateShortcut(const std::wstring& lnkPath, const std::wstring& target) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))))
    return false;
  ComPtr<IPersistFile> file;
  return SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link.As(&file)) &&
         SUCCEEDED(file->Save(lnkPath.c_str(), TRUE));
}

class ShortcutTest : public testing::Test {
 protected:
  ScopedComInit com_;
  TempDir dir_;
};

}  // namespace

TEST_F(ShortcutTest, IsShortcutFileLooksAtTheExtensionOfFilesOnly) {
  CreateDirectoryW(dir_.Child(L"folder.lnk").c_str(), nullptr);
  dir_.WriteFile(L"real.LNK", "not really a link");
  struct Case {
    std::wstring path;
    bool expected;
  } cases[] = {
      {dir_.Child(L"real.LNK"), true},
      {dir_.Child(L"missing.lnk"), true},  // need not exist
      {L"C:\\x\\App.Lnk", true},
      {L".lnk", true},
      {dir_.Child(L"folder.lnk"), false},
      {L"C:\\x\\app.exe", false},
      {L"C:\\x\\app.lnk.exe", false},
      {L"C:\\x.lnk\\app", false},
      {L"C:\\x\\applnk", false},
      {L"C:\\x\\app.lnkx", false},
      {L"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsShortcutFile(c.path), c.expected) << c.path;
}

TEST_F(ShortcutTest, ResolvesToAnExistingTargetAndFallsBackToTheShortcutItself) {
  ASSERT_TRUE(com_.succeeded());
  const std::wstring target = dir_.WriteFile(L"target.txt", "x");
  const std::wstring lnk = dir_.Child(L"to target.lnk");
  ASSERT_TRUE(CreateShortcut(lnk, target));
  EXPECT_EQ(CompareStringOrdinal(ResolveShortcut(lnk).c_str(), -1, target.c_str(), -1, TRUE),
            CSTR_EQUAL)
      << ResolveShortcut(lnk);

  const std::wstring folder = dir_.Child(L"sub");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring folderLnk = dir_.Child(L"to folder.lnk");
  ASSERT_TRUE(CreateShortcut(folderLnk, folder));
  EXPECT_EQ(CompareStringOrdinal(ResolveShortcut(folderLnk).c_str(), -1, folder.c_str(), -1, TRUE),
            CSTR_EQUAL)
      << ResolveShortcut(folderLnk);

  ASSERT_TRUE(DeleteFileW(target.c_str()));
  EXPECT_EQ(ResolveShortcut(lnk), lnk) << "a deleted target gives the shortcut back";
}

TEST_F(ShortcutTest, UnreadableShortcutsGiveThemselvesBack) {
  const std::wstring garbage = dir_.WriteFile(L"garbage.lnk", "this is no shell link");
  EXPECT_EQ(ResolveShortcut(garbage), garbage);
  EXPECT_EQ(ResolveShortcut(dir_.Child(L"missing.lnk")), dir_.Child(L"missing.lnk"));
  EXPECT_EQ(ResolveShortcut(L""), L"");
}
