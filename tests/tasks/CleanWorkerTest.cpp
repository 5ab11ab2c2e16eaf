#include "tasks/CleanWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "sys/Folders.h"
#include "sys/HandOff.h"
#include "sys/Handles.h"
#include "sys/PinnedFolder.h"
#include "sys/UserToken.h"
#include "tasks/CleanFiles.h"
#include "tests/support/HostLinks.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/TempDir.h"

namespace {

// Stands in for the cleaning dialog: keeps every report it gets on the UI thread.
class RecordingTarget : public CleanReportTarget {
 public:
  long AddRef() override { return ++refs; }
  long Release() override { return --refs; }
  bool WindowExists() const override { return windowExists; }
  void ReportProgress(uint64_t size, const std::wstring& path) override {
    EXPECT_EQ(GetCurrentThreadId(), uiThread);
    total += size;
    reports.push_back({path, size});
    if (closeAfterReports != 0 && reports.size() == closeAfterReports)
      windowExists = false;
  }
  void CloseWindow() override {
    EXPECT_EQ(GetCurrentThreadId(), uiThread);
    ++closes;
    windowExists = false;
  }

  struct Report {
    std::wstring path;
    uint64_t size = 0;
  };
  std::atomic<long> refs{1};
  bool windowExists = true;
  size_t closeAfterReports = 0;
  std::vector<Report> reports;
  uint64_t total = 0;
  int closes = 0;
  DWORD uiThread = GetCurrentThreadId();
};

// Sets TMP and TEMP of this process for its lifetime.
class ScopedTempVariables {
 public:
  explicit ScopedTempVariables(const std::wstring& folder) {
    for (const wchar_t* name : {L"TMP", L"TEMP"}) {
      wchar_t old[32768] = {};
      const DWORD length = GetEnvironmentVariableW(name, old, 32768);
      saved_[name] = length == 0 ? std::wstring() : std::wstring(old, length);
      SetEnvironmentVariableW(name, folder.c_str());
    }
  }
  ~ScopedTempVariables() {
    for (const auto& [name, value] : saved_)
      SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
  }

 private:
  std::map<std::wstring, std::wstring> saved_;
};

void WriteSizedFile(const TempDir& dir, const std::wstring& name, size_t bytes) {
  dir.WriteFile(name, std::string(bytes, 'x'));
}

class CleanWorkerTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(CreateHandOffWindow(), nullptr); }
  void TearDown() override { DestroyHandOffWindow(); }

  // Starts the real worker thread and pumps until its closing job has dropped its reference.
  void RunWorker(RecordingTarget& target) {
    StartCleanWorker(&target, CleanPauses{0, 0});
    EXPECT_TRUE(
        PumpUntil([&] { return target.refs == 1 && (target.closes > 0 || !target.windowExists); }));
  }
};

}  // namespace

