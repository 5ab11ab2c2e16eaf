// A portable copy of the program with libraries planted beside it under the names of those it
// uses (what anyone who can write the program's folder could do): the program must come up
// without loading one of them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "sys/Files.h"
#include "sys/Handles.h"
#include "sys/ProcessSetup.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/ScopedLocalAppData.h"
#include "tests/support/TempDir.h"

namespace {

// System libraries the program or its libraries load that are not KnownDLLs, and the update
// library. Left out: KnownDLLs (shcore, say), which Windows never takes from the program's
// folder, and version, comctl32 and uxtheme, which Wine's own system libraries import at start
// or load for themselves: Wine, told to prefer files, takes those from the program's folder
// whatever the program does.
const wchar_t* const kPlanted[] = {
    L"winmm",   L"powrprof", L"crypt32",  L"bcrypt",   L"msimg32", L"usp10",       L"gdiplus",
    L"secur32", L"iphlpapi", L"normaliz", L"riched20", L"dwmapi",  L"QuelmUpdate",
};

std::wstring ProgramPath() {
  std::wstring tests = GetModuleDirectory();
  return tests.substr(0, tests.find_last_of(L'\\')) + L"\\QuelmTask.exe";
}

// The copy's own name, so that what is set for it here touches no other run of the program.
const wchar_t kCopyName[] = L"QuelmTask-planted.exe";

// Wine prefers its own builtin system libraries to a file in the program's folder; told to
// prefer files ("native,builtin", for this program only), it looks for them as Windows does.
// Windows ignores the key.
class PreferPlantedLibraries {
 public:
  PreferPlantedLibraries() {
    ScopedRegKey overrides;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (key_ + L"\\DllOverrides").c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, overrides.receive(), nullptr) != ERROR_SUCCESS)
      return;
    const wchar_t order[] = L"native,builtin";
    for (const wchar_t* name : kPlanted)
      RegSetValueExW(overrides.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                     sizeof(order));
  }
  ~PreferPlantedLibraries() { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

 private:
  const std::wstring key_ = std::wstring(L"Software\\Wine\\AppDefaults\\") + kCopyName;
};

HWND WindowOf(DWORD processId) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, L"QuelmTask", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId)
      return window;
  }
  return nullptr;
}

std::vector<std::wstring> Marks(const TempDir& folder) {
  std::vector<std::wstring> marks;
  WIN32_FIND_DATAW found = {};
  ScopedFindHandle find(FindFirstFileW(folder.Child(L"*.loaded").c_str(), &found));
  if (find)
    do
      marks.push_back(found.cFileName);
    while (FindNextFileW(find.get(), &found));
  return marks;
}

TEST(Program, ComesUpWithoutLoadingLibrariesPlantedBesideIt) {
  ReleaseSingleInstanceForTesting();
  TempDir appData;
  ScopedLocalAppData redirect(appData.path());
  TempDir folder;
  const std::wstring copy = folder.Child(kCopyName);
  ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), copy.c_str(), TRUE));
  const std::wstring planted = GetModuleDirectory() + L"\\planted\\planted.dll";
  for (const wchar_t* name : kPlanted)
    ASSERT_TRUE(
        CopyFileW(planted.c_str(), folder.Child(std::wstring(name) + L".dll").c_str(), TRUE))
        << name;

  PreferPlantedLibraries prefer;
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION started = {};
  std::wstring commandLine = L"\"" + copy + L"\" /auto";
  ASSERT_TRUE(CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.path().c_str(), &startup, &started));
  ScopedHandle process(started.hProcess);
  ScopedHandle thread(started.hThread);

  const bool up = PumpUntil([&] { return WindowOf(started.dwProcessId) != nullptr; }, 30000);
  // Its window closes only to the tray.
  TerminateProcess(process.get(), 0);
  WaitForSingleObject(process.get(), 20000);
  EXPECT_TRUE(up) << "the copy's main window never appeared";
  EXPECT_EQ(Marks(folder), std::vector<std::wstring>()) << "planted libraries were loaded";
}

}  // namespace
