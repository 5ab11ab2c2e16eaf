#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "sys/GdiplusApi.h"

// The shell's large icon of the file at `path` as a 32-bit ARGB bitmap, alpha preserved; none
// when the shell has no icon for it. A path that does not exist is asked for with WOW64
// redirection off, since a 32-bit build cannot see some system programs otherwise. Needs GDI+
// started and COM initialised on the calling thread.
std::unique_ptr<Gdiplus::Bitmap> LoadProgramIcon(const std::wstring& path);

// `icon` (still owned by the caller) as a 32-bit ARGB bitmap. An icon whose colour bitmap
// carries alpha keeps it pixel for pixel; any other icon is drawn through its mask.
std::unique_ptr<Gdiplus::Bitmap> IconToBitmap(HICON icon);
