#include "xml/XmlTokenizer.h"

#include <cstddef>

#include "xml/XmlScan.h"

namespace {

enum class Prefix { kMatch, kPartial, kMismatch };

// Whether the text at `pos` begins with `literal`; kPartial when the text ends while it still
// matches. Letter case of the text is ignored when `ignoreCase` (the literal is upper case).
Prefix MatchPrefix(const wchar_t* text,
                   uint32_t length,
                   uint32_t pos,
                   const wchar_t* literal,
                   bool ignoreCase = false) {
  for (uint32_t i = 0; literal[i]; ++i) {
    if (pos + i >= length)
      return Prefix::kPartial;
    wchar_t c = text[pos + i];
    if (ignoreCase && c >= L'a' && c <= L'z')
      c = static_cast<wchar_t>(c - 32);
    if (c != literal[i])
      return Prefix::kMismatch;
  }
  return Prefix::kMatch;
}

// Offset of the first occurrence of the three-character `pattern` at or after `pos`, or
// `length` when there is none.
uint32_t Find3(const wchar_t* text, uint32_t length, uint32_t pos, const wchar_t* pattern) {
  while (pos + 3 <= length) {
    pos = FindXmlChar(text, pos, length - 2, pattern[0]);
    if (pos + 3 > length)
      return length;
    if (text[pos + 1] == pattern[1] && text[pos + 2] == pattern[2])
      return pos;
    ++pos;
  }
  return length;
}

uint32_t Find2(const wchar_t* text, uint32_t length, uint32_t pos, wchar_t a, wchar_t b) {
  while (pos + 2 <= length) {
    pos = FindXmlChar(text, pos, length - 1, a);
    if (pos + 2 > length)
      return length;
    if (text[pos + 1] == b)
      return pos;
    ++pos;
  }
  return length;
}

// Characters that end an attribute name: white space, "=", "/", ">", "<" and quotes.
bool EndsAttributeName(wchar_t c) {
  constexpr uint64_t kStops = (1ull << ' ') | (1ull << '\t') | (1ull << '\r') | (1ull << '\n') |
                              (1ull << '=') | (1ull << '/') | (1ull << '<') | (1ull << '>') |
                              (1ull << '"') | (1ull << '\'');
  return c < 64 && ((kStops >> c) & 1);
}

XmlToken Broken(uint32_t start, uint32_t end, XmlSyntaxError error, const wchar_t* type = nullptr) {
  XmlToken t;
  t.kind = XmlTokenKind::kMalformed;
  t.error = error;
  t.unterminatedType = type;
  t.start = start;
  t.end = end;
  return t;
}

XmlToken Unterminated(uint32_t start, uint32_t end, const wchar_t* type) {
  return Broken(start, end, XmlSyntaxError::kUnterminated, type);
}

XmlToken Made(XmlTokenKind kind,
              uint32_t start,
              uint32_t end,
              uint32_t nameStart = 0,
              uint32_t nameEnd = 0) {
  XmlToken t;
  t.kind = kind;
  t.start = start;
  t.end = end;
  t.nameStart = nameStart;
  t.nameEnd = nameEnd;
  return t;
}

// Made() into the caller's token, field by field: a token built on the stack and copied whole
// costs a stall in the hottest loop of the parse.
void Fill(XmlToken* t, XmlTokenKind kind, uint32_t start, uint32_t end, uint32_t nameEnd) {
  t->kind = kind;
  t->error = XmlSyntaxError::kNone;
  t->unterminatedType = nullptr;
  t->start = start;
  t->end = end;
  t->nameStart = start + 1;
  t->nameEnd = nameEnd;
}

// A start tag: quotes delimit values only after "=", so a stray apostrophe cannot swallow the
// rest of the document. A "<" before the closing ">" ends the tag as unterminated.
XmlToken ScanStartTag(const wchar_t* s, uint32_t n, uint32_t pos) {
  uint32_t nameEnd = XmlNameEnd(s, n, pos + 1);
  uint32_t i = nameEnd;
  for (;;) {
    i = FindXmlAny(s, i, n, L'>', L'<', L'=');
    if (i >= n)
      return Unterminated(pos, n, L"start_tag");
    wchar_t c = s[i];
    if (c == L'>') {
      XmlTokenKind kind = (i > nameEnd && s[i - 1] == L'/') ? XmlTokenKind::kEmptyElementTag
                                                            : XmlTokenKind::kStartTag;
      return Made(kind, pos, i + 1, pos + 1, nameEnd);
    }
    if (c == L'<')
      return Unterminated(pos, i, L"start_tag");
    ++i;
    while (i < n && IsXmlSpace(s[i]))
      ++i;
    if (i < n && (s[i] == L'"' || s[i] == L'\'')) {
      uint32_t close = FindXmlChar(s, i + 1, n, s[i]);
      if (close >= n)
        return Unterminated(pos, n, L"start_tag");
      i = close + 1;
    }
  }
}

XmlToken ScanEndTag(const wchar_t* s, uint32_t n, uint32_t pos) {
  uint32_t nameEnd = XmlNameEnd(s, n, pos + 2);
  for (uint32_t i = nameEnd; i < n; ++i) {
    if (s[i] == L'>')
      return Made(XmlTokenKind::kEndTag, pos, i + 1, pos + 2, nameEnd);
    if (s[i] == L'<')
      return Unterminated(pos, i, L"end_tag");
  }
  return Unterminated(pos, n, L"end_tag");
}

// "<!DOCTYPE name ... [internal subset] >": quoted literals, comments and processing
// instructions in the subset may hold any character, ">" and "]" included.
XmlToken ScanDocumentType(const wchar_t* s, uint32_t n, uint32_t pos) {
  uint32_t i = pos + 9;
  while (i < n && IsXmlSpace(s[i]))
    ++i;
  uint32_t nameStart = i;
  uint32_t nameEnd = XmlNameEnd(s, n, i);
  bool inSubset = false;
  i = nameEnd;
  while (i < n) {
    wchar_t c = s[i];
    if (c == L'"' || c == L'\'') {
      uint32_t close = FindXmlChar(s, i + 1, n, c);
      if (close >= n)
        break;
      i = close + 1;
    } else if (inSubset) {
      if (c == L']') {
        inSubset = false;
        ++i;
      } else if (c == L'<' && MatchPrefix(s, n, i, L"<!--") == Prefix::kMatch) {
        uint32_t close = Find3(s, n, i + 4, L"-->");
        if (close == n)
          break;
        i = close + 3;
      } else if (c == L'<' && i + 1 < n && s[i + 1] == L'?') {
        // A processing instruction is one unit: its quotes and brackets are plain text.
        uint32_t close = i + 2;
        while (close + 1 < n && !(s[close] == L'?' && s[close + 1] == L'>'))
          ++close;
        if (close + 1 >= n)
          break;
        i = close + 2;
      } else {
        ++i;
      }
    } else if (c == L'[') {
      inSubset = true;
      ++i;
    } else if (c == L'>') {
      return Made(XmlTokenKind::kDocumentType, pos, i + 1, nameStart, nameEnd);
    } else if (c == L'<') {
      return Unterminated(pos, i, L"document_type");
    } else {
      ++i;
    }
  }
  return Unterminated(pos, n, L"document_type");
}

XmlToken ScanExclamation(const wchar_t* s, uint32_t n, uint32_t pos) {
  if (pos + 2 >= n)
    return Unterminated(pos, n, L"tag");
  switch (s[pos + 2]) {
    case L'-':
      switch (MatchPrefix(s, n, pos, L"<!--")) {
        case Prefix::kMatch: {
          uint32_t close = Find3(s, n, pos + 4, L"-->");
          if (close == n)
            return Unterminated(pos, n, L"comment");
          return Made(XmlTokenKind::kComment, pos, close + 3);
        }
        case Prefix::kPartial:
          return Unterminated(pos, n, L"comment");
        case Prefix::kMismatch:
          return Broken(pos, pos + 1, XmlSyntaxError::kComment);
      }
      break;
    case L'[':
      switch (MatchPrefix(s, n, pos, L"<![CDATA[")) {
        case Prefix::kMatch: {
          uint32_t close = Find3(s, n, pos + 9, L"]]>");
          if (close == n)
            return Unterminated(pos, n, L"cdata_section");
          return Made(XmlTokenKind::kCdata, pos, close + 3);
        }
        case Prefix::kPartial:
          return Unterminated(pos, n, L"cdata_section");
        case Prefix::kMismatch:
          return Broken(pos, pos + 1, XmlSyntaxError::kCdata);
      }
      break;
    case L'D':
    case L'd':
      switch (MatchPrefix(s, n, pos, L"<!DOCTYPE", true)) {
        case Prefix::kMatch:
          return ScanDocumentType(s, n, pos);
        case Prefix::kPartial:
          return Unterminated(pos, n, L"document_type");
        case Prefix::kMismatch:
          return Broken(pos, pos + 1, XmlSyntaxError::kDocumentType);
      }
      break;
  }
  return Broken(pos, pos + 1, XmlSyntaxError::kExclamation);
}

}  // namespace

