#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/Identity.h"
#include "sys/Handles.h"

class IQuelmUpdate;

// The update service with version (ANSI code page), application id and union id; 8-bit text.
std::string BuildUpdateCheckUrl(const Identity& identity);

// Where the update library may come from. The program runs elevated: a library that anyone
// but administrators could replace, or put beside, would run with its rights.
enum class UpdateLibrarySource { kAdministratorsOnly, kAnyFolderForTesting };

// The program's side of the maker's update library. The library is optional: when
// "QuelmUpdate.dll" is missing from the program's folder, or it or its folder can be changed
// by others than Administrators, SYSTEM and TrustedInstaller, or it does not export
// GetIQuelmUpdate, or that returns nothing, MustExit() says no and every other call does
// nothing. UI thread only. The library stays loaded for the life of this object, and the
// process-wide client for the life of the process.
class UpdateClient {
 public:
  // Loads the library at `libraryPath`, a full path, when `source` allows where it lies.
  explicit UpdateClient(const std::wstring& libraryPath,
                        UpdateLibrarySource source = UpdateLibrarySource::kAdministratorsOnly);
  UpdateClient(const UpdateClient&) = delete;
  UpdateClient& operator=(const UpdateClient&) = delete;

  // The client of "QuelmUpdate.dll" next to the executable, loaded at the first call.
  static UpdateClient& Get();

  bool available() const { return update_ != nullptr; }

  // Start-up: hands over the data folder, then asks whether the program must stop now.
  bool MustExitAfterStartUp(const std::wstring& dataFolder);
  // The main window's initialisation: check address, ids, version, option 64, device id,
  // owner window, application key "QuelmTask", then start.
  void StartChecking(const Identity& identity, const std::string& deviceId, HWND mainWindow);
  // The menu's "检查更新".
  void CheckNow(HWND mainWindow);

 private:
  ScopedLibrary library_;
  // Owned by the library, never released.
  IQuelmUpdate* update_ = nullptr;
};
