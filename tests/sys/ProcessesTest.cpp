#include "sys/Processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>

#include "sys/Guid.h"
#include "sys/ProcessProbe.h"
#include "tests/sys/SysTestSupport.h"

namespace {

bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// `text` with the case of every letter flipped.
std::wstring FlipCase(std::wstring text) {
  for (wchar_t& c : text)
    c = std::iswupper(c) ? std::towlower(c) : std::towupper(c);
  return text;
}

// Devices of a made-up machine.
DriveDeviceQuery FakeDevices(std::map<std::wstring, std::wstring> devices) {
  return [devices](const std::wstring& drive, std::wstring* device) {
    auto it = devices.find(drive);
    if (it == devices.end())
      return false;
    *device = it->second;
    return true;
  };
}

}  // namespace

TEST(DevicePathToDrivePath, ReplacesTheDevicePrefixOfTheFirstMatchingDrive) {
  const std::vector<std::wstring> drives = {L"C:", L"D:", L"E:"};
  const auto devices = FakeDevices({{L"C:", L"\\Device\\HarddiskVolume1"},
                                    {L"D:", L"\\Device\\HarddiskVolume10"},
                                    {L"E:", L"\\Device\\CdRom0"}});
  struct Case {
    const wchar_t* devicePath;
    const wchar_t* expected;
  } cases[] = {
      {L"\\Device\\HarddiskVolume1\\Windows\\notepad.exe", L"C:\\Windows\\notepad.exe"},
      {L"\\device\\harddiskvolume1\\x.exe", L"C:\\x.exe"},  // device names ignore case
      {L"\\Device\\HarddiskVolume10\\Tools\\a.exe", L"D:\\Tools\\a.exe"},
      {L"\\Device\\CdRom0\\setup.exe", L"E:\\setup.exe"},
      {L"\\Device\\HarddiskVolume1", L"C:"},
      {L"\\Device\\HarddiskVolume7\\x.exe", L""},  // a volume without a drive letter
      {L"\\Device\\HarddiskVolume", L""},
      {L"", L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DevicePathToDrivePath(c.devicePath, drives, devices), c.expected) << c.devicePath;
}

TEST(DevicePathToDrivePath, StopsAtTheFirstDriveWhoseDeviceCannotBeQueried) {
  const auto devices =
      FakeDevices({{L"C:", L"\\Device\\HarddiskVolume1"}, {L"E:", L"\\Device\\HarddiskVolume3"}});
  EXPECT_EQ(DevicePathToDrivePath(L"\\Device\\HarddiskVolume3\\a", {L"C:", L"D:", L"E:"}, devices),
            L"");
  EXPECT_EQ(DevicePathToDrivePath(L"\\Device\\HarddiskVolume3\\a", {L"C:", L"E:", L"D:"}, devices),
            L"E:\\a");
  EXPECT_EQ(DevicePathToDrivePath(L"\\Device\\HarddiskVolume1\\a", {}, devices), L"");
}

TEST(DevicePathToDrivePath, MapsTheRealSystemDrive) {
  wchar_t device[MAX_PATH] = {};
  ASSERT_NE(QueryDosDeviceW(L"C:", device, MAX_PATH), 0u);
  EXPECT_EQ(DevicePathToDrivePath(std::wstring(device) + L"\\windows\\system32"),
            L"C:\\windows\\system32");
  EXPECT_EQ(DevicePathToDrivePath(L"\\Device\\QuelmNoSuchVolume\\x.exe"), L"");
}

TEST(ProgramsByPath, KeepsOneEntryPerPathInOrdinalOrder) {
  std::vector<RunningProcess> processes = {
      {10, L"b.exe", L"C:\\b\\b.exe"},
      {11, L"a.exe", L"C:\\a\\a.exe"},
      {12, L"B-second.exe", L"C:\\b\\b.exe"},
      {13, L"upper.exe", L"C:\\B\\b.exe"},  // differs in case only: a path of its own
  };
  ProgramList programs = ProgramsByPath(processes);
  ASSERT_EQ(programs.size(), 3u);
  // Upper-case letters sort before lower-case ones.
  EXPECT_EQ(programs[0]->path, L"C:\\B\\b.exe");
  EXPECT_EQ(programs[0]->name, L"upper.exe");
  EXPECT_EQ(programs[1]->path, L"C:\\a\\a.exe");
  EXPECT_EQ(programs[1]->name, L"a.exe");
  EXPECT_EQ(programs[2]->path, L"C:\\b\\b.exe");
  EXPECT_EQ(programs[2]->name, L"B-second.exe") << "the later process names the entry";
  for (const auto& entry : programs)
    EXPECT_EQ(entry->icon, nullptr);
  EXPECT_TRUE(ProgramsByPath({}).empty());
}

// Two copies of the helper, waiting for an event of this test.
class RunningHelpers : public testing::Test, public GdiplusFixtureBase {
 protected:
  void SetUp() override {
    eventName_ = L"Local\\quelm-sys-helper-" + NewGuidString();
    event_.reset(CreateEventW(nullptr, TRUE, FALSE, eventName_.c_str()));
    ASSERT_TRUE(event_.valid());
    for (ScopedHandle& helper : helpers_) {
      helper = StartHelper(L"wait " + eventName_);
      ASSERT_TRUE(helper.valid());
    }
    // The helper's path as the system reports it, found through its process id.
    DWORD pid = GetProcessId(helpers_[0].get());
    ASSERT_TRUE(PumpUntil([&] {
      for (const RunningProcess& process : ListProcesses()) {
        if (process.pid == pid)
          reportedPath_ = process.path;
      }
      return !reportedPath_.empty();
    }));
  }

  void TearDown() override {
    SetEvent(event_.get());
    for (ScopedHandle& helper : helpers_) {
      if (helper.valid())
        WaitForSingleObject(helper.get(), 10000);
    }
  }

  // Lets the helpers end by themselves and returns their exit codes.
  std::vector<DWORD> ReleaseHelpers() {
    SetEvent(event_.get());
    std::vector<DWORD> codes;
    for (ScopedHandle& helper : helpers_) {
      EXPECT_EQ(WaitForSingleObject(helper.get(), 10000), WAIT_OBJECT_0);
      DWORD code = 0;
      GetExitCodeProcess(helper.get(), &code);
      codes.push_back(code);
    }
    return codes;
  }

  std::wstring eventName_;
  ScopedHandle event_;
  ScopedHandle helpers_[2];
  std::wstring reportedPath_;
};

TEST_F(RunningHelpers, ProcessWalkSeesBothCopiesWithTheHelpersPath) {
  EXPECT_TRUE(SameTextIgnoringCase(reportedPath_, HelperPath())) << reportedPath_;
  int copies = 0;
  for (const RunningProcess& process : ListProcesses()) {
    if (process.path == reportedPath_) {
      ++copies;
      EXPECT_TRUE(SameTextIgnoringCase(process.name, L"sys_helper.exe")) << process.name;
    }
  }
  EXPECT_EQ(copies, 2);
}

TEST_F(RunningHelpers, TheWatchProbeFindsTheHelperWhateverItsCaseUntilItEnds) {
  Win32ProcessProbe probe;
  const std::wstring other = GetModuleDirectory() + L"\\not_running.exe";
  const std::vector<std::wstring> asked = {other, FlipCase(reportedPath_), reportedPath_};
  EXPECT_EQ(probe.RunningAmong(asked),
            (std::vector<std::wstring>{FlipCase(reportedPath_), reportedPath_}));
  EXPECT_TRUE(probe.RunningAmong({}).empty());
  ReleaseHelpers();
  EXPECT_TRUE(probe.RunningAmong(asked).empty());
}

TEST(ProcessWalk, TheSnapshotsFirstProcessIsListedWhenItIsARealProgram) {
  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W first = {};
  first.dwSize = sizeof(first);
  ASSERT_TRUE(snapshot && Process32FirstW(snapshot.get(), &first));
  if (first.th32ProcessID == 0 || GetProcessImagePath(first.th32ProcessID).empty())
    GTEST_SKIP() << "the first entry is the idle process, as on Windows";
  bool listed = false;
  for (const RunningProcess& process : ListProcesses())
    listed = listed || process.pid == first.th32ProcessID;
  EXPECT_TRUE(listed) << first.szExeFile;
}

TEST_F(RunningHelpers, ListRunningProgramsShowsTwoCopiesAsOneEntryWithAnIcon) {
  ProgramList programs = ListRunningPrograms();
  int rows = 0;
  for (const auto& entry : programs) {
    if (SameTextIgnoringCase(entry->path, HelperPath())) {
      ++rows;
      EXPECT_TRUE(SameTextIgnoringCase(entry->name, L"sys_helper.exe")) << entry->name;
      ASSERT_NE(entry->icon, nullptr);
      EXPECT_EQ(entry->icon->GetPixelFormat(), PixelFormat32bppARGB);
    }
  }
  EXPECT_EQ(rows, 1);
  EXPECT_TRUE(std::is_sorted(programs.begin(), programs.end(),
                             [](const auto& a, const auto& b) { return a->path < b->path; }));
}

TEST_F(RunningHelpers, ImagePathOfAProcessIsItsExecutableInDriveForm) {
  EXPECT_TRUE(
      SameTextIgnoringCase(GetProcessImagePath(GetProcessId(helpers_[0].get())), HelperPath()));
  EXPECT_EQ(GetProcessImagePath(0xFFFFFFF0u), L"") << "no such process";
}

TEST_F(RunningHelpers, TerminateWithAPathDifferingInCaseEndsNothing) {
  std::wstring other = FlipCase(reportedPath_);
  ASSERT_NE(other, reportedPath_);
  TerminateProgramByPath(other);
  TerminateProgramByPath(reportedPath_ + L"x");
  TerminateProgramByPath(L"");
  EXPECT_EQ(ReleaseHelpers(), (std::vector<DWORD>{7, 7})) << "the helpers ended by themselves";
}

TEST_F(RunningHelpers, TerminateWithTheExactPathEndsEveryCopyWithCodeZero) {
  TerminateProgramByPath(reportedPath_);
  for (ScopedHandle& helper : helpers_) {
    ASSERT_EQ(WaitForSingleObject(helper.get(), 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(helper.get(), &code);
    EXPECT_EQ(code, 0u);
  }
}

TEST(OwnProcessesOf, ClosesOnlyTheUsersOwnProgramsInItsOwnSession) {
  const std::wstring me = L"S-1-5-21-1-2-3-1001";
  const std::wstring path = L"C:\\app\\x.exe";
  const std::vector<OwnedProcess> processes = {
      {10, path, me, 1},
      {11, L"C:\\app\\X.exe", me, 1},         // another path by case
      {12, path, L"S-1-5-21-1-2-3-1002", 1},  // another user at the same desktop
      {13, path, me, 2},                      // the same user, another session
      {14, path, L"S-1-5-18", 1},             // the system
      {15, path, me, 0},                      // a service of the user
      {16, path, L"", 1},                     // owner unknown
      {17, path, me, 1},
  };
  struct Case {
    std::wstring userSid;
    DWORD session;
    std::vector<DWORD> closed;
  } cases[] = {
      {me, 1, {10, 17}},
      {me, 2, {13}},
      // The program's own account never makes others' processes its own.
      {me, 0, {}},
      {L"S-1-5-18", 1, {}},
      {L"S-1-5-19", 1, {}},
      {L"", 1, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OwnProcessesOf(processes, path, c.userSid, c.session), c.closed)
        << c.userSid << " " << c.session;
  }
}

TEST(GetProcessOwner, ReadsTheUserAndSessionOfAProcess) {
  std::wstring sid;
  DWORD session = 99;
  ASSERT_TRUE(GetProcessOwner(GetCurrentProcess(), &sid, &session));
  EXPECT_EQ(sid.rfind(L"S-1-5-", 0), 0u) << sid;
  DWORD expected = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &expected);
  EXPECT_EQ(session, expected);
  EXPECT_FALSE(GetProcessOwner(nullptr, &sid, &session));
}