XmlToken ScanXmlMarkup(const wchar_t* s, uint32_t n, uint32_t pos) {
  if (pos + 1 >= n)
    return Unterminated(pos, n, L"tag");
  wchar_t c = s[pos + 1];
  if (IsXmlNameStart(c))
    return ScanStartTag(s, n, pos);
  switch (c) {
    case L'/':
      return ScanEndTag(s, n, pos);
    case L'?': {
      uint32_t nameEnd = XmlNameEnd(s, n, pos + 2);
      uint32_t close = Find2(s, n, pos + 2, L'?', L'>');
      if (close == n)
        return Unterminated(pos, n, L"processing_instruction");
      return Made(XmlTokenKind::kProcessingInstruction, pos, close + 2, pos + 2,
                  nameEnd < close ? nameEnd : close);
    }
    case L'!':
      return ScanExclamation(s, n, pos);
  }
  return Broken(pos, pos + 1, XmlSyntaxError::kFirstTag);
}

XmlToken ScanXmlToken(const wchar_t* s, uint32_t n, uint32_t pos) {
  if (s[pos] == L'<')
    return ScanXmlMarkup(s, n, pos);
  return Made(XmlTokenKind::kText, pos, FindXmlChar(s, pos, n, L'<'));
}

bool ScanPlainStartTag(const wchar_t* s,
                       uint32_t n,
                       uint32_t pos,
                       XmlToken* token,
                       std::vector<XmlAttributeSpan>* attributes) {
  const size_t before = attributes->size();
  const uint32_t nameEnd = XmlNameEnd(s, n, pos + 1);
  uint32_t i = nameEnd;
  while (i < n) {
    if (s[i] == L'>') {
      Fill(token, XmlTokenKind::kStartTag, pos, i + 1, nameEnd);
      return true;
    }
    if (s[i] == L'/') {
      if (i + 1 < n && s[i + 1] == L'>') {
        Fill(token, XmlTokenKind::kEmptyElementTag, pos, i + 2, nameEnd);
        return true;
      }
      break;
    }
    if (!IsXmlSpace(s[i]))
      break;
    do
      ++i;
    while (i < n && IsXmlSpace(s[i]));
    if (i >= n || s[i] == L'>' || s[i] == L'/')
      continue;
    // Built where it is kept: a copy of a span just written field by field stalls.
    XmlAttributeSpan& a = attributes->emplace_back();
    a.nameStart = i;
    while (i < n && !EndsAttributeName(s[i]))
      ++i;
    a.nameEnd = i;
    while (i < n && IsXmlSpace(s[i]))
      ++i;
    if (a.nameEnd == a.nameStart || i >= n || s[i] != L'=')
      break;
    do
      ++i;
    while (i < n && IsXmlSpace(s[i]));
    if (i >= n || (s[i] != L'"' && s[i] != L'\''))
      break;
    a.quote = s[i];
    a.hasValue = true;
    a.valueStart = i + 1;
    uint32_t close = FindXmlAny(s, i + 1, n, a.quote, L'&', a.quote);
    if (close < n && s[close] == L'&') {
      a.hasAmpersand = true;
      close = FindXmlChar(s, close + 1, n, a.quote);
    }
    if (close >= n)
      break;
    a.valueEnd = close;
    i = close + 1;
  }
  attributes->resize(before);
  return false;
}

