#pragma once

#include <windows.h>

#include <string>

// Clears the values the installer writes ("UnionId" of the user's and the machine's
// "SOFTWARE\QuelmTask", "InstallDate" of the uninstall key) for the lifetime of the object,
// and puts back what was there before. Tests set values through the setters.
class ScopedIdentityRegistry {
 public:
  ScopedIdentityRegistry();
  ~ScopedIdentityRegistry();
  ScopedIdentityRegistry(const ScopedIdentityRegistry&) = delete;
  ScopedIdentityRegistry& operator=(const ScopedIdentityRegistry&) = delete;

  void SetUnionId(HKEY root, DWORD value);
  void SetInstallDate(const std::wstring& text);
  // A value of the wrong type, which the program must treat as unreadable.
  void SetInstallDateDword(DWORD value);

 private:
  struct Saved {
    HKEY root;
    const wchar_t* key;
    const wchar_t* name;
    bool present = false;
    DWORD type = 0;
    std::string data;
  };
  Saved saved_[3];
};
