#pragma once

#include <string>

// A fresh GUID in the text form that identifies tasks: 36 characters, upper-case hexadecimal
// except the third group, which is lower-case. All zeros when no GUID can be made.
std::wstring NewGuidString();
