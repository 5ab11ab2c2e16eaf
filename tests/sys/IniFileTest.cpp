#include "sys/IniFile.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

TEST(IniFile, ReadsKeysOfItsSectionOnly) {
  TempDir dir;
  IniFile ini{dir.WriteFile(L"cfg.ini",
                            "[Other]\r\nshowtips=5\r\n"
                            "[QuelmTask]\r\nshowtips=12abc\r\nletters=abc\r\nempty=\r\n"
                            "name=  Quelm  \r\nnegative=-3\r\n"),
              L"QuelmTask"};
  struct Case {
    const wchar_t* key;
    int expected;
  } cases[] = {
      {L"showtips", 12}, {L"letters", 0}, {L"empty", 77}, {L"missing", 77}, {L"negative", -3},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ini.ReadInt(c.key, 77), c.expected) << c.key;
  EXPECT_EQ(ini.ReadString(L"name", L"d"), L"Quelm");
  EXPECT_EQ(ini.ReadString(L"missing", L"fallback"), L"fallback");
  EXPECT_EQ(ini.ReadString(L"empty", L"fallback"), L"");
}

TEST(IniFile, WritesIntegersThatReadBack) {
  TempDir dir;
  IniFile ini{dir.Child(L"new.ini"), L"QuelmTask"};
  EXPECT_EQ(ini.ReadInt(L"showtips", 1), 1) << "a missing file reads as missing keys";
  ASSERT_TRUE(ini.WriteInt(L"showtips", 0));
  EXPECT_EQ(ini.ReadInt(L"showtips", 1), 0);
  ASSERT_TRUE(ini.WriteInt(L"showtips", -123456));
  EXPECT_EQ(ini.ReadString(L"showtips", L""), L"-123456");
  IniFile other{ini.path, L"Other"};
  EXPECT_EQ(other.ReadInt(L"showtips", 4), 4);
  EXPECT_FALSE(IniFile({dir.Child(L"no\\such\\folder.ini"), L"S"}).WriteInt(L"k", 1));
}

TEST(IniFile, ReturnsAtMost1023Characters) {
  TempDir dir;
  std::string longValue(3000, 'v');
  IniFile ini{dir.WriteFile(L"long.ini", "[S]\r\nk=" + longValue + "\r\n"), L"S"};
  EXPECT_EQ(ini.ReadString(L"k", L""), std::wstring(1023, L'v'));
}
