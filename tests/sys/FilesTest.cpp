#include "sys/Files.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/sys/SysTestSupport.h"

TEST(GetFileSizeOnDisk, CountsFilesAndNothingElse) {
  TempDir dir;
  const std::wstring big = dir.WriteFile(L"big.bin", std::string(70000, 'q'));
  const std::wstring empty = dir.WriteFile(L"empty.bin", "");
  const std::wstring folder = dir.Child(L"folder");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  dir.WriteFile(L"folder\\inside.bin", std::string(5000, 'x'));
  struct Case {
    std::wstring path;
    uint64_t expected;
  } cases[] = {
      {big, 70000},
      {dir.WriteFile(L"small.txt", "hello"), 5},
      {empty, 0},
      {folder, 0},  // a folder counts as nothing, whatever it holds
      {folder + L"\\", 0},
      {dir.Child(L"missing.bin"), 0},
      {L"", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GetFileSizeOnDisk(c.path), c.expected) << c.path;
}

TEST(GetFileSizeOnDisk, SizesAFileThatAnotherHandleHoldsExclusively) {
  TempDir dir;
  const std::wstring path = dir.WriteFile(L"locked.bin", std::string(1234, 'l'));
  ScopedHandle locked(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(locked.valid());
  EXPECT_EQ(GetFileSizeOnDisk(path), 1234u);
}

TEST(GetFileVersion, ReadsTheFourPartsOfTheVersionResource) {
  int major = -1, minor = -1, build = -1, revision = -1;
  ASSERT_TRUE(GetFileVersion(HelperPath(), major, minor, build, revision));
  EXPECT_EQ(major, 3);
  EXPECT_EQ(minor, 1);
  EXPECT_EQ(build, 4);
  EXPECT_EQ(revision, 15);
}

TEST(GetFileVersion, GivesZerosForAFileWithoutVersion) {
  TempDir dir;
  const std::wstring paths[] = {dir.WriteFile(L"plain.txt", "no resources"),
                                dir.Child(L"missing.exe"), L""};
  for (const std::wstring& path : paths) {
    int major = 9, minor = 9, build = 9, revision = 9;
    EXPECT_FALSE(GetFileVersion(path, major, minor, build, revision)) << path;
    EXPECT_EQ(major + minor + build + revision, 0) << path;
  }
}

TEST(GetModuleDirectory, IsTheFolderOfTheRunningExecutable) {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::wstring directory = GetModuleDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_NE(directory.back(), L'\\');
  EXPECT_EQ(directory + L"\\sys_tests.exe", module);
  EXPECT_TRUE(PathExists(HelperPath()));
}
