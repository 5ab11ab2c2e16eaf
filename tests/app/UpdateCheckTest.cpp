#include <windows.h>

#include <gtest/gtest.h>

#include "app/UpdateCheck.h"
#include "sys/AdminOnlyWrite.h"
#include "sys/Exports.h"
#include "sys/Files.h"
#include "tests/support/TempDir.h"

namespace {

std::wstring FakeLibraryPath() {
  return GetModuleDirectory() + L"\\fakeupdate\\QuelmUpdate.dll";
}

// The fake's own entry points, reached through the copy the client loaded.
std::string TakeLog() {
  auto take = FindExport<void (*)(char*, size_t)>(GetModuleHandleW(FakeLibraryPath().c_str()),
                                                  "TakeFakeUpdateLog");
  if (!take)
    return "(fake not loaded)";
  char buffer[4096] = {};
  take(buffer, sizeof(buffer));
  return buffer;
}

void SetMustExit(bool mustExit) {
  auto set = FindExport<void (*)(bool)>(GetModuleHandleW(FakeLibraryPath().c_str()),
                                        "SetFakeUpdateMustExit");
  ASSERT_NE(set, nullptr);
  set(mustExit);
}

std::wstring SystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\" + name;
}

}  // namespace

TEST(UpdateClient, WithoutAUsableLibraryTheProgramRunsOnAndIgnoresEveryCall) {
  const std::wstring paths[] = {
      GetModuleDirectory() + L"\\QuelmUpdate.dll",  // missing beside the program
      GetModuleDirectory() + L"\\no-such-folder\\QuelmUpdate.dll",
      SystemLibrary(L"version.dll"),  // loads, but exports no GetIQuelmUpdate
      // A working library in a folder that not only administrators can change (the build's).
      FakeLibraryPath(),
  };
  for (const std::wstring& path : paths) {
    UpdateClient client(path);
    EXPECT_FALSE(client.available());
    EXPECT_FALSE(client.MustExitAfterStartUp(L"C:\\data"));
    client.StartChecking(Identity(), "id", nullptr);
    client.CheckNow(nullptr);
  }
  EXPECT_FALSE(UpdateClient::Get().available());
  EXPECT_FALSE(UpdateClient::Get().MustExitAfterStartUp(L"C:\\data"));
}

TEST(UpdateClient, LibraryIsCalledInSlotOrderWithTheProgramsIdentity) {
  UpdateClient client(FakeLibraryPath(), UpdateLibrarySource::kAnyFolderForTesting);
  ASSERT_TRUE(client.available());
  for (bool mustExit : {false, true}) {
    SetMustExit(mustExit);
    EXPECT_EQ(client.MustExitAfterStartUp(L"C:\\users\\u\\AppData\\Local\\QuelmTask"), mustExit);
    EXPECT_EQ(TakeLog(), "SetDataFolder C:\\users\\u\\AppData\\Local\\QuelmTask\nMustExit\n");
  }

  Identity identity;
  identity.version = L"1.2.3.4";
  identity.unionId = 2345;
  HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
  client.StartChecking(identity, "0123456789abcdef0123456789abcdef", window);
  EXPECT_EQ(TakeLog(),
            "SetCheckUrl https://update.quelm.example.com/?ct=api&ac=updatecheck&version=1.2.3.4"
            "&appid=105&unionid=2345\n"
            "SetAppId 105\n"
            "SetUnionId 2345\n"
            "SetVersion 1.2.3.4\n"
            "SetOption 64\n"
            "SetDeviceId 0123456789abcdef0123456789abcdef\n"
            "SetOwnerWindow 4660\n"
            "SetAppKey QuelmTask\n"
            "Start 4660\n");
  client.CheckNow(window);
  EXPECT_EQ(TakeLog(), "CheckNow 4660\n");
}

TEST(UpdateClient, ALibraryHeldAfterItsCheckStillLoadsButCannotBeSwapped) {
  TempDir folder;
  const std::wstring copy = folder.Child(L"QuelmUpdate.dll");
  ASSERT_TRUE(CopyFileW(FakeLibraryPath().c_str(), copy.c_str(), TRUE));
  ScopedHandle held = HoldAgainstReplacement(copy);
  ASSERT_TRUE(held);
  EXPECT_FALSE(
      ScopedHandle(CreateFileW(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr)));
  EXPECT_FALSE(DeleteFileW(copy.c_str()));
  EXPECT_FALSE(MoveFileW(copy.c_str(), folder.Child(L"away.dll").c_str()));
  EXPECT_TRUE(LoadLibraryAt(copy));
}