uint32_t XmlAttributesEnd(const XmlToken& token) {
  switch (token.kind) {
    case XmlTokenKind::kStartTag:
      return token.end - 1;
    case XmlTokenKind::kEmptyElementTag:
    case XmlTokenKind::kProcessingInstruction:
      return token.end - 2;
    default:
      return token.end;
  }
}

bool NextXmlAttribute(const wchar_t* s, uint32_t* pos, uint32_t end, XmlAttributeSpan* out) {
  uint32_t i = *pos;
  // Skip white space and junk (stray "/", "=", ">" or a quoted string without a name).
  for (;;) {
    while (i < end &&
           (IsXmlSpace(s[i]) || s[i] == L'/' || s[i] == L'=' || s[i] == L'>' || s[i] == L'<'))
      ++i;
    if (i >= end) {
      *pos = end;
      return false;
    }
    if (s[i] != L'"' && s[i] != L'\'')
      break;
    uint32_t close = FindXmlChar(s, i + 1, end, s[i]);
    i = close < end ? close + 1 : end;
  }
  XmlAttributeSpan a;
  a.nameStart = i;
  while (i < end && !EndsAttributeName(s[i]))
    ++i;
  a.nameEnd = i;
  uint32_t j = i;
  while (j < end && IsXmlSpace(s[j]))
    ++j;
  if (j < end && s[j] == L'=') {
    ++j;
    while (j < end && IsXmlSpace(s[j]))
      ++j;
    a.hasValue = true;
    if (j < end && (s[j] == L'"' || s[j] == L'\'')) {
      a.quote = s[j];
      a.valueStart = j + 1;
      uint32_t close = FindXmlAny(s, j + 1, end, a.quote, L'&', a.quote);
      if (close < end && s[close] == L'&') {
        a.hasAmpersand = true;
        close = FindXmlChar(s, close + 1, end, a.quote);
      }
      a.valueEnd = close;
      i = a.valueEnd < end ? a.valueEnd + 1 : end;
    } else {
      a.valueStart = j;
      while (j < end && !IsXmlSpace(s[j]) && s[j] != L'>') {
        a.hasAmpersand = a.hasAmpersand || s[j] == L'&';
        ++j;
      }
      a.valueEnd = j;
      i = j;
    }
  } else {
    a.valueStart = a.valueEnd = a.nameEnd;
  }
  *pos = i;
  *out = a;
  return true;
}
