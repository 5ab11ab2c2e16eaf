#include "xml/XmlEntities.h"

#include <cwchar>

#include "xml/XmlScan.h"
#include "xml/XmlTableData.h"
#include "xml/XmlTokenizer.h"

namespace {

constexpr size_t kMaxReferenceChars = 9;

// True when the "&" at `pos` begins a reference: a name start or "#", name characters, ";".
bool BeginsReference(const wchar_t* text, size_t length, size_t pos) {
  size_t i = pos + 1;
  if (i >= length)
    return false;
  if (text[i] == L'#') {
    ++i;
    size_t digits = i;
    while (i < length && IsXmlNameChar(text[i]))
      ++i;
    return i > digits && i < length && text[i] == L';';
  }
  if (!IsXmlNameStart(text[i]))
    return false;
  while (i < length && IsXmlNameChar(text[i]))
    ++i;
  return i < length && text[i] == L';';
}

int DigitValue(wchar_t c, bool hex) {
  if (c >= L'0' && c <= L'9')
    return c - L'0';
  if (hex && c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  return -1;
}

// The code point of the lower-cased reference body `ref` (between "&" and ";"); 0 when it
// cannot be resolved. `name` is the body as written, for the letter case of named references.
uint32_t ResolveReference(const wchar_t* ref, size_t length, const wchar_t* name) {
  if (ref[0] != L'#') {
    // The five references of XML itself make up nearly all that documents hold; each has one
    // code point in any letter case, so the lowered body names it.
    if (length == 2 && ref[1] == L't' && (ref[0] == L'l' || ref[0] == L'g'))
      return ref[0] == L'l' ? L'<' : L'>';
    if (length == 3 && ref[0] == L'a' && ref[1] == L'm' && ref[2] == L'p')
      return L'&';
    if (length == 4 && wmemcmp(ref, L"quot", 4) == 0)
      return L'"';
    if (length == 4 && wmemcmp(ref, L"apos", 4) == 0)
      return L'\'';
    return LookupXmlEntity(name, length);
  }
  bool hex = length > 1 && ref[1] == L'x';
  size_t first = hex ? 2 : 1;
  if (first >= length)
    return 0;
  uint32_t value = 0;
  for (size_t i = first; i < length; ++i) {
    int digit = DigitValue(ref[i], hex);
    if (digit < 0)
      return 0;
    value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);  // at most 8 digits
  }
  if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return 0;
  return value;
}

// Where a short decoded text is built before it becomes a string of its exact size.
class ShortText {
 public:
  static constexpr size_t kCapacity = 64;

  void append(const wchar_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
      data_[size_ + i] = text[i];
    size_ += length;
  }
  void push_back(wchar_t c) { data_[size_++] = c; }
  std::wstring str() const { return std::wstring(data_, size_); }

 private:
  wchar_t data_[kCapacity];
  size_t size_ = 0;
};

// `Out` is std::wstring or ShortText.
template <typename Out>
void AppendCodePoint(Out* out, uint32_t cp) {
  if (cp > 0xFFFF) {
    cp -= 0x10000;
    out->push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out->push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out->push_back(static_cast<wchar_t>(cp));
  }
}

// Resolves references in [text, text + length) without touching white space.
template <typename Out>
void AppendResolved(Out* out, const wchar_t* text, size_t length) {
  size_t done = 0;
  for (;;) {
    size_t at = FindXmlChar(text, static_cast<uint32_t>(done), static_cast<uint32_t>(length), L'&');
    if (at >= length) {
      out->append(text + done, length - done);
      return;
    }
    out->append(text + done, at - done);
    size_t bodyLength = 0;
    wchar_t lowered[kMaxReferenceChars];
    while (bodyLength < kMaxReferenceChars && at + 1 + bodyLength < length &&
           text[at + 1 + bodyLength] != L';') {
      lowered[bodyLength] = AsciiLower(text[at + 1 + bodyLength]);
      ++bodyLength;
    }
    size_t semicolon = at + 1 + bodyLength;
    uint32_t cp = 0;
    if (bodyLength > 0 && semicolon < length && text[semicolon] == L';')
      cp = ResolveReference(lowered, bodyLength, text + at + 1);
    if (cp) {
      AppendCodePoint(out, cp);
      done = semicolon + 1;
    } else {
      out->push_back(L'&');
      done = at + 1;
    }
  }
}

}  // namespace

