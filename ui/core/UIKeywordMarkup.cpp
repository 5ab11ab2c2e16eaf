#include "ui/core/UIKeywordMarkup.h"

#include "ui/core/UIValueParse.h"
#include "xml/XmlDocument.h"

namespace {

void AppendRun(std::wstring& out, const std::wstring& text, bool highlighted) {
  out += highlighted ? L"<p clr=\"#ffff0000\">" : L"<p>";
  out += text;
  out += L"</p>";
}

}  // namespace

std::wstring BuildKeywordMarkup(const std::wstring& message,
                                const std::wstring& font,
                                const std::wstring& colour) {
  std::wstring out = L"<text font=\"" + font + L"\" clr=\"" + colour + L"\">";
  std::wstring run;
  for (wchar_t c : message) {
    if (c == L'{' || c == L'}') {
      if (!run.empty())
        AppendRun(out, run, c == L'}');
      run.clear();
    } else {
      run += c;
    }
  }
  if (!run.empty())
    AppendRun(out, run, false);
  out += L"</text>";
  return out;
}

bool ParseKeywordMarkup(const std::wstring& markup, std::vector<KeywordRun>* runs) {
  runs->clear();
  XmlDocument doc;
  if (!doc.SetDocumentText(markup) || !doc.FindElement() || doc.GetNodeName() != L"text")
    return false;
  std::wstring rootFont = doc.GetAttribute(L"font");
  std::wstring rootColour = doc.GetAttribute(L"clr");
  if (!doc.EnterElement())
    return true;
  while (doc.FindElement(L"p")) {
    KeywordRun run;
    run.text = doc.GetContent();
    std::wstring font = doc.GetAttribute(L"font");
    std::wstring colour = doc.GetAttribute(L"clr");
    run.font = font.empty() ? rootFont : font;
    run.colour = ParseColor(colour.empty() ? rootColour : colour);
    runs->push_back(std::move(run));
  }
  return true;
}
