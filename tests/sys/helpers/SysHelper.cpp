// A small program that the system-service tests start, list, end and read the version of.
//   sys_helper wait EVENT   waits for the named event; exit code 7 once it is set, 8 after a
//                           minute without it, 9 when there is no such event
//   sys_helper touch FILE   writes its working folder into FILE; exit code 0
//   sys_helper parent FILE  writes the id of the process that started it into FILE, in
//                           decimal; exit code 0
//   sys_helper post CLASS   posts the job message with a made-up pointer to the window of
//                           CLASS; exit code 0, 3 when there is no such window
#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"wait") == 0) {
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
    if (!event)
      return 9;
    DWORD result = WaitForSingleObject(event, 60000);
    CloseHandle(event);
    return result == WAIT_OBJECT_0 ? 7 : 8;
  }
  if (argc == 3 && std::wcscmp(argv[1], L"touch") == 0) {
    wchar_t directory[MAX_PATH] = {};
    DWORD length = GetCurrentDirectoryW(MAX_PATH, directory);
    HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return 2;
    DWORD written = 0;
    WriteFile(file, directory, length * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return 0;
  }
  if (argc == 3 && std::wcscmp(argv[1], L"parent") == 0) {
    DWORD parent = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
      if (entry.th32ProcessID == GetCurrentProcessId())
        parent = entry.th32ParentProcessID;
    }
    CloseHandle(snapshot);
    const std::string text = std::to_string(parent);
    HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return 2;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
  }
  if (argc == 3 && std::wcscmp(argv[1], L"post") == 0) {
    HWND target = FindWindowW(argv[2], nullptr);
    if (!target)
      return 3;
    return PostMessageW(target, 0x8065, 0, static_cast<LPARAM>(0x12345678)) ? 0 : 4;
  }
  return 1;
}