TEST(FormatSize, PicksTheUnitAtTheThresholds) {
  const struct {
    uint64_t bytes;
    const wchar_t* shown;
  } cases[] = {
      {0, L"0.00KB"},
      {512, L"0.50KB"},
      {1048576, L"1024.00KB"},
      {1048577, L"1.00M"},
      {2 * 1048576 + 150, L"2.00M"},
      {1073741823, L"1024.00M"},
      {1073741824, L"1.00G"},
      {3ULL * 1073741824 / 2, L"1.50G"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatSize(c.bytes), c.shown) << c.bytes;
}

TEST_F(CleanWorkerTest, DeletesTheTreeButNotDotNamesLinkedFoldersOrFilesInUse) {
  TempDir scratch;
  TempDir outside;
  ASSERT_TRUE(CreateFolder(scratch.Child(L"sub")));
  ASSERT_TRUE(CreateFolder(scratch.Child(L"sub\\deeper")));
  ASSERT_TRUE(CreateFolder(scratch.Child(L".dotdir")));
  WriteSizedFile(scratch, L"a.txt", 100);
  WriteSizedFile(scratch, L"z.txt", 20);
  WriteSizedFile(scratch, L"sub\\inner.bin", 2 * 1048576);
  WriteSizedFile(scratch, L"sub\\deeper\\d.txt", 30);
  WriteSizedFile(scratch, L"sub\\s.txt", 0);
  WriteSizedFile(scratch, L".hidden.txt", 10);
  WriteSizedFile(scratch, L".dotdir\\x.txt", 10);
  WriteSizedFile(scratch, L"locked.txt", 1048576);
  WriteSizedFile(outside, L"keep.txt", 40);
  const std::wstring link = UnixPath(scratch.path()) + L"/link";
  ASSERT_TRUE(MakeHostSymlink(outside.path(), link, scratch.Child(L"link")));
  ASSERT_TRUE(IsReparsePoint(scratch.Child(L"link")));
  ScopedHandle locked(CreateFileW(scratch.Child(L"locked.txt").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locked.valid());

  RecordingTarget target;
  {
    ScopedTempVariables tmp(scratch.path());
    RunWorker(target);
  }
  // A link that appears after the list was made is caught before the delete.
  EXPECT_FALSE(DeleteFileWithin(scratch.path(), scratch.Child(L"link\\keep.txt")));
  EXPECT_FALSE(DeleteFileWithin(scratch.path(), outside.Child(L"keep.txt")));
  locked.reset();
  EXPECT_TRUE(RemoveHostLink(link, scratch.Child(L"link")));

  const struct {
    const wchar_t* name;
    bool gone;
  } files[] = {
      {L"a.txt", true},           {L"z.txt", true},
      {L"sub\\inner.bin", true},  {L"sub\\deeper\\d.txt", true},
      {L"sub\\s.txt", true},      {L".hidden.txt", false},
      {L".dotdir\\x.txt", false}, {L"locked.txt", false},
  };
  for (const auto& f : files)
    EXPECT_NE(PathExists(scratch.Child(f.name)), f.gone) << f.name;
  EXPECT_TRUE(PathExists(outside.Child(L"keep.txt")));
  EXPECT_TRUE(PathExists(scratch.Child(L"sub\\deeper")));  // folders stay

  // Every deleted or undeletable file is reported once; the total is what was freed.
  std::map<std::wstring, uint64_t> reported;
  for (const auto& r : target.reports)
    reported[r.path.substr(scratch.path().size() + 1)] = r.size;
  const std::map<std::wstring, uint64_t> expected = {
      {L"a.txt", 100},    {L"z.txt", 20},     {L"sub\\inner.bin", 2 * 1048576},
      {L"sub\\s.txt", 0}, {L"locked.txt", 0}, {L"sub\\deeper\\d.txt", 30},
  };
  EXPECT_EQ(reported, expected);
  EXPECT_EQ(target.reports.size(), expected.size());
  EXPECT_EQ(target.total, 2u * 1048576 + 150);
  EXPECT_EQ(FormatSize(target.total), L"2.00M");
  EXPECT_EQ(target.closes, 1);

  // Depth first: the files under each folder form one unbroken run of reports.
  for (const std::wstring folder : {L"sub\\", L"sub\\deeper\\"}) {
    std::vector<size_t> at;
    for (size_t i = 0; i < target.reports.size(); ++i) {
      if (target.reports[i].path.compare(scratch.path().size() + 1, folder.size(), folder) == 0)
        at.push_back(i);
    }
    ASSERT_FALSE(at.empty()) << folder;
    EXPECT_EQ(at.back() - at.front() + 1, at.size()) << folder;
  }
}

TEST_F(CleanWorkerTest, AFolderSwappedForALinkAfterTheListIsMadeLeadsNowhere) {
  TempDir scratch;
  TempDir outside;
  ASSERT_TRUE(CreateFolder(scratch.Child(L"sub")));
  WriteSizedFile(scratch, L"sub\\victim.txt", 10);
  WriteSizedFile(scratch, L"own.txt", 20);
  WriteSizedFile(outside, L"victim.txt", 40);
  // Between the walk and the first delete, "sub" moves away and a link to `outside` takes its
  // place, so the listed "sub\victim.txt" now names the file outside.
  struct Swap {
    const TempDir* scratch;
    const TempDir* outside;
    size_t listed = 0;
    bool impersonating = false;
    bool swapped = false;
  } swap{&scratch, &outside};
  SetCleanListedHookForTesting(
      [](const std::vector<std::wstring>& files, void* context) {
        Swap& s = *static_cast<Swap*>(context);
        s.listed = files.size();
        ScopedHandle token;
        s.impersonating = OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.receive());
        s.swapped =
            MoveFileW(s.scratch->Child(L"sub").c_str(), s.scratch->Child(L"moved").c_str()) &&
            MakeHostSymlinkAt(s.outside->path(), s.scratch->Child(L"sub"));
      },
      &swap);
  RecordingTarget target;
  {
    ScopedTempVariables tmp(scratch.path());
    RunWorker(target);
  }
  SetCleanListedHookForTesting(nullptr, nullptr);
  EXPECT_TRUE(RemoveHostLinkAt(scratch.Child(L"sub")));
  ASSERT_TRUE(swap.swapped);
  EXPECT_EQ(swap.listed, 2u);
  EXPECT_EQ(swap.impersonating, IsProcessElevated() && OpenShellToken().valid())
      << "elevated, it cleans as the shell's user where there is one";
  EXPECT_EQ(ReadFileBytes(outside.Child(L"victim.txt")), std::string(40, 'x'));
  EXPECT_TRUE(PathExists(scratch.Child(L"moved\\victim.txt")));
  EXPECT_FALSE(PathExists(scratch.Child(L"own.txt")));
  EXPECT_EQ(target.total, 20u) << "the refused file counts nothing";
}

TEST_F(CleanWorkerTest, RefusesFoldersThatAreNotATemporaryFolder) {
  TempDir scratch;
  const std::wstring profile = KnownFolderPath(KnownFolder::Profile);
  const std::wstring windows = KnownFolderPath(KnownFolder::Windows);
  ASSERT_FALSE(profile.empty());
  ASSERT_FALSE(windows.empty());
  const struct {
    std::wstring tmp;
    bool cleanable;
  } cases[] = {
      {scratch.path(), true},
      {scratch.path() + L"\\", true},
      {scratch.Child(L"missing"), false},
      {profile, false},
      {profile + L"\\", false},
      {profile.substr(0, profile.rfind(L'\\')), false},  // holds the profile
      {windows, false},
      {L"C:\\", false},
      {L"C:", false},
      {L"\\\\?\\C:\\", false},
      {L"\\\\?\\" + windows, false},
      {scratch.path() + L"\\" + std::wstring(300, L'a'), false},  // does not fit
  };
  for (const auto& c : cases) {
    ScopedTempVariables tmp(c.tmp);
    EXPECT_EQ(!CleanableTempFolder().empty(), c.cleanable) << c.tmp;
  }
}

TEST_F(CleanWorkerTest, ADriveRootAsTemporaryFolderIsLeftAlone) {
  TempDir canaries;
  ASSERT_TRUE(CreateFolder(canaries.Child(L"nested")));
  const std::vector<std::wstring> names = {L"one.txt", L"two.dat", L"nested\\three.txt"};
  for (const std::wstring& name : names)
    WriteSizedFile(canaries, name, 64);

  // A free drive letter mapped to the canary folder through the prefix's device links.
  const DWORD drives = GetLogicalDrives();
  wchar_t letter = L'Q';
  while (letter <= L'Y' && (drives & (1u << (letter - L'A'))))
    ++letter;
  ASSERT_LE(letter, L'Y');
  const std::wstring devices = UnixPath(L"C:\\");
  ASSERT_FALSE(devices.empty());
  wchar_t lower = static_cast<wchar_t>(letter - L'A' + L'a');
  // "C:\" maps to <prefix>/dosdevices/c:/ (or to drive_c next to it).
  std::wstring prefix = devices.substr(0, devices.find(L"/dosdevices/"));
  if (prefix == devices)
    prefix = devices.substr(0, devices.rfind(L"/drive_c"));
  const std::wstring device = prefix + L"/dosdevices/" + lower + L":";
  const std::wstring root = std::wstring(1, letter) + L":\\";
  ASSERT_TRUE(MakeHostSymlink(canaries.path(), device, root + L"one.txt"));

  RecordingTarget target;
  for (const std::wstring& tmp : {root, root.substr(0, 2)}) {
    ScopedTempVariables variables(tmp);
    target.windowExists = true;
    target.closes = 0;
    RunWorker(target);
    EXPECT_EQ(target.closes, 1);
  }
  EXPECT_TRUE(RemoveHostLink(device, root + L"one.txt"));
  EXPECT_TRUE(target.reports.empty());
  for (const std::wstring& name : names)
    EXPECT_TRUE(PathExists(canaries.Child(name))) << name;
}

TEST_F(CleanWorkerTest, AClosedWindowGetsNoMoreReportsAndTheReferenceIsDropped) {
  TempDir scratch;
  for (const wchar_t* name : {L"1.txt", L"2.txt", L"3.txt"})
    WriteSizedFile(scratch, name, 5);
  RecordingTarget target;
  target.closeAfterReports = 1;  // the user's close arrives mid-run
  {
    ScopedTempVariables tmp(scratch.path());
    RunWorker(target);
  }
  EXPECT_EQ(target.reports.size(), 1u);
  EXPECT_EQ(target.closes, 0);
  EXPECT_EQ(target.refs, 1);
  for (const wchar_t* name : {L"1.txt", L"2.txt", L"3.txt"})
    EXPECT_FALSE(PathExists(scratch.Child(name))) << name;
}

TEST(CleanWorkerWithoutHandOffWindow, StillCleansAndReportsNothing) {
  TempDir scratch;
  const std::wstring file = scratch.WriteFile(L"junk.txt", "junk");
  RecordingTarget target;
  {
    ScopedTempVariables tmp(scratch.path());
    CleanWorker(&target, CleanPauses{0, 0});
  }
  EXPECT_FALSE(PathExists(file));
  EXPECT_TRUE(target.reports.empty());
  EXPECT_EQ(target.closes, 0);
}
