#include "app/UpdateCheck.h"

#include <cstdio>

#include "app/MakerAddresses.h"
#include "app/QuelmUpdate.h"
#include "sys/AdminOnlyWrite.h"
#include "sys/Exports.h"
#include "sys/Files.h"
#include "sys/StringFormat.h"

std::string BuildUpdateCheckUrl(const Identity& identity) {
  std::string version = WideToAnsi(identity.version);
  char tail[160] = {};
  std::snprintf(tail, sizeof(tail), "&version=%s&appid=%d&unionid=%d", version.c_str(),
                kApplicationId, static_cast<int>(identity.unionId));
  return kUpdateService + std::string(tail);
}

namespace {

ScopedLibrary LoadUpdateLibrary(const std::wstring& path, UpdateLibrarySource source) {
  if (source == UpdateLibrarySource::kAnyFolderForTesting)
    return LoadLibraryAt(path);
  // Held from the check until the load has mapped it, so that what is loaded was checked.
  ScopedHandle held = HoldAgainstReplacement(path);
  if (!held || !OnlyAdministratorsCanReplace(path))
    return ScopedLibrary();
  return LoadLibraryAt(path);
}

}  // namespace

UpdateClient::UpdateClient(const std::wstring& libraryPath, UpdateLibrarySource source)
    : library_(LoadUpdateLibrary(libraryPath, source)) {
  auto get = FindExport<GetIQuelmUpdateFn>(library_.get(), kGetIQuelmUpdateExport);
  if (get)
    update_ = get();
}

UpdateClient& UpdateClient::Get() {
  // Never destroyed: the update object may run threads of its own until the process ends.
  static UpdateClient* client =
      new UpdateClient(GetModuleDirectory() + L"\\" + kQuelmUpdateLibrary);
  return *client;
}

bool UpdateClient::MustExitAfterStartUp(const std::wstring& dataFolder) {
  if (!update_)
    return false;
  update_->SetDataFolder(dataFolder.c_str());
  return update_->MustExit();
}

void UpdateClient::StartChecking(const Identity& identity,
                                 const std::string& deviceId,
                                 HWND mainWindow) {
  if (!update_)
    return;
  update_->SetCheckUrl(BuildUpdateCheckUrl(identity).c_str());
  update_->SetAppId(kApplicationId);
  update_->SetUnionId(identity.unionId);
  update_->SetVersion(WideToAnsi(identity.version).c_str());
  update_->SetOption(64);
  update_->SetDeviceId(deviceId.c_str());
  update_->SetOwnerWindow(mainWindow);
  update_->SetAppKey(L"QuelmTask");
  update_->Start(mainWindow);
}

void UpdateClient::CheckNow(HWND mainWindow) {
  if (update_)
    update_->CheckNow(mainWindow);
}
