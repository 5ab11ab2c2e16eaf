// A stand-in program for the action tests: appends its command line, as one UTF-8 line, to the
// file named by QUELM_RECORDER_LOG, or to "quelm_recorder.log" beside itself when started
// without that variable (as the desktop shell starts it), then exits; with QUELM_RECORDER_STAY
// set it stays running until it is ended, for a minute at most.
#include <windows.h>

#include <string>

int wmain(int, wchar_t**) {
  wchar_t buffer[MAX_PATH] = {};
  std::wstring logPath;
  if (GetEnvironmentVariableW(L"QUELM_RECORDER_LOG", buffer, MAX_PATH)) {
    logPath = buffer;
  } else if (DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH); length < MAX_PATH) {
    logPath.assign(buffer, length);
    logPath = logPath.substr(0, logPath.rfind(L'\\') + 1) + L"quelm_recorder.log";
  }
  if (!logPath.empty()) {
    std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr,
                                0, nullptr, nullptr);
    std::string utf8(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], n,
                        nullptr, nullptr);
    // Several recorders may start at once: append under a retry until the file is free.
    for (int attempt = 0; attempt < 200; ++attempt) {
      HANDLE file = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
        CloseHandle(file);
        break;
      }
      Sleep(10);
    }
  }
  wchar_t stay[8] = {};
  if (GetEnvironmentVariableW(L"QUELM_RECORDER_STAY", stay, 8))
    Sleep(60000);  // ended by the test long before; never outlives a failed test by much
  return 0;
}
