#pragma once

#include <map>
#include <string>

// One named style: attribute name -> value, applied in key order.
using UIStyle = std::map<std::wstring, std::wstring>;

// The process-wide style table read from the skin's "cssData.json". UI thread only. Text that is
// not a JSON object leaves the table empty.
void LoadStyleTable(const std::string& utf8Json);
void ClearStyleTable();
// Null when no style has that name.
const UIStyle* FindStyle(const std::wstring& name);
