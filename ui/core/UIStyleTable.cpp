#include "ui/core/UIStyleTable.h"

#include <json/json.h>

#include <exception>
#include <memory>

#include "sys/StringFormat.h"

namespace {

using StyleMap = std::map<std::wstring, std::shared_ptr<const UIStyle>>;

StyleMap& Table() {
  static StyleMap table;
  return table;
}

std::wstring ValueText(const Json::Value& v) {
  if (v.isString())
    return Utf8ToWide(v.asString());
  if (v.isBool())
    return v.asBool() ? L"true" : L"false";
  return std::wstring();
}

}  // namespace

void LoadStyleTable(const std::string& utf8Json) {
  ClearStyleTable();
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  const char* begin = utf8Json.data();
  try {
    if (!reader->parse(begin, begin + utf8Json.size(), &root, &errors) || !root.isObject())
      return;
  } catch (const std::exception&) {
    return;  // nesting deeper than the reader's limit
  }
  StyleMap table;
  for (auto it = root.begin(); it != root.end(); ++it) {
    // Two names may convert to one (invalid UTF-8): their members gather under it.
    std::shared_ptr<const UIStyle>& slot = table[Utf8ToWide(it.name())];
    auto style = slot ? std::make_shared<UIStyle>(*slot) : std::make_shared<UIStyle>();
    if (it->isObject()) {
      for (auto a = it->begin(); a != it->end(); ++a)
        (*style)[Utf8ToWide(a.name())] = ValueText(*a);
    }
    slot = std::move(style);
  }
  Table().swap(table);
}

void ClearStyleTable() {
  Table().clear();
}

std::shared_ptr<const UIStyle> ShareStyle(const std::wstring& name) {
  auto& table = Table();
  auto it = table.find(name);
  return it == table.end() ? nullptr : it->second;
}

const UIStyle* FindStyle(const std::wstring& name) {
  auto& table = Table();
  auto it = table.find(name);
  return it == table.end() ? nullptr : it->second.get();
}
