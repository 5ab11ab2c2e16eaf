#include "sys/Shortcuts.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "sys/Files.h"

using Microsoft::WRL::ComPtr;

bool IsShortcutFile(const std::wstring& path) {
  if (path.empty())
    return false;
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  const size_t dot = path.find_last_of(L'.');
  const size_t separator = path.find_last_of(L"\\/");
  if (dot == std::wstring::npos || (separator != std::wstring::npos && dot < separator))
    return false;
  const std::wstring extension = path.substr(dot);
  return CompareStringOrdinal(extension.c_str(), -1, L".lnk", -1, TRUE) == CSTR_EQUAL;
}

std::wstring ResolveShortcut(const std::wstring& lnkPath) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_PPV_ARGS(&link))))
    return lnkPath;
  ComPtr<IPersistFile> file;
  if (FAILED(link.As(&file)) || FAILED(file->Load(lnkPath.c_str(), STGM_READ)))
    return lnkPath;
  wchar_t target[MAX_PATH] = {};
  if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
    return lnkPath;
  return PathExists(target) ? std::wstring(target) : lnkPath;
}
