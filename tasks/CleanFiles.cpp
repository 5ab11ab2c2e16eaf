#include "tasks/CleanFiles.h"

#include "sys/Folders.h"
#include "sys/StringFormat.h"

void CollectFiles(const std::wstring& folder, std::vector<std::wstring>& list) {
  for (const FolderEntry& entry : ListFolder(folder)) {
    if (entry.name.empty() || entry.name[0] == L'.' || entry.reparsePoint)
      continue;
    const std::wstring path = folder + L"\\" + entry.name;
    if (entry.folder)
      CollectFiles(path, list);
    else
      list.push_back(path);
  }
}

std::wstring CleanableTempFolder() {
  const std::wstring folder = TempFolder();
  if (folder.empty() || !IsFolder(folder) || IsRootPath(folder))
    return std::wstring();
  for (KnownFolder guarded : {KnownFolder::Windows, KnownFolder::Profile}) {
    const std::wstring path = KnownFolderPath(guarded);
    if (!path.empty() && PathIsWithin(path, folder))
      return std::wstring();
  }
  return folder;
}

std::wstring FormatSize(uint64_t bytes) {
  const double kPerUnit = 1.0 / 1024;
  const double b = static_cast<double>(bytes);
  if (b >= 1073741824.0)
    return WFormat(L"%.2lfG", b * kPerUnit * kPerUnit * kPerUnit);
  if (b > 1048576.0)
    return WFormat(L"%.2lfM", b * kPerUnit * kPerUnit);
  return WFormat(L"%.2lfKB", b * kPerUnit);
}
