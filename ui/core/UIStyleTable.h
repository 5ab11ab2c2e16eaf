#pragma once

#include <map>
#include <memory>
#include <string>

// One named style: attribute name -> value, applied in key order.
using UIStyle = std::map<std::wstring, std::wstring>;

// The process-wide style table read from the skin's "cssData.json". UI thread only. Text that is
// not a JSON object leaves the table empty.
void LoadStyleTable(const std::string& utf8Json);
void ClearStyleTable();
// Null when no style has that name. The pointer lives until the table is loaded or cleared.
const UIStyle* FindStyle(const std::wstring& name);
// The same style held: it outlives a reload of the table.
std::shared_ptr<const UIStyle> ShareStyle(const std::wstring& name);
