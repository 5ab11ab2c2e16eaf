#include "xml/XmlResultLog.h"

#include "sys/StringFormat.h"
#include "xml/XmlEntities.h"

void XmlResultLog::Add(const wchar_t* entry, std::initializer_list<Attribute> attributes) {
  if (!Accepts())
    return;
  text_.push_back(L'<');
  text_.append(entry);
  for (const Attribute& a : attributes) {
    text_.push_back(L' ');
    text_.append(a.name);
    text_.append(L"=\"");
    text_.append(EncodeXmlEntities(a.value.data(), a.value.size(), true));
    text_.push_back(L'"');
  }
  text_.append(L"/>");
}

std::wstring XmlResultLog::Number(long long value) {
  // Offsets and lengths never exceed the range of int; "%d" is the log's number format.
  return WFormat(L"%d", static_cast<int>(value));
}
