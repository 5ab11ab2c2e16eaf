#include "tasks/Settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "sys/Files.h"
#include "sys/Registry.h"

namespace {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Works on the prefix's real data folder and Run key, restoring both afterwards.
class SettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    cfg_ = DataFolder() + L"\\cfg.ini";
    DeleteFileW(cfg_.c_str());
    DeleteRunValue(L"QuelmTask");
  }
  void TearDown() override {
    DeleteFileW(cfg_.c_str());
    DeleteRunValue(L"QuelmTask");
  }
  void WriteShowTips(const wchar_t* text) {
    CreateFolder(DataFolder());
    WritePrivateProfileStringW(L"QuelmTask", L"showtips", text, cfg_.c_str());
  }
  void SetRunValue(const std::wstring& data) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"QuelmTask", REG_SZ, data.c_str(),
                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  }

  std::wstring cfg_;
};

TEST_F(SettingsTest, DataFolderIsQuelmTaskUnderLocalAppData) {
  std::wstring folder = DataFolder();
  EXPECT_EQ(folder, LocalAppDataFolder() + L"\\QuelmTask");
  EXPECT_NE(folder.find(L"AppData\\Local"), std::wstring::npos) << folder;
  EXPECT_EQ(DataFolderUnder(L""), GetModuleDirectory() + L"\\QuelmTask")
      << "never the root of the current drive";
}

TEST_F(SettingsTest, AFirstStartCreatesTheFolderAndPlaysSounds) {
  // A program started by hand in this prefix leaves its tasks here: keep them aside meanwhile.
  const std::wstring folder = DataFolder(), aside = folder + L".aside";
  bool moved = PathExists(folder);
  if (moved) {
    ASSERT_TRUE(MoveFileW(folder.c_str(), aside.c_str())) << "the data folder is in use";
  }
  AppSettings().showTips = false;
  AppSettings().wake = true;
  LoadSettings();
  EXPECT_TRUE(PathExists(folder));
  EXPECT_TRUE(AppSettings().showTips);
  EXPECT_FALSE(AppSettings().wake) << "waking the computer is off until asked for";
  EXPECT_FALSE(PathExists(cfg_)) << "loading writes nothing";
  if (moved) {
    RemoveDirectoryW(folder.c_str());
    EXPECT_TRUE(MoveFileW(aside.c_str(), folder.c_str()));
  }
}

TEST_F(SettingsTest, StoredShowTipsValues) {
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"1", true},  {L"0", false},    {L"-2", false}, {L"abc", false},
      {L"", true},   {L"7days", true}, {L" 3", true},
  };
  for (const auto& [text, on] : cases) {
    WriteShowTips(text);
    AppSettings().showTips = !on;
    LoadSettings();
    EXPECT_EQ(AppSettings().showTips, on) << text;
  }
}

TEST_F(SettingsTest, SetShowTipsAndSetWakeWriteAtOnce) {
  LoadSettings();
  SetShowTips(false);
  EXPECT_FALSE(AppSettings().showTips);
  EXPECT_EQ(AppSettings().ini.ReadString(L"showtips", L"missing"), L"0");
  SetShowTips(true);
  EXPECT_EQ(AppSettings().ini.ReadString(L"showtips", L"missing"), L"1");
  SetWake(true);
  EXPECT_EQ(AppSettings().ini.ReadString(L"wake", L"missing"), L"1");
  LoadSettings();
  EXPECT_TRUE(AppSettings().showTips);
  EXPECT_TRUE(AppSettings().wake);
  SetWake(false);
  EXPECT_EQ(AppSettings().ini.ReadString(L"wake", L"missing"), L"0");
  LoadSettings();
  EXPECT_FALSE(AppSettings().wake);
}

TEST_F(SettingsTest, AutostartWritesTheQuotedProgramPathAndRemovesIt) {
  EXPECT_FALSE(IsAutostartOn());
  SetAutostart(true);
  EXPECT_TRUE(IsAutostartOn());
  EXPECT_EQ(ReadRunValue(L"QuelmTask"), L"\"" + GetModulePath() + L"\"");
  SetAutostart(true);
  EXPECT_TRUE(IsAutostartOn());
  SetAutostart(false);
  EXPECT_FALSE(IsAutostartOn());
  SetAutostart(false);  // nothing left to delete: still fine
  EXPECT_FALSE(IsAutostartOn());
}

TEST_F(SettingsTest, AutostartIsOffForEmptyOrOverlongValues) {
  SetRunValue(L"");
  EXPECT_FALSE(IsAutostartOn());
  SetRunValue(L"\"C:\\old place\\QuelmTask.exe\"");
  EXPECT_TRUE(IsAutostartOn()) << "a stale path still counts as on";
  SetRunValue(std::wstring(259, L'x'));
  EXPECT_TRUE(IsAutostartOn()) << "259 characters and the terminator fill the buffer exactly";
  SetRunValue(std::wstring(260, L'x'));
  EXPECT_FALSE(IsAutostartOn()) << "a value longer than the buffer is not read";
}

}  // namespace
