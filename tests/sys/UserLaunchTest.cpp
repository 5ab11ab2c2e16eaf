#include "sys/UserLaunch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "sys/ShellRun.h"
#include "sys/UserToken.h"
#include "tests/support/TempDir.h"
#include "tests/sys/SysTestSupport.h"

TEST(ChooseLaunchRoute, AnElevatedProcessStartsNothingItselfAndSkipsWithoutAShell) {
  struct Case {
    bool elevated, shellFound, tokenFound;
    LaunchRoute route;
  } cases[] = {
      {false, false, false, LaunchRoute::Direct},
      {false, true, true, LaunchRoute::Direct},
      {false, false, true, LaunchRoute::Direct},
      {true, true, true, LaunchRoute::DesktopShell},
      {true, true, false, LaunchRoute::DesktopShell},
      {true, false, true, LaunchRoute::ShellToken},
      {true, false, false, LaunchRoute::Skip},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseLaunchRoute(c.elevated, c.shellFound, c.tokenFound), c.route)
        << c.elevated << c.shellFound << c.tokenFound;
  }
}

// Every route that starts something starts the helper with its parameters and working folder;
// the desktop shell's start is the shell's child, not ours.
TEST(UserLaunch, EachRouteStartsTheProgramOnlyTheSkipStartsNothing) {
  TempDir dir;
  const std::wstring skipped = dir.Child(L"skipped.txt");
  EXPECT_EQ(SkipLaunch({HelperPath(), L"touch \"" + skipped + L"\"", dir.path(), true}),
            LaunchResult::Skipped);

  // Wine without a virtual desktop has no shell window, hence no shell token: any primary token
  // shows the route (Wine's CreateProcessWithTokenW does not switch users anyway).
  ScopedHandle token = OpenShellToken();
  ScopedHandle own;
  if (!token) {
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, own.receive()));
    ASSERT_TRUE(DuplicateTokenEx(own.get(), TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation,
                                 TokenPrimary, token.receive()));
  }
  enum class Parent { Us, NotUs, Unchecked };
  struct Case {
    const wchar_t* name;
    std::function<LaunchResult(const LaunchRequest&)> launch;
    Parent parent;  // the token route starts through rundll32, which has gone by then
  } cases[] = {
      {L"direct", [](const LaunchRequest& r) { return LaunchDirect(r, L"open"); }, Parent::Us},
      {L"desktop", &LaunchThroughDesktopShell, Parent::NotUs},
      {L"token", [&](const LaunchRequest& r) { return LaunchWithToken(token.get(), r); },
       Parent::Unchecked},
      // Under Wine the process counts as elevated: the shell starts what it is asked to.
      {L"as user", &LaunchAsUser, Parent::NotUs},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring folder = dir.Child(std::wstring(c.name) + L".txt");
    const std::wstring parent = dir.Child(std::wstring(c.name) + L".parent");
    ASSERT_EQ(c.launch({HelperPath(), L"touch \"" + folder + L"\"", dir.path(), true}),
              LaunchResult::Started);
    ASSERT_EQ(c.launch({HelperPath(), L"parent \"" + parent + L"\"", L"", true}),
              LaunchResult::Started);
    ASSERT_TRUE(PumpUntil([&] { return !ReadFileBytes(folder).empty(); }));
    std::string bytes = ReadFileBytes(folder);
    std::wstring written(reinterpret_cast<const wchar_t*>(bytes.data()),
                         bytes.size() / sizeof(wchar_t));
    EXPECT_EQ(CompareStringOrdinal(written.c_str(), -1, dir.path().c_str(), -1, TRUE), CSTR_EQUAL)
        << written;
    ASSERT_TRUE(PumpUntil([&] { return !ReadFileBytes(parent).empty(); }));
    const std::string us = std::to_string(GetCurrentProcessId());
    if (c.parent == Parent::Us) {
      EXPECT_EQ(ReadFileBytes(parent), us);
    } else if (c.parent == Parent::NotUs) {
      EXPECT_NE(ReadFileBytes(parent), us);
    }
  }
  EXPECT_FALSE(PathExists(skipped)) << "started long after the others would have been";
}

TEST(UserLaunch, NothingToStartOrNoSuchProgramFails) {
  TempDir dir;
  const LaunchRequest missing{dir.Child(L"missing.exe"), L"", L"", true};
  EXPECT_EQ(LaunchAsUser(missing), LaunchResult::Failed);
  EXPECT_EQ(LaunchThroughDesktopShell(missing), LaunchResult::Failed);
  EXPECT_EQ(LaunchDirect(missing, L"open"), LaunchResult::Failed);
  EXPECT_EQ(LaunchAsUser({}), LaunchResult::Failed);
  EXPECT_EQ(LaunchWithToken(nullptr, {HelperPath()}), LaunchResult::Failed);
  EXPECT_EQ(ShellOpen(L""), LaunchResult::Failed);
}
