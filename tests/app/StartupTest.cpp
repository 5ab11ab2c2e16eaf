#include "app/Startup.h"

#include <gtest/gtest.h>

#include "sys/ProcessSetup.h"

TEST(Startup, ElevationStepFollowsVersionMembershipAndSwitches) {
  struct Case {
    const wchar_t* line;
    DWORD major;
    bool admin;
    bool proceed, relaunch;
    const wchar_t* parameters;
  } cases[] = {
      {L"q.exe", 5, false, true, false, L""},  // XP: never elevates
      {L"q.exe", 10, true, true, false, L""},
      {L"q.exe", 10, false, false, true, L"/second"},
      {L"q.exe /auto", 6, false, false, true, L"/second /auto"},
      {L"q.exe /autostart", 10, false, false, true, L"/second /auto"},  // substring rule
      {L"q.exe /second /auto", 10, false, false, false, L""},           // no relaunch loop
      {L"q.exe /second", 10, true, true, false, L""},
      {L"q.exe /AUTO", 10, false, false, true, L"/second"},  // case-sensitive
  };
  for (const Case& c : cases) {
    ElevationStep s = DecideElevation(c.line, c.major, c.admin);
    EXPECT_EQ(s.proceed, c.proceed) << c.line;
    EXPECT_EQ(s.relaunch, c.relaunch) << c.line;
    EXPECT_EQ(s.parameters, c.parameters) << c.line;
  }
}

TEST(Startup, DpiAwarenessUnlessAppliedDpiAbove150) {
  EXPECT_FALSE(WantsDpiAwareness(168u));
  EXPECT_FALSE(WantsDpiAwareness(151u));
  EXPECT_TRUE(WantsDpiAwareness(150u));
  EXPECT_TRUE(WantsDpiAwareness(144u));
  EXPECT_TRUE(WantsDpiAwareness(std::nullopt));
}

TEST(Startup, TaskbarCreatedIsRegisteredBeforeTheFilterAdmitsIt) {
  UINT m = TaskbarCreatedMessage();
  EXPECT_GE(m, 0xC000u);
  EXPECT_EQ(m, RegisterWindowMessageW(L"TaskbarCreated"));
}

TEST(Startup, SingleInstanceMutexIsClaimedOncePerMachine) {
  ASSERT_TRUE(ClaimSingleInstance());
  EXPECT_FALSE(ClaimSingleInstance());
}
