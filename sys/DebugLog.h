#pragma once

#include <string>

// Writes one line to the debugger's output (OutputDebugString), for what the program refuses
// or skips on purpose and says nowhere else. Any thread; nothing is kept.
void DebugLog(const std::wstring& line);
