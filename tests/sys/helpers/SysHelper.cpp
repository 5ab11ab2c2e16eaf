// A small program that the system-service tests start, list, end and read the version of.
//   sys_helper wait EVENT   waits for the named event; exit code 7 once it is set, 8 after a
//                           minute without it, 9 when there is no such event
//   sys_helper touch FILE   writes its working folder into FILE; exit code 0
#include <windows.h>

#include <cwchar>

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
  return 1;
}
