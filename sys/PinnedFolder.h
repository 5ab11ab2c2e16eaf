#pragma once

#include <string>

#include "sys/Handles.h"

// One folder whose files an elevated program reads, creates, replaces and deletes without
// being redirected by links that a less privileged program planted: every file is opened
// without following reparse points (FILE_FLAG_OPEN_REPARSE_POINT) and used only when the
// handle's final path is the folder's own final path followed by the file's name; nothing is
// ever opened for writing as it stands, a new file is created fresh (CREATE_NEW) and renamed
// into place on its handle, the target named relative to the held folder.
//
// The folder is opened once, in the constructor, and held without delete sharing so that it
// cannot be renamed or swapped while the object lives: make one per operation, not one for the
// program's life. A folder that is itself a junction or symbolic link is still read through but
// never written: writable() is false and every write fails.
//
// Any thread; one object per thread. Names are plain file names inside the folder. Failures
// give false; nothing is reported.
class PinnedFolder {
 public:
  explicit PinnedFolder(std::wstring folder);
  PinnedFolder(const PinnedFolder&) = delete;
  PinnedFolder& operator=(const PinnedFolder&) = delete;

  const std::wstring& path() const { return path_; }
  // The folder exists and is a junction, symbolic link or other reparse point.
  bool isLink() const { return link_; }
  // The folder exists, could be held, and is not a link.
  bool writable() const { return folder_.valid() && !link_; }

  // Anything at all is at `name`, a dangling link included.
  bool Exists(const std::wstring& name) const;
  // The whole content of the file `name`; false, `bytes` empty, when it is missing, cannot be
  // opened (held without read sharing), lies elsewhere, or has other names (a hard link).
  bool Read(const std::wstring& name, std::string& bytes) const;
  // As Read, but nothing at `name` also gives true, with `bytes` empty: false means a file is
  // there that must not be rewritten from nothing.
  bool ReadIfThere(const std::wstring& name, std::string& bytes) const {
    return Read(name, bytes) || !Exists(name);
  }
  // Makes `bytes` the content of `name` in one step: a reader sees the old file or the new one.
  // The bytes go to "name.tmp" (whatever was there is removed first), are flushed and the file
  // is renamed over `name`.
  bool Replace(const std::wstring& name, const std::string& bytes) const;
  // As Replace, but only while nothing is at `name`; an existing file is never overwritten.
  bool Create(const std::wstring& name, const std::string& bytes) const;
  // Deletes the file `name`; true when nothing is there afterwards. A folder is not deleted.
  bool Delete(const std::wstring& name) const;

 private:
  std::wstring Child(const std::wstring& name) const { return path_ + L"\\" + name; }
  // The handle's final path is this folder's followed by `name`.
  bool Holds(HANDLE file, const std::wstring& name) const;
  bool WriteNew(const std::wstring& name, const std::string& bytes, bool replace) const;

  std::wstring path_;
  ScopedHandle folder_;
  std::wstring finalPath_;  // of folder_; empty when it could not be opened
  bool link_ = false;
};

// Deletes the file at `path` when, opened without following reparse points, its final path lies
// below the final path of `root`: the handle is marked for deletion, so what is deleted is what
// was checked. False for a folder, a file elsewhere, or a file that cannot be opened for
// deletion (in use without delete sharing, protected). Any thread.
bool DeleteFileWithin(const std::wstring& root, const std::wstring& path);

// The final path of an open handle, "\\?\" forms kept; empty on failure.
std::wstring FinalPathOf(HANDLE handle);
