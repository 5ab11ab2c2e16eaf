#include "sys/IniFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

TEST(IniFile, AWriteChangesOnlyItsKeysLineAsTheSystemWould) {
  const std::string utf16Mark = "\xFF\xFE";
  auto utf16 = [&](const std::string& ascii) {
    std::string bytes = utf16Mark;
    for (char c : ascii)
      bytes += std::string{c, '\0'};
    return bytes;
  };
  const struct {
    std::string before;
    const wchar_t* key;
    const wchar_t* value;
    std::string after;
  } cases[] = {
      {"", L"showtips", L"0", "[QuelmTask]\r\nshowtips=0\r\n"},
      {"[QuelmTask]\r\nshowtips=1\r\n", L"showtips", L"0", "[QuelmTask]\r\nshowtips=0\r\n"},
      {"[QuelmTask]\r\nshowtips=1\r\n", L"wake", L"1", "[QuelmTask]\r\nshowtips=1\r\nwake=1\r\n"},
      {"[QuelmTask]\r\nshowtips=1", L"wake", L"1", "[QuelmTask]\r\nshowtips=1\r\nwake=1\r\n"},
      {"; note\r\n[Other]\r\nwake=5\r\n\r\n[quelmtask]\r\n ShowTips = 1 \r\nx=y\r\n\r\n[Next]\r\n",
       L"showtips", L"0",
       "; note\r\n[Other]\r\nwake=5\r\n\r\n[quelmtask]\r\nShowTips=0\r\nx=y\r\n\r\n[Next]\r\n"},
      {"[quelmtask]\r\nx=y\r\n\r\n[Next]\r\n", L"wake", L"1",
       "[quelmtask]\r\nx=y\r\nwake=1\r\n\r\n[Next]\r\n"},
      {"\xEF\xBB\xBF[QuelmTask]\r\nwake=0\r\n", L"wake", L"1",
       "\xEF\xBB\xBF[QuelmTask]\r\nwake=1\r\n"},
      // Another code page's bytes elsewhere stay as they are.
      {"[Other]\r\nname=\xC4\xE3\xBA\xC3\r\n", L"showtips", L"1",
       "[Other]\r\nname=\xC4\xE3\xBA\xC3\r\n[QuelmTask]\r\nshowtips=1\r\n"},
      {utf16("[QuelmTask]\r\nshowtips=1\r\n"), L"showtips", L"0",
       utf16("[QuelmTask]\r\nshowtips=0\r\n")},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WithIniValue(c.before, L"QuelmTask", c.key, c.value), c.after) << c.before;

  // What the system's own profile writer makes of the program's writes, byte for byte.
  TempDir dir;
  IniFile ours{dir.Child(L"ours.ini"), L"QuelmTask"};
  const std::wstring theirs = dir.Child(L"theirs.ini");
  const std::pair<const wchar_t*, int> writes[] = {
      {L"showtips", 0}, {L"wake", 1}, {L"showtips", 1}};
  for (const auto& [key, value] : writes) {
    ASSERT_TRUE(ours.WriteInt(key, value));
    WritePrivateProfileStringW(L"QuelmTask", key, std::to_wstring(value).c_str(), theirs.c_str());
    EXPECT_EQ(ReadFileBytes(ours.path), ReadFileBytes(theirs)) << key;
  }
  EXPECT_FALSE(PathExists(ours.path + L".tmp"));
}
