#include "sys/OsVersion.h"

#include <gtest/gtest.h>

#include "sys/ShellRun.h"
#include "sys/Wow64.h"

TEST(OsVersionText, NamesTheReleaseFromMajorAndBuild) {
  struct Case {
    NtVersion version;
    bool x64;
    const wchar_t* expected;
  } cases[] = {
      {{5, 1, 2600}, false, L"Windows XP x86"},
      {{5, 2, 3790}, true, L"Windows XP x64"},
      {{6, 1, 7601}, true, L"Windows 7 x64"},
      {{6, 3, 9600}, false, L"Windows 7 x86"},  // every 6.x is sold as 7
      {{10, 0, 19045}, true, L"Windows 10 x64"},
      {{10, 0, 21999}, true, L"Windows 10 x64"},
      {{10, 0, 22000}, true, L"Windows 11 x64"},
      {{10, 0, 22631}, false, L"Windows 11 x86"},
      {{12, 0, 1}, true, L"Windows 12 x64"},
      {{4, 0, 1381}, false, L"Windows 4 x86"},
      {{11, 0, 0}, true, L"Windows 11 x64"},
      {{0, 0, 0}, true, L"Windows 0 x64"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OsVersionText(c.version, c.x64), c.expected)
        << c.version.major << "." << c.version.minor << "." << c.version.build;
  }
}

TEST(OsVersionText, ThisSixtyFourBitProgramReportsX64) {
  // IsWow64 is false for a 64-bit program, which must not make the text say x86.
  ASSERT_EQ(sizeof(void*), 8u);
  EXPECT_FALSE(IsWow64());
  EXPECT_FALSE(IsWow64()) << "the cached answer must stay the same";
  EXPECT_TRUE(IsOn64BitWindows());
  std::wstring text = GetOsVersionText();
  EXPECT_EQ(text.rfind(L"Windows ", 0), 0u) << text;
  EXPECT_EQ(text.substr(text.size() - 4), L" x64") << text;
}

TEST(GetNtVersion, ReportsTheKernelVersionWithABuildOfSixteenBits) {
  NtVersion version = GetNtVersion();
  EXPECT_GE(version.major, 5u);
  EXPECT_GT(version.build, 0u);
  EXPECT_LE(version.build, 0xFFFFu) << "the flag bits above the build must be cut off";
  EXPECT_EQ(OsVersionText(version, true), GetOsVersionText());
}

TEST(ShellRunVerb, ElevatesOnlyWhereTheSystemKnowsElevation) {
  struct Case {
    bool elevate;
    DWORD major;
    const wchar_t* verb;
  } cases[] = {
      {true, 5, L"open"},  {true, 6, L"runas"},  {true, 10, L"runas"},
      {false, 5, L"open"}, {false, 10, L"open"}, {true, 0, L"open"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(ShellRunVerb(c.elevate, c.major), c.verb) << c.elevate << " " << c.major;
}
