#include "sys/OsVersion.h"

#include "sys/Exports.h"
#include "sys/Handles.h"
#include "sys/StringFormat.h"
#include "sys/UserToken.h"
#include "sys/Wow64.h"

NtVersion GetNtVersion() {
  NtVersion version;
  ScopedLibrary ntdll(LoadLibraryW(SystemPath(L"ntdll.dll").c_str()));
  if (!ntdll)
    return version;
  using GetNumbers = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  auto getNumbers = FindExport<GetNumbers>(ntdll.get(), "RtlGetNtVersionNumbers");
  if (!getNumbers)
    return version;
  getNumbers(&version.major, &version.minor, &version.build);
  version.build &= 0xFFFF;
  return version;
}

std::wstring OsVersionText(const NtVersion& version, bool x64) {
  std::wstring name;
  switch (version.major) {
    case 5:
      name = L"XP";
      break;
    case 6:
      name = L"7";
      break;
    case 10:
      name = version.build < 22000 ? L"10" : L"11";
      break;
    case 12:
      name = L"12";
      break;
    default:
      name = WFormat(L"%d", static_cast<int>(version.major));
      break;
  }
  return L"Windows " + name + (x64 ? L" x64" : L" x86");
}

std::wstring GetOsVersionText() {
  return OsVersionText(GetNtVersion(), IsOn64BitWindows());
}

bool IsOn64BitWindows() {
  // WOW64 answers only for a 32-bit build; a 64-bit program runs on 64-bit Windows by itself.
  return sizeof(void*) == 8 || IsWow64();
}
