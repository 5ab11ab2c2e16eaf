#include "sys/Privileges.h"

#include <gtest/gtest.h>

#include <vector>

#include "sys/Handles.h"

namespace {

// Whether the process token holds `name` and whether it is enabled.
struct PrivilegeState {
  bool held = false;
  bool enabled = false;
};

PrivilegeState QueryPrivilege(const wchar_t* name) {
  PrivilegeState state;
  LUID luid;
  if (!LookupPrivilegeValueW(nullptr, name, &luid))
    return state;
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive()))
    return state;
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size))
    return state;
  auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
    if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart) {
      state.held = true;
      state.enabled = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
  }
  return state;
}

}  // namespace

TEST(ExitSessionFlags, AddsTheForceFlagToTheThreeSessionKinds) {
  struct Case {
    int kind;
    bool valid;
    UINT flags;
  } cases[] = {
      {0, true, EWX_LOGOFF | EWX_FORCE},
      {1, true, EWX_SHUTDOWN | EWX_FORCE},
      {2, true, EWX_REBOOT | EWX_FORCE},
      {3, false, 0},
      {-1, false, 0},
      {8, false, 0},
  };
  for (const Case& c : cases) {
    UINT flags = 0;
    EXPECT_EQ(ExitSessionFlags(c.kind, &flags), c.valid) << c.kind;
    EXPECT_EQ(flags, c.flags) << c.kind;
  }
  EXPECT_EQ(kExitSessionReason, static_cast<DWORD>(SHTDN_REASON_MAJOR_APPLICATION));
}

TEST(EnablePrivilege, EnablesAHeldPrivilegeAndRefusesAnUnknownName) {
  EXPECT_FALSE(EnablePrivilege(L"SeNoSuchPrivilege", true));
  EXPECT_FALSE(EnablePrivilege(L"", true));
  ASSERT_TRUE(EnablePrivilege(L"SeDebugPrivilege", true));
  PrivilegeState debug = QueryPrivilege(L"SeDebugPrivilege");
  EXPECT_TRUE(debug.held);
  EXPECT_TRUE(debug.enabled);
}

TEST(EnablePrivilege, FalseRemovesThePrivilegeFromTheToken) {
  // A privilege no test needs: once removed it cannot come back into this process.
  const wchar_t* name = L"SeUndockPrivilege";
  if (!QueryPrivilege(name).held)
    GTEST_SKIP() << "the token does not hold the privilege";
  EXPECT_TRUE(EnablePrivilege(name, false));
  EXPECT_FALSE(QueryPrivilege(name).held);
  EXPECT_TRUE(EnablePrivilege(name, true)) << "a privilege not held is not detected";
  EXPECT_FALSE(QueryPrivilege(name).enabled);
}
