// The built program started as a user starts it: hidden with "/auto", then a second copy;
// closed by another program, then ended with the Windows session.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "sys/Files.h"
#include "sys/Folders.h"
#include "sys/Handles.h"
#include "sys/ProcessSetup.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScopedLocalAppData.h"
#include "tests/support/StartProcess.h"
#include "tests/support/TempDir.h"

namespace {

std::wstring ProgramPath() {
  std::wstring tests = GetModuleDirectory();
  return tests.substr(0, tests.find_last_of(L'\\')) + L"\\QuelmTask.exe";
}

DWORD ExitCode(HANDLE process) {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process, &code);
  return code;
}

TEST(Program, HiddenStartThenASecondStartBringsTheWindowToTheFront) {
  // A claim of this test process would make the program think it runs already.
  ReleaseSingleInstanceForTesting();
  TempDir appData;
  ScopedLocalAppData redirect(appData.path());

  ScopedHandle first = StartProcess(ProgramPath(), L"/auto");
  ASSERT_TRUE(first);
  HWND window = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (window = FindWindowW(L"QuelmTask", nullptr)) != nullptr; }));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(ExitCode(first.get()), STILL_ACTIVE);
  EXPECT_TRUE(IsFolder(appData.Child(L"QuelmTask"))) << "the data folder is made at start-up";

  ScopedHandle second = StartProcess(ProgramPath(), L"");
  ASSERT_TRUE(second);
  EXPECT_EQ(WaitForSingleObject(second.get(), 20000), WAIT_OBJECT_0);
  EXPECT_EQ(ExitCode(second.get()), 0u);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
  EXPECT_EQ(FindWindowW(L"QuelmTask", nullptr), window);  // the second made no window of its own

  // Another program's close request only hides the window; the session's end ends the program.
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_BLOCK, 20000, &answer));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(ExitCode(first.get()), STILL_ACTIVE);
  EXPECT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 20000, &answer));
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 20000, &answer);
  EXPECT_EQ(WaitForSingleObject(first.get(), 20000), WAIT_OBJECT_0);
  EXPECT_EQ(ExitCode(first.get()), 0u);
}

}  // namespace
