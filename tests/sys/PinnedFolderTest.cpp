#include "sys/PinnedFolder.h"

#include <gtest/gtest.h>

#include "sys/Files.h"
#include "tests/support/HostLinks.h"
#include "tests/support/TempDir.h"

namespace {

std::string ReadIn(const PinnedFolder& folder, const std::wstring& name) {
  std::string bytes;
  return folder.Read(name, bytes) ? bytes : "<unread>";
}

TEST(PinnedFolder, ReplacesCreatesReadsAndDeletesInAPlainFolder) {
  TempDir dir;
  PinnedFolder folder(dir.path() + L"\\");
  ASSERT_TRUE(folder.writable());
  EXPECT_FALSE(folder.isLink());
  EXPECT_FALSE(MoveFileW(dir.path().c_str(), (dir.path() + L"-moved").c_str()))
      << "held, the folder cannot be moved away under the writes";

  dir.WriteFile(L"a.txt.tmp", "left by a crash");
  ASSERT_TRUE(folder.Replace(L"a.txt", "first"));
  ASSERT_TRUE(folder.Replace(L"a.txt", std::string(200000, 'z')));
  EXPECT_EQ(ReadIn(folder, L"a.txt"), std::string(200000, 'z'));
  EXPECT_FALSE(PathExists(dir.Child(L"a.txt.tmp")));

  EXPECT_FALSE(folder.Create(L"a.txt", "other")) << "never overwrites";
  EXPECT_EQ(ReadFileBytes(dir.Child(L"a.txt")), std::string(200000, 'z'));
  EXPECT_TRUE(folder.Create(L"b.txt", ""));
  EXPECT_EQ(ReadIn(folder, L"b.txt"), "");
  EXPECT_EQ(ReadIn(folder, L"missing.txt"), "<unread>");

  {
    // A reader without delete sharing keeps the old file whole, and no temporary stays.
    ScopedHandle held(CreateFileW(dir.Child(L"b.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_FALSE(folder.Replace(L"b.txt", "new"));
    EXPECT_FALSE(folder.Delete(L"b.txt"));
  }
  EXPECT_FALSE(PathExists(dir.Child(L"b.txt.tmp")));
  EXPECT_EQ(ReadFileBytes(dir.Child(L"b.txt")), "");

  // A second name of a file is not read: it could be any file the program may read.
  ASSERT_TRUE(
      CreateHardLinkW(dir.Child(L"twin.txt").c_str(), dir.Child(L"b.txt").c_str(), nullptr));
  EXPECT_EQ(ReadIn(folder, L"twin.txt"), "<unread>");

  ASSERT_TRUE(CreateFolder(dir.Child(L"sub")));
  const struct {
    const wchar_t* name;
    bool deleted;
    bool existsAfter;
  } deletes[] = {
      {L"a.txt", true, false},
      {L"missing.txt", true, false},
      {L"sub", false, true},  // folders stay
  };
  for (const auto& d : deletes) {
    EXPECT_EQ(folder.Delete(d.name), d.deleted) << d.name;
    EXPECT_EQ(PathExists(dir.Child(d.name)), d.existsAfter) << d.name;
  }
  EXPECT_FALSE(PinnedFolder(dir.Child(L"missing")).writable());
  EXPECT_FALSE(PinnedFolder(dir.Child(L"missing")).Replace(L"x", "x"));
}

TEST(PinnedFolder, NothingIsWrittenOrDeletedThroughALink) {
  TempDir dir;
  TempDir outside;
  const std::wstring victim = outside.WriteFile(L"victim.txt", "precious");
  ASSERT_TRUE(MakeHostSymlinkAt(outside.path(), dir.Child(L"linked")));
  ASSERT_TRUE(MakeHostSymlinkAt(victim, dir.Child(L"x.txt")));
  ASSERT_TRUE(MakeHostSymlinkAt(victim, dir.Child(L"y.txt.tmp")));
  ASSERT_TRUE(MakeHostSymlinkAt(victim, dir.Child(L"z.txt")));

  PinnedFolder linked(dir.Child(L"linked"));
  EXPECT_TRUE(linked.isLink());
  EXPECT_FALSE(linked.writable());
  EXPECT_EQ(ReadIn(linked, L"victim.txt"), "precious") << "a linked folder is still read";
  EXPECT_FALSE(linked.Replace(L"victim.txt", "gone"));
  EXPECT_FALSE(linked.Create(L"new.txt", "new"));
  EXPECT_FALSE(linked.Delete(L"victim.txt"));
  EXPECT_FALSE(PathExists(outside.Child(L"new.txt")));

  PinnedFolder folder(dir.path());
  ASSERT_TRUE(folder.writable());
  EXPECT_EQ(ReadIn(folder, L"x.txt"), "<unread>");
  EXPECT_FALSE(folder.Replace(L"y.txt", "through the temporary name"));
  folder.Delete(L"z.txt");  // at most the link itself goes
  // Replacing a linked name replaces the link, never what it points to.
  EXPECT_TRUE(folder.Replace(L"x.txt", "own"));
  EXPECT_EQ(ReadIn(folder, L"x.txt"), "own");
  EXPECT_EQ(ReadFileBytes(victim), "precious");
  EXPECT_TRUE(RemoveHostLinkAt(dir.Child(L"y.txt.tmp")));
  RemoveHostLinkAt(dir.Child(L"z.txt"));
  EXPECT_TRUE(RemoveHostLinkAt(dir.Child(L"linked")));
}

TEST(DeleteFileWithin, DeletesOnlyWhatReallyLiesBelowTheRoot) {
  TempDir root;
  TempDir outside;
  const std::wstring victim = outside.WriteFile(L"victim.txt", "precious");
  const std::wstring own = root.WriteFile(L"junk.txt", "junk");
  ASSERT_TRUE(CreateFolder(root.Child(L"sub")));
  ASSERT_TRUE(MakeHostSymlinkAt(outside.path(), root.Child(L"swapped")));
  const struct {
    std::wstring path;
    bool deleted;
  } cases[] = {
      {root.Child(L"swapped\\victim.txt"), false}, {victim, false}, {root.Child(L"sub"), false},
      {root.Child(L"missing.txt"), false},         {own, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DeleteFileWithin(root.path(), c.path), c.deleted) << c.path;
  EXPECT_EQ(ReadFileBytes(victim), "precious");
  EXPECT_FALSE(PathExists(own));
  EXPECT_TRUE(RemoveHostLinkAt(root.Child(L"swapped")));
}

}  // namespace
