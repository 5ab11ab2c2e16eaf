#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

// Lets the user choose one or more existing files in the standard open-file dialog. Full
// paths in the dialog's order; empty when the user cancels. A choice too long for the result
// buffer opens the dialog again with a buffer that holds it.
std::vector<std::wstring> PickFiles(HWND owner);

// The open-file dialog as PickFiles runs it: true with the result in `dialog`'s buffer;
// otherwise false with the dialog's extended error in `error` (0 for a cancel).
using OpenFileDialogFn = bool (*)(OPENFILENAMEW& dialog, DWORD& error);
// PickFiles through `open`; tests give it the dialog Wine cannot show (Wine's writes past a
// buffer that is too small instead of reporting it).
std::vector<std::wstring> PickFilesWith(HWND owner, OpenFileDialogFn open);

// Lets the user choose a folder anywhere in the shell's namespace. Its file-system path, or ""
// when the user cancels or picks something that is not a folder on disk. Needs COM.
std::wstring PickFolder(HWND owner);

// The open-file dialog's multi-selection result in `buffer` (`size` characters) as full
// paths: a single full path, or a folder followed by file names, each terminated, the list
// ending with an empty text.
std::vector<std::wstring> OpenFileResultToPaths(const wchar_t* buffer, size_t size);

// The open-file dialog's first result buffer, in characters: hundreds of files fit, so the
// dialog rarely has to open again; and the largest one it is given.
constexpr size_t kPickFilesBufferSize = 32768;
constexpr size_t kPickFilesMaxBufferSize = 1 << 22;
