#include "tests/xml/XmlTestWalk.h"

#include "sys/StringFormat.h"
#include "xml/XmlDocument.h"

std::wstring WalkDocument(XmlDocument& doc, size_t maxSteps, bool* finished) {
  std::wstring out;
  int depth = 0;
  size_t steps = 0;
  *finished = false;
  while (steps++ < maxSteps) {
    int type = doc.FindNextNode(XmlDocument::kNodeAny);
    if (type == 0) {
      if (!doc.LeaveElement()) {
        *finished = depth == 0;
        break;
      }
      --depth;
      continue;
    }
    out += WFormat(L"%d %d %ls = %ls [", depth, type, doc.GetNodeName().c_str(),
                   doc.GetContent().c_str());
    std::wstring name;
    for (int i = 0; !(name = doc.GetAttributeName(i)).empty(); ++i)
      out += name + L"=" + doc.GetAttribute(name) + L";";
    out += L"]\n";
    if (type == XmlDocument::kNodeElement && doc.EnterElement())
      ++depth;
  }
  return out;
}

std::wstring WalkText(const std::wstring& text, unsigned flags) {
  XmlDocument doc;
  doc.SetDocFlags(flags);
  doc.SetDocumentText(text);
  bool finished = false;
  return WalkDocument(doc, 100 * text.size() + 100, &finished);
}
