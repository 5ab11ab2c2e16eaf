#include "sys/AdminOnlyWrite.h"

#include <aclapi.h>
#include <sddl.h>

#include "sys/Handles.h"

namespace {

// NT SERVICE\TrustedInstaller.
const wchar_t kTrustedInstaller[] =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool IsTrustedInstaller(PSID sid) {
  static const ScopedLocalMemory trusted = [] {
    PSID parsed = nullptr;
    ConvertStringSidToSidW(kTrustedInstaller, &parsed);
    return ScopedLocalMemory(parsed);
  }();
  return trusted && EqualSid(sid, trusted.get());
}

bool IsAdministrative(PSID sid) {
  return sid && IsValidSid(sid) &&
         (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
          IsWellKnownSid(sid, WinLocalSystemSid) || IsTrustedInstaller(sid));
}

ACCESS_MASK ChangingRights(FileObject kind) {
  ACCESS_MASK rights = FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC | WRITE_OWNER |
                       GENERIC_WRITE | GENERIC_ALL;
  // On a file the same bit is FILE_EXECUTE.
  if (kind == FileObject::kFolder)
    rights |= FILE_DELETE_CHILD;
  return rights;
}

}  // namespace

bool OnlyAdministratorsCanWrite(PSECURITY_DESCRIPTOR descriptor, FileObject kind) {
  if (!descriptor || !IsValidSecurityDescriptor(descriptor))
    return false;
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !IsAdministrative(owner))
    return false;
  BOOL present = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl)
    return false;
  ACL_SIZE_INFORMATION size = {};
  if (!GetAclInformation(dacl, &size, sizeof(size), AclSizeInformation))
    return false;
  const ACCESS_MASK changing = ChangingRights(kind);
  for (DWORD i = 0; i < size.AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace))
      return false;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    if (header->AceFlags & INHERIT_ONLY_ACE)
      continue;
    switch (header->AceType) {
      case ACCESS_ALLOWED_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
        // Both have the layout of ACCESS_ALLOWED_ACE up to the SID.
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & changing) && !IsAdministrative(&allowed->SidStart))
          return false;
        break;
      }
      case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        // Never on files; whom it names is not worth parsing.
        if (static_cast<ACCESS_ALLOWED_OBJECT_ACE*>(ace)->Mask & changing)
          return false;
        break;
      default:
        break;
    }
  }
  return true;
}

bool OnlyAdministratorsCanWriteAt(const std::wstring& path, FileObject kind) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  ScopedLocalMemory owned(descriptor);
  return OnlyAdministratorsCanWrite(descriptor, kind);
}

bool OnlyAdministratorsCanReplace(const std::wstring& filePath) {
  const size_t slash = filePath.find_last_of(L"\\/");
  if (slash == std::wstring::npos || slash == 0)
    return false;
  std::wstring folder = filePath.substr(0, slash);
  if (folder.size() == 2 && folder[1] == L':')
    folder += L'\\';  // "C:" alone would name the drive's current directory
  return OnlyAdministratorsCanWriteAt(filePath, FileObject::kFile) &&
         OnlyAdministratorsCanWriteAt(folder, FileObject::kFolder);
}

ScopedHandle HoldAgainstReplacement(const std::wstring& filePath) {
  return ScopedHandle(CreateFileW(filePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}
