// The program's identity and heartbeat code in a process of its own.
//   AppProbe identity          prints version, union id, install date and device id, one
//                              "name=value" line each, as the program would send them
//   AppProbe heartbeat PORT    starts the heartbeat towards 127.0.0.1:PORT with the program's
//                              own one-minute interval, sends the exit report and ends at once
#include <windows.h>
#include <winsock2.h>

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
  return 2;
}
