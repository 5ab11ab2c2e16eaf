#include <gtest/gtest.h>

#include "app/Identity.h"
#include "sys/MachineIdentity.h"
#include "tests/app/IdentityRegistry.h"
#include "tests/support/FakeClock.h"

namespace {

const DWORD kAbsent = 0xFFFFFFFF;

}  // namespace

TEST(Identity, UnionIdComesFromTheUserThenTheMachineThenIs1001) {
  struct Case {
    DWORD user;
    DWORD machine;
    uint32_t expected;
  } cases[] = {
      {kAbsent, kAbsent, 1001}, {kAbsent, 7, 7}, {5, 7, 5}, {0, 7, 7}, {0, 0, 1001},
      {9, kAbsent, 9},
  };
  for (const Case& c : cases) {
    ScopedIdentityRegistry registry;
    if (c.user != kAbsent)
      registry.SetUnionId(HKEY_CURRENT_USER, c.user);
    if (c.machine != kAbsent)
      registry.SetUnionId(HKEY_LOCAL_MACHINE, c.machine);
    EXPECT_EQ(ReadUnionIdSetting(), c.expected) << c.user << " " << c.machine;
    EXPECT_EQ(ReadIdentity().unionId, c.expected);
  }
}

TEST(Identity, InstallDateIsTheInstallersTextOrToday) {
  FakeClock clock;
  clock.SetLocal(2031, 2, 3, 23, 59, 58);
  const int32_t today = 20310203;
  struct Case {
    const wchar_t* text;  // nullptr: no value
    int32_t expected;
  } cases[] = {
      {nullptr, today}, {L"20240517", 20240517}, {L"0", today},
      {L"", today},     {L"abc", today},         {L" 20191231tail", 20191231},
  };
  for (const Case& c : cases) {
    ScopedIdentityRegistry registry;
    if (c.text)
      registry.SetInstallDate(c.text);
    EXPECT_EQ(ReadInstallDate(), c.expected) << (c.text ? c.text : L"(none)");
  }
  ScopedIdentityRegistry registry;
  registry.SetInstallDateDword(20240517);
  EXPECT_EQ(ReadInstallDate(), today) << "a number where text belongs is unreadable";
}

TEST(Identity, VersionIsTheExecutablesFourPartVersion) {
  // The test program carries no version resource.
  EXPECT_EQ(ReadIdentity().version, L"0.0.0.0");
}

TEST(Identity, DeviceIdIsAStableSaltedDigestOfTheMachine) {
  std::wstring machine = MachineIdentityText();
  ASSERT_FALSE(machine.empty());
  const std::string& id = DeviceId();
  ASSERT_EQ(id.size(), 32u);
  for (char c : id)
    EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')) << id;
  EXPECT_EQ(id, MakeDeviceId(machine));
  EXPECT_EQ(id, MakeDeviceId(MachineIdentityText())) << "same machine, same id";
  EXPECT_NE(MakeDeviceId(machine + L"x"), id);
  EXPECT_EQ(MakeDeviceId(L""), "");
  // Neither the machine's text nor its plain digest (no salt) shows through.
  std::string machineUtf8(machine.begin(), machine.end());
  EXPECT_EQ(id.find(machineUtf8.substr(0, 8)), std::string::npos);
  EXPECT_NE(MakeDeviceId(L"abc").substr(0, 8), "ba7816bf");
}
