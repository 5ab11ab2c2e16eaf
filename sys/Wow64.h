#pragma once

// True when this process is a 32-bit program on 64-bit Windows. Asked once, then cached.
bool IsWow64();

// Turns the WOW64 file-system redirection off for the calling thread until the matching
// RevertFsRedirection. Brackets a single file-system query; not nested; UI thread only.
void DisableFsRedirection();
void RevertFsRedirection();
