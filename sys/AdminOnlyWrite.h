#pragma once

#include <windows.h>

#include <string>

#include "sys/Handles.h"

// Whether only Administrators, SYSTEM and TrustedInstaller can change a file or folder, as an
// elevated program must know before it loads code from there. Any thread; anything that cannot
// be read or decided counts as writable by others (false).

enum class FileObject { kFile, kFolder };

// Decides over `descriptor` (owner and DACL): false when the owner is someone else (an owner
// may rewrite the DACL whatever it says), when there is no DACL (everyone has full access), or
// when an allow ACE that applies to the object itself gives anyone else a right that changes it
// (writing or appending data, adding files or folders and deleting children of a folder,
// deleting, changing the DACL or the owner, generic write or all). Deny ACEs are not counted.
bool OnlyAdministratorsCanWrite(PSECURITY_DESCRIPTOR descriptor, FileObject kind);

// The same over the owner and DACL the file system reports for `path`.
bool OnlyAdministratorsCanWriteAt(const std::wstring& path, FileObject kind);

// The file at the full path `filePath` and the folder that holds it: nobody else can change
// the file, put another in its place or add a library beside it.
bool OnlyAdministratorsCanReplace(const std::wstring& filePath);

// Opens the file at `filePath` for reading and shares nothing but reading, so that while the
// handle lives nobody can write, delete or rename the file (nor, on NTFS, rename the folder it
// lies in): a file checked with OnlyAdministratorsCanReplace stays the one that was checked
// until it is loaded. Invalid when the file cannot be opened so, or is open for writing.
ScopedHandle HoldAgainstReplacement(const std::wstring& filePath);
