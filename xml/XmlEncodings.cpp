#include "xml/XmlEncodings.h"

#include <cstdint>
#include <cwchar>

#include "xml/XmlTableData.h"
#include "xml/XmlTokenizer.h"

namespace {

constexpr size_t kMaxEncodingName = 99;

// Whether [text + start, text + end) equals the lower-case ASCII `word`, ignoring case.
bool EqualsIgnoringCase(const wchar_t* text, uint32_t start, uint32_t end, const wchar_t* word) {
  size_t length = wcslen(word);
  if (end - start != length)
    return false;
  for (size_t i = 0; i < length; ++i) {
    if (AsciiLower(text[start + i]) != word[i])
      return false;
  }
  return true;
}

// The value range of attribute `name` of the tag or instruction `token`; false when absent.
bool FindAttribute(const wchar_t* text,
                   const XmlToken& token,
                   const wchar_t* name,
                   bool ignoreCase,
                   XmlAttributeSpan* out) {
  uint32_t pos = token.nameEnd;
  uint32_t end = XmlAttributesEnd(token);
  XmlAttributeSpan a;
  while (NextXmlAttribute(text, &pos, end, &a)) {
    bool match = ignoreCase ? EqualsIgnoringCase(text, a.nameStart, a.nameEnd, name)
                            : (a.nameEnd - a.nameStart == wcslen(name) &&
                               wmemcmp(text + a.nameStart, name, wcslen(name)) == 0);
    if (match) {
      *out = a;
      return true;
    }
  }
  return false;
}

// The token after "charset" and "=" in a Content-Type value, or empty.
std::wstring CharsetOf(const wchar_t* text, uint32_t start, uint32_t end) {
  for (uint32_t i = start; i + 7 <= end; ++i) {
    if (!EqualsIgnoringCase(text, i, i + 7, L"charset"))
      continue;
    uint32_t j = i + 7;
    while (j < end && IsXmlSpace(text[j]))
      ++j;
    if (j >= end || text[j] != L'=')
      continue;
    ++j;
    while (j < end && IsXmlSpace(text[j]))
      ++j;
    uint32_t k = j;
    while (k < end && !IsXmlSpace(text[k]) && text[k] != L';' && text[k] != L'"' &&
           text[k] != L'\'')
      ++k;
    return std::wstring(text + j, k - j);
  }
  return std::wstring();
}

std::wstring HtmlCharset(const wchar_t* text, uint32_t length) {
  bool inHtml = false;
  for (uint32_t pos = 0; pos < length;) {
    XmlToken t = ScanXmlToken(text, length, pos);
    pos = t.end;
    switch (t.kind) {
      case XmlTokenKind::kMalformed:
        return std::wstring();
      case XmlTokenKind::kStartTag:
      case XmlTokenKind::kEmptyElementTag: {
        if (!inHtml) {
          if (!EqualsIgnoringCase(text, t.nameStart, t.nameEnd, L"html"))
            return std::wstring();
          inHtml = true;
          break;
        }
        if (!EqualsIgnoringCase(text, t.nameStart, t.nameEnd, L"meta"))
          break;
        XmlAttributeSpan equiv;
        XmlAttributeSpan content;
        if (FindAttribute(text, t, L"http-equiv", true, &equiv) &&
            EqualsIgnoringCase(text, equiv.valueStart, equiv.valueEnd, L"content-type") &&
            FindAttribute(text, t, L"content", true, &content)) {
          std::wstring charset = CharsetOf(text, content.valueStart, content.valueEnd);
          if (!charset.empty())
            return charset;
        }
        break;
      }
      case XmlTokenKind::kEndTag:
        if (inHtml && EqualsIgnoringCase(text, t.nameStart, t.nameEnd, L"head"))
          return std::wstring();
        break;
      default:
        break;
    }
  }
  return std::wstring();
}

}  // namespace

int CodePageOfEncoding(const std::wstring& name) {
  if (name.empty())
    return 0;
  if (name.compare(0, 6, L"UTF-32") == 0)
    return kCodePageUtf32;
  if (name.size() > kMaxEncodingName)
    return -1;
  unsigned sum = 0;
  for (wchar_t c : name)
    sum += AsciiLower(c);
  for (const wchar_t* e = kEncodingBuckets[sum % kEncodingBucketCount]; *e;) {
    size_t entryLength = static_cast<size_t>((e[0] - L'0') * 10 + (e[1] - L'0'));
    if (entryLength == name.size()) {
      const wchar_t* entryName = e + 7;
      size_t i = 0;
      while (i < entryLength && AsciiLower(name[i]) == entryName[i])
        ++i;
      if (i == entryLength) {
        int page = 0;
        for (int d = 2; d < 7; ++d)
          page = page * 10 + (e[d] - L'0');
        return page;
      }
    }
    e += 7 + entryLength;
  }
  return -1;
}

std::wstring FindDeclaredEncoding(const wchar_t* text, size_t length) {
  uint32_t n = length > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<uint32_t>(length);
  if (n == 0)
    return std::wstring();
  if (n >= 5 && text[0] == L'<' && text[1] == L'?' && EqualsIgnoringCase(text, 2, 5, L"xml") &&
      (n == 5 || IsXmlSpace(text[5]) || text[5] == L'?')) {
    XmlToken t = ScanXmlToken(text, n, 0);
    if (t.kind != XmlTokenKind::kProcessingInstruction) {
      // A declaration cut short (a partial read): look at what there is.
      t.kind = XmlTokenKind::kProcessingInstruction;
      t.nameEnd = 5;
      t.end = n + 2;
    }
    XmlAttributeSpan encoding;
    if (FindAttribute(text, t, L"encoding", false, &encoding))
      return std::wstring(text + encoding.valueStart, encoding.valueEnd - encoding.valueStart);
    return std::wstring();
  }
  return HtmlCharset(text, n);
}
