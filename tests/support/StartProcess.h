#pragma once

#include <windows.h>

#include <string>

#include "sys/Handles.h"

// Starts `program` with `arguments` and no window; the handle is invalid when it did not start.
// With `output`, the child writes its standard output there (the handle must be inheritable).
ScopedHandle StartProcess(const std::wstring& program,
                          const std::wstring& arguments,
                          HANDLE output = nullptr);
