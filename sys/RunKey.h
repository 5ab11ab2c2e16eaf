#pragma once

#include <string>

// Values of the current user's "Run" key, which Windows starts at log-on.

// The text of value `name`, read into a 260-character buffer; empty when the key or the value
// is missing or the text does not fit.
std::wstring ReadRunValue(const std::wstring& name);
// Creates the key when needed and sets `name` to `data` (REG_SZ, terminator included).
bool WriteRunValue(const std::wstring& name, const std::wstring& data);
bool DeleteRunValue(const std::wstring& name);
