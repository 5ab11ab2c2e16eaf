#include "sys/ShellRun.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/sys/SysTestSupport.h"

namespace {

// The working folder the helper wrote into `file`.
std::wstring ReadWrittenFolder(const std::wstring& file) {
  std::string bytes = ReadFileBytes(file);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                      bytes.size() / sizeof(wchar_t));
}

}  // namespace

TEST(ShellRun, StartsAProgramHiddenWithItsParametersAndWorkingFolder) {
  TempDir dir;
  const std::wstring marker = dir.Child(L"ran.txt");
  ASSERT_EQ(ShellRun(HelperPath(), L"touch \"" + marker + L"\"", dir.path(), false, true),
            LaunchResult::Started);
  ASSERT_TRUE(PumpUntil([&] { return !ReadWrittenFolder(marker).empty(); }));
  EXPECT_EQ(
      CompareStringOrdinal(ReadWrittenFolder(marker).c_str(), -1, dir.path().c_str(), -1, TRUE),
      CSTR_EQUAL)
      << ReadWrittenFolder(marker);
}

TEST(ShellRun, ReportsFailureForWhatTheShellCannotStart) {
  TempDir dir;
  EXPECT_EQ(ShellRun(dir.Child(L"missing.exe"), L"", L"", false, true), LaunchResult::Failed);
  EXPECT_EQ(ShellRun(L"", L"", L"", false, true), LaunchResult::Failed);
  EXPECT_EQ(ShellOpen(L""), LaunchResult::Failed);
}

TEST(ShellOpen, OpensADocumentWithItsAssociatedProgram) {
  // A batch file's "open" runs it, which leaves a file behind to prove it.
  TempDir dir;
  const std::wstring batch =
      dir.WriteFile(L"mark.bat", "@echo opened> \"%~dp0opened.txt\"\r\n@exit\r\n");
  EXPECT_EQ(ShellOpen(batch), LaunchResult::Started);
  EXPECT_TRUE(PumpUntil([&] { return PathExists(dir.Child(L"opened.txt")); }));
}
