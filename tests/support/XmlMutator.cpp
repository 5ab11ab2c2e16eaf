#include "tests/support/XmlMutator.h"

#include <utility>

namespace {

const std::wstring kFragments[] = {
    L"<",      L"&",         L"]]>",
    L">",      L"</",        L"/>",
    L"<!--",   L"-->",       L"<![CDATA[",
    L"<?",     L"?>",        L"<!DOCTYPE",
    L"[",      L"]",         L"\"",
    L"'",      L"=",         L"<a>",
    L"</a>",   L"<b x='1'>", L"&#x1F600;",
    L"&#",     L"&amp",      L"\xD800",
    L"\xDC00", L"\xFFFF",    std::wstring(1, L'\0'),
    L"\r\n",   L" ",         L"<!",
    L"<!-",
};

}  // namespace

std::wstring XmlMutator::Mutate(std::wstring text) {
  int edits = 1 + Below(6);
  for (int i = 0; i < edits; ++i) {
    size_t at = Below(static_cast<uint32_t>(text.size() + 1));
    switch (Below(8)) {
      case 0:  // flip a character
        if (!text.empty())
          text[at % text.size()] = static_cast<wchar_t>(Below(0x10000));
        break;
      case 1:  // truncate
        text.resize(at);
        break;
      case 2:
      case 3:  // insert markup
        text.insert(at, kFragments[Below(sizeof(kFragments) / sizeof(kFragments[0]))]);
        break;
      case 4:  // delete a range
        text.erase(at, Below(16));
        break;
      case 5:  // duplicate a range
        text.insert(at, text.substr(at, Below(64)));
        break;
      case 6:  // an ASCII character of markup
        text.insert(at, 1, L"<>&;/=\"'!?[]-#x "[Below(16)]);
        break;
      default:  // swap two characters
        if (text.size() > 1)
          std::swap(text[at % text.size()], text[Below(static_cast<uint32_t>(text.size()))]);
    }
  }
  return text;
}

std::string XmlMutator::MutateBytes(std::string bytes) {
  int edits = 1 + Below(4);
  for (int i = 0; i < edits; ++i) {
    size_t at = Below(static_cast<uint32_t>(bytes.size() + 1));
    switch (Below(4)) {
      case 0:
        if (!bytes.empty())
          bytes[at % bytes.size()] = static_cast<char>(Below(256));
        break;
      case 1:
        bytes.resize(at);
        break;
      case 2:  // a lead byte without its continuation, or a stray continuation
        bytes.insert(at, 1, static_cast<char>(Below(2) ? 0xE4 : 0x80 + Below(64)));
        break;
      default:  // byte-order marks in odd places
        bytes.insert(at, Below(2) ? "\xEF\xBB\xBF" : "\xFF\xFE");
    }
  }
  return bytes;
}

std::wstring XmlMutator::Name() {
  static const wchar_t* const names[] = {L"a", L"item", L"b", L"X_1", L"\x540D"};
  return names[Below(5)];
}

std::wstring XmlMutator::Text() {
  std::wstring text;
  int length = Below(8);
  for (int i = 0; i < length; ++i)
    text += L"a<&]]>-?'\" \r\n\xD800"[Below(14)];
  return text;
}
