#include "sys/Pickers.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cwchar>

namespace {

// The terminated text at `offset`, bounded by the end of the buffer.
std::wstring TextAt(const wchar_t* buffer, size_t size, size_t offset) {
  if (offset >= size)
    return std::wstring();
  const wchar_t* start = buffer + offset;
  const wchar_t* end = std::wmemchr(start, L'\0', size - offset);
  return std::wstring(start, end ? end : buffer + size);
}

}  // namespace

std::vector<std::wstring> OpenFileResultToPaths(const wchar_t* buffer, size_t size) {
  std::vector<std::wstring> paths;
  std::wstring first = TextAt(buffer, size, 0);
  if (first.empty())
    return paths;
  size_t offset = first.size() + 1;
  std::wstring name = TextAt(buffer, size, offset);
  if (name.empty()) {
    paths.push_back(first);
    return paths;
  }
  // A drive root already ends with its backslash.
  const std::wstring folder = first.back() == L'\\' ? first : first + L'\\';
  while (!name.empty()) {
    paths.push_back(folder + name);
    offset += name.size() + 1;
    name = TextAt(buffer, size, offset);
  }
  return paths;
}

std::vector<std::wstring> PickFilesWith(HWND owner, OpenFileDialogFn open) {
  size_t size = kPickFilesBufferSize;
  for (;;) {
    std::vector<wchar_t> buffer(size, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"All\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    DWORD error = 0;
    if (open(dialog, error))
      return OpenFileResultToPaths(buffer.data(), buffer.size());
    if (error != FNERR_BUFFERTOOSMALL || size >= kPickFilesMaxBufferSize)
      return {};
    // The dialog has closed; its first character holds the size the choice needs, cut to 16
    // bits. A cut size is no guide: the user is not to be asked a third time.
    const size_t needed = static_cast<size_t>(buffer[0]) + 1;
    size = needed > size ? needed : kPickFilesMaxBufferSize;
  }
}

std::vector<std::wstring> PickFiles(HWND owner) {
  return PickFilesWith(owner, [](OPENFILENAMEW& dialog, DWORD& error) {
    const bool chosen = GetOpenFileNameW(&dialog) != FALSE;
    error = chosen ? 0 : CommDlgExtendedError();
    return chosen;
  });
}

std::wstring PickFolder(HWND owner) {
  BROWSEINFOW browse = {};
  browse.hwndOwner = owner;
  browse.lpszTitle = L"选择目录";
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen)
    return std::wstring();
  wchar_t path[MAX_PATH] = {};
  bool isFolder = SHGetPathFromIDListW(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  return isFolder ? std::wstring(path) : std::wstring();
}
