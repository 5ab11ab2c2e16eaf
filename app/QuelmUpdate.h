#pragma once

#include <windows.h>

// What the program expects of the maker's closed update library "QuelmUpdate.dll": its export
// GetIQuelmUpdate returns the process-wide update object, which the library owns and the
// program never releases. The library checks, downloads, asks the user and installs on its
// own; every call below is made on the UI thread.
//
// The operations are listed in their slot order and that order is the binary contract. The
// interface has no virtual destructor on purpose: compilers disagree on the slots a destructor
// takes, and the program never deletes the object.
class IQuelmUpdate {
 public:
  // The per-user data folder; start-up, before any window.
  virtual void __stdcall SetDataFolder(const wchar_t* folder) = 0;
  // Asked right after SetDataFolder; true ends the program at once with exit code 0.
  virtual bool __stdcall MustExit() = 0;
  // The rows below are called by the main window's initialisation in this order.
  virtual void __stdcall SetCheckUrl(const char* url) = 0;
  virtual void __stdcall SetAppId(int appId) = 0;
  virtual void __stdcall SetUnionId(unsigned unionId) = 0;
  // The version text in the ANSI code page.
  virtual void __stdcall SetVersion(const char* version) = 0;
  // 64 is the only option the program sets; its meaning is the library's.
  virtual void __stdcall SetOption(int option) = 0;
  virtual void __stdcall SetDeviceId(const char* deviceId) = 0;
  virtual void __stdcall SetOwnerWindow(HWND owner) = 0;
  virtual void __stdcall SetAppKey(const wchar_t* key) = 0;
  // Last of the initialisation calls; the program ignores the result.
  virtual bool __stdcall Start(HWND owner) = 0;
  // The menu entry "检查更新".
  virtual void __stdcall CheckNow(HWND owner) = 0;

 protected:
  IQuelmUpdate() = default;
  IQuelmUpdate(const IQuelmUpdate&) = default;
  IQuelmUpdate& operator=(const IQuelmUpdate&) = default;
  ~IQuelmUpdate() = default;
};

// The library's one export, looked up by this name.
using GetIQuelmUpdateFn = IQuelmUpdate* (*)();
inline constexpr char kGetIQuelmUpdateExport[] = "GetIQuelmUpdate";
inline constexpr wchar_t kQuelmUpdateLibrary[] = L"QuelmUpdate.dll";
