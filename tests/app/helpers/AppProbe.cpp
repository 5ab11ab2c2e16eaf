// The program's identity and heartbeat code in a process of its own.
//   AppProbe identity          prints version, union id, install date and device id, one
//                              "name=value" line each, as the program would send them
//   AppProbe heartbeat PORT    starts the heartbeat towards 127.0.0.1:PORT with the program's
//                              own one-minute interval, sends the exit report and ends at once
//   AppProbe window READY [MS] a hidden top-level window of the program's class "QuelmTask"
//                              whose loop ends, as the program's does, at the quit message;
//                              creates the file READY once the window exists; after the loop
//                              the process lingers MS milliseconds (as the program's exit
//                              report and threads may keep it), then exits with 0
//   AppProbe hold READY [FILE] holds FILE open without write or delete sharing (and its own
//                              image, as any running program), creates READY and waits to be
//                              ended; no window
// Before windows.h, which the network library's header needs.
#include <winsock2.h>

#include <windows.h>

#include <curl/curl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "app/Heartbeat.h"
#include "app/Identity.h"
#include "sys/StringFormat.h"

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wcscmp(argv[1], L"identity") == 0) {
    Identity identity = ReadIdentity();
    std::printf("version=%s\nunionid=%u\ninstalldate=%d\ndeviceid=%s\n",
                WideToUtf8(identity.version).c_str(), static_cast<unsigned>(identity.unionId),
                static_cast<int>(identity.installDate), DeviceId().c_str());
    return 0;
  }
  if (argc >= 3 && std::wcscmp(argv[1], L"heartbeat") == 0) {
    // As the program does: the network library's global start brings up the sockets.
    curl_global_init(CURL_GLOBAL_ALL);
    SetHeartbeatServerForTesting("127.0.0.1", static_cast<uint16_t>(_wtoi(argv[2])));
    StartHeartbeat();
    SendExitReport();
    return 0;
  }
  if (argc >= 2 && std::wcscmp(argv[1], L"window") == 0) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuelmTask";
    if (!RegisterClassW(&windowClass) ||
        !CreateWindowExW(0, L"QuelmTask", L"Quelm定时任务", WS_POPUP, 0, 0, 10, 10, nullptr,
                         nullptr, windowClass.hInstance, nullptr))
      return 3;
    if (argc >= 3)
      CloseHandle(CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
      DispatchMessageW(&message);
    DestroyWindow(FindWindowW(L"QuelmTask", nullptr));
    if (argc >= 4)
      Sleep(static_cast<DWORD>(_wtoi(argv[3])));
    return 0;
  }
  if (argc >= 3 && std::wcscmp(argv[1], L"hold") == 0) {
    HANDLE held = argc >= 4 ? CreateFileW(argv[3], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr)
                            : nullptr;
    if (held == INVALID_HANDLE_VALUE)
      return 3;
    CloseHandle(CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Sleep(INFINITE);
    return 0;
  }
  return 2;
}
