// A stand-in for the maker's update library: records every call it receives, one line each,
// so that tests see which slots the program calls, in which order, with which arguments.
// Exports GetIQuelmUpdate like the real library, plus two entry points for the tests.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/QuelmUpdate.h"

namespace {

std::string g_log;
bool g_mustExit = false;

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text)
    out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}

std::string Number(unsigned long long value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%llu", value);
  return text;
}

std::string Window(HWND window) {
  return Number(reinterpret_cast<uintptr_t>(window));
}

class FakeUpdate : public IQuelmUpdate {
 public:
  void __stdcall SetDataFolder(const wchar_t* folder) override {
    g_log += "SetDataFolder " + Narrow(folder) + "\n";
  }
  bool __stdcall MustExit() override {
    g_log += "MustExit\n";
    return g_mustExit;
  }
  void __stdcall SetCheckUrl(const char* url) override {
    g_log += "SetCheckUrl " + std::string(url) + "\n";
  }
  void __stdcall SetAppId(int appId) override { g_log += "SetAppId " + Number(appId) + "\n"; }
  void __stdcall SetUnionId(unsigned unionId) override {
    g_log += "SetUnionId " + Number(unionId) + "\n";
  }
  void __stdcall SetVersion(const char* version) override {
    g_log += "SetVersion " + std::string(version) + "\n";
  }
  void __stdcall SetOption(int option) override { g_log += "SetOption " + Number(option) + "\n"; }
  void __stdcall SetDeviceId(const char* deviceId) override {
    g_log += "SetDeviceId " + std::string(deviceId) + "\n";
  }
  void __stdcall SetOwnerWindow(HWND owner) override {
    g_log += "SetOwnerWindow " + Window(owner) + "\n";
  }
  void __stdcall SetAppKey(const wchar_t* key) override {
    g_log += "SetAppKey " + Narrow(key) + "\n";
  }
  bool __stdcall Start(HWND owner) override {
    g_log += "Start " + Window(owner) + "\n";
    return false;
  }
  void __stdcall CheckNow(HWND owner) override { g_log += "CheckNow " + Window(owner) + "\n"; }
};

}  // namespace

extern "C" __declspec(dllexport) IQuelmUpdate* GetIQuelmUpdate() {
  static FakeUpdate update;
  return &update;
}

// The calls so far; the log starts empty again afterwards.
extern "C" __declspec(dllexport) void TakeFakeUpdateLog(char* buffer, size_t size) {
  std::snprintf(buffer, size, "%s", g_log.c_str());
  g_log.clear();
}

extern "C" __declspec(dllexport) void SetFakeUpdateMustExit(bool mustExit) {
  g_mustExit = mustExit;
}