std::wstring EncodeXmlEntities(const wchar_t* text,
                               size_t length,
                               bool forAttribute,
                               bool keepReferences) {
  std::wstring out;
  out.reserve(length + length / 10);
  for (size_t i = 0; i < length; ++i) {
    wchar_t c = text[i];
    switch (c) {
      case L'<':
        out.append(L"&lt;");
        break;
      case L'>':
        out.append(L"&gt;");
        break;
      case L'&':
        if (keepReferences && BeginsReference(text, length, i))
          out.push_back(c);
        else
          out.append(L"&amp;");
        break;
      case L'"':
        if (forAttribute)
          out.append(L"&quot;");
        else
          out.push_back(c);
        break;
      case L'\'':
        if (forAttribute)
          out.append(L"&apos;");
        else
          out.push_back(c);
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

void AppendDecodedXml(std::wstring* out, const wchar_t* text, size_t length, uint32_t options) {
  if (!(options & (kDecodeTrimWhitespace | kDecodeCollapseWhitespace))) {
    AppendResolved(out, text, length);
    return;
  }
  size_t first = 0;
  while (first < length && IsXmlSpace(text[first]))
    ++first;
  size_t last = length;
  while (last > first && IsXmlSpace(text[last - 1]))
    --last;
  bool trim = (options & kDecodeTrimWhitespace) != 0;
  if (!trim)
    out->append(text, first);
  if (options & kDecodeCollapseWhitespace) {
    size_t i = first;
    while (i < last) {
      size_t run = i;
      while (run < last && !IsXmlSpace(text[run]))
        ++run;
      AppendResolved(out, text + i, run - i);
      if (run == last)
        break;
      out->push_back(L' ');
      i = run;
      while (i < last && IsXmlSpace(text[i]))
        ++i;
    }
  } else {
    AppendResolved(out, text + first, last - first);
  }
  if (!trim)
    out->append(text + last, length - last);
}

std::wstring DecodeXmlEntities(const wchar_t* text, size_t length, uint32_t options) {
  if (!options && FindXmlChar(text, 0, static_cast<uint32_t>(length), L'&') == length)
    return std::wstring(text, length);
  // References never decode longer than they are written: one allocation serves, and a short
  // value needs none beyond its result.
  if (!options && length <= ShortText::kCapacity) {
    ShortText out;
    AppendResolved(&out, text, length);
    return out.str();
  }
  std::wstring out;
  out.reserve(length);
  AppendDecodedXml(&out, text, length, options);
  return out;
}

uint32_t LookupXmlEntity(const wchar_t* name, size_t length) {
  if (length == 0 || length > kMaxReferenceChars)
    return 0;
  wchar_t lowered[kMaxReferenceChars];
  unsigned sum = 0;
  bool allLower = true;
  for (size_t i = 0; i < length; ++i) {
    lowered[i] = AsciiLower(name[i]);
    allLower = allLower && lowered[i] == name[i];
    sum += lowered[i];
  }
  uint32_t found = 0;
  for (const wchar_t* e = kEntityBuckets[sum % kEntityBucketCount]; *e;) {
    size_t entryLength = static_cast<size_t>(e[0] - L'0');
    if (entryLength == length && wmemcmp(e + 5, lowered, length) == 0) {
      found = static_cast<uint32_t>((e[1] - L'0') * 1000 + (e[2] - L'0') * 100 +
                                    (e[3] - L'0') * 10 + (e[4] - L'0'));
      // The upper-case form comes first; an all-lower-case name looks for a second entry.
      if (!allLower)
        return found;
    }
    e += 5 + entryLength;
  }
  return found;
}
