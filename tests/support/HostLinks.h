#pragma once

#include <string>

// Linux symbolic links made from inside Wine, which shows them as reparse points; Wine cannot
// make junctions. Outside Wine every call fails.

// The Linux path Wine maps `path` to; empty outside Wine.
std::wstring UnixPath(const std::wstring& path);

// Starts a Linux program of the host. Wine runs it without a process handle to wait on, so
// callers wait for its effect.
bool StartHostProgram(const std::wstring& program, const std::wstring& arguments);

// A Linux symbolic link at `linkUnixPath` to `target`, which Windows sees at `linkPath`; waits
// until it is there.
bool MakeHostSymlink(const std::wstring& target,
                     const std::wstring& linkUnixPath,
                     const std::wstring& linkPath);
// The same at `linkPath`, in a folder Wine maps.
bool MakeHostSymlinkAt(const std::wstring& target, const std::wstring& linkPath);

// Removes the link and waits until it is gone.
bool RemoveHostLink(const std::wstring& linkUnixPath, const std::wstring& linkPath);
bool RemoveHostLinkAt(const std::wstring& linkPath);
