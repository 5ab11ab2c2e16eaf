#include "tests/support/StartProcess.h"

ScopedHandle StartProcess(const std::wstring& program,
                          const std::wstring& arguments,
                          HANDLE output) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, output != nullptr,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
    return ScopedHandle();
  CloseHandle(process.hThread);
  return ScopedHandle(process.hProcess);
}
