#include <windows.h>
#include <winsock2.h>

#include <curl/curl.h>

#include "sys/HandOff.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  curl_global_init(CURL_GLOBAL_ALL);
  CreateHandOffWindow();
  DestroyHandOffWindow();
  curl_global_cleanup();
  return 0;
}
