#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// The lexical layer of the XML reader: cuts a UTF-16 text into tokens and start tags into
// attributes. It never looks past `length`, allocates nothing but the attribute list a caller
// passes, and always makes progress: every token is at least one character long. It knows
// nothing of nesting; matching end tags to start tags is the parser's business.

enum class XmlTokenKind : uint8_t {
  kText,                   // a run of characters up to the next "<" or the end
  kStartTag,               // "<name ...>"
  kEmptyElementTag,        // "<name .../>"
  kEndTag,                 // "</name>"
  kProcessingInstruction,  // "<?target ...?>"
  kComment,                // "<!--...-->"
  kCdata,                  // "<![CDATA[...]]>"
  kDocumentType,           // "<!DOCTYPE name ... [subset]>"
  kMalformed,              // markup that is broken; `error` says how
};

enum class XmlSyntaxError : uint8_t {
  kNone,
  kFirstTag,      // the character after "<" cannot begin a tag
  kDocumentType,  // "<!D" that is not "<!DOCTYPE"
  kExclamation,   // "<!" that is neither comment, CDATA section nor document type
  kComment,       // "<!-" not followed by "-"
  kCdata,         // "<![" not followed by "CDATA["
  kUnterminated,  // the construct runs into the end of the text or into a "<"
};

struct XmlToken {
  XmlTokenKind kind = XmlTokenKind::kText;
  XmlSyntaxError error = XmlSyntaxError::kNone;
  // For kUnterminated: "start_tag", "end_tag", "cdata_section", "processing_instruction",
  // "comment", "document_type" or "tag".
  const wchar_t* unterminatedType = nullptr;
  uint32_t start = 0;  // offset of the first character
  uint32_t end = 0;    // offset after the last character
  // The tag name, processing-instruction target or document-type name; empty otherwise.
  uint32_t nameStart = 0;
  uint32_t nameEnd = 0;
};

// The token that begins at `pos` (< `length`).
XmlToken ScanXmlToken(const wchar_t* text, uint32_t length, uint32_t pos);

// The markup token that begins at the "<" at `pos`; the parser calls it after finding the "<".
XmlToken ScanXmlMarkup(const wchar_t* text, uint32_t length, uint32_t pos);

// One attribute of a start tag or processing instruction, as offsets into the text.
struct XmlAttributeSpan {
  uint32_t nameStart = 0;
  uint32_t nameEnd = 0;
  uint32_t valueStart = 0;  // inside the quotes
  uint32_t valueEnd = 0;
  wchar_t quote = 0;  // '"' or '\'', 0 when the value is unquoted or missing
  bool hasValue = false;
  bool hasAmpersand = false;  // the value may hold references
};

// Reads the attribute at `*pos` (before `end`, the offset of the tag's closing ">", "/>" or
// "?>") and moves `*pos` past it. False when there is none left. Tolerant: names are runs of
// anything but white space, "=", "/", ">" and quotes; values may be unquoted or missing.
bool NextXmlAttribute(const wchar_t* text, uint32_t* pos, uint32_t end, XmlAttributeSpan* out);

// A start tag written plainly: its name, then attributes `name="value"` (either quote), each
// after white space, then white space and ">" or "/>". Sets `*token` as ScanXmlMarkup would and
// appends the attributes NextXmlAttribute would find. False for any other tag (ScanXmlMarkup
// reads those), with `*attributes` as it was. `text[pos]` is "<" followed by a name start.
bool ScanPlainStartTag(const wchar_t* text,
                       uint32_t length,
                       uint32_t pos,
                       XmlToken* token,
                       std::vector<XmlAttributeSpan>* attributes);

// Where the attributes of a tag or processing instruction token end: before "/>", ">" or "?>".
uint32_t XmlAttributesEnd(const XmlToken& token);

inline bool IsXmlSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

// Letters, "_" and ":"; every character from U+0080 up counts as a letter.
inline bool IsXmlNameStart(wchar_t c) {
  constexpr uint64_t kLow = 1ull << ':';  // characters 0..63
  constexpr uint64_t kHigh = (0x3FFFFFFull << 1) | (0x3FFFFFFull << 33) | (1ull << ('_' - 64));
  return c >= 0x80 || (c < 64 ? (kLow >> c) & 1 : (kHigh >> (c - 64)) & 1);
}

// Name starts, digits, "-" and ".".
inline bool IsXmlNameChar(wchar_t c) {
  constexpr uint64_t kLow = (1ull << ':') | (0x3FFull << '0') | (1ull << '-') | (1ull << '.');
  constexpr uint64_t kHigh = (0x3FFFFFFull << 1) | (0x3FFFFFFull << 33) | (1ull << ('_' - 64));
  return c >= 0x80 || (c < 64 ? (kLow >> c) & 1 : (kHigh >> (c - 64)) & 1);
}

inline wchar_t AsciiLower(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

// Offset after the name that starts at `pos`.
inline uint32_t XmlNameEnd(const wchar_t* text, uint32_t length, uint32_t pos) {
  while (pos < length && IsXmlNameChar(text[pos]))
    ++pos;
  return pos;
}

// Names are short: two overlapping reads of the first and the last bytes compare most of them
// with no loop and no call into the runtime.
template <typename Word>
inline bool XmlSameWord(const wchar_t* a, const wchar_t* b, size_t at) {
  Word x;
  Word y;
  std::memcpy(&x, a + at, sizeof(x));
  std::memcpy(&y, b + at, sizeof(y));
  return x == y;
}

inline bool XmlSameChars(const wchar_t* a, const wchar_t* b, size_t length) {
  constexpr size_t k4 = sizeof(uint32_t) / sizeof(wchar_t);
  constexpr size_t k8 = sizeof(uint64_t) / sizeof(wchar_t);
  if (length < k4)
    return length == 0 || a[0] == b[0];
  if (length <= 2 * k4)
    return XmlSameWord<uint32_t>(a, b, 0) && XmlSameWord<uint32_t>(a, b, length - k4);
  for (size_t at = 0; at + k8 < length; at += k8) {
    if (!XmlSameWord<uint64_t>(a, b, at))
      return false;
  }
  return XmlSameWord<uint64_t>(a, b, length - k8);
}
