#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Lets the user choose one or more existing files in the standard open-file dialog. Full
// paths in the dialog's order; empty when the user cancels.
std::vector<std::wstring> PickFiles(HWND owner);

// Lets the user choose a folder anywhere in the shell's namespace. Its file-system path, or ""
// when the user cancels or picks something that is not a folder on disk. Needs COM.
std::wstring PickFolder(HWND owner);

// The open-file dialog's multi-selection result in `buffer` (`size` characters) as full
// paths: a single full path, or a folder followed by file names, each terminated, the list
// ending with an empty text.
std::vector<std::wstring> OpenFileResultToPaths(const wchar_t* buffer, size_t size);

// The open-file dialog's result buffer, in characters.
constexpr size_t kPickFilesBufferSize = 2600;
