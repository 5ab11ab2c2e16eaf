#include "sys/DebugLog.h"

#include <windows.h>

void DebugLog(const std::wstring& line) {
  OutputDebugStringW((L"QuelmTask: " + line + L"\n").c_str());
}
