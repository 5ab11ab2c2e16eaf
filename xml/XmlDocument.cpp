#include "xml/XmlDocument.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "xml/TextConverter.h"
#include "xml/XmlEncodings.h"
#include "xml/XmlEntities.h"
#include "xml/XmlScan.h"
#include "xml/XmlTokenizer.h"

namespace {

// Offsets are 32-bit and the log prints them with "%d".
constexpr size_t kMaxTextLength = 0x7FFFFFFF;

// Open elements are counted per hash of their name, so that an end tag whose name is not open
// is found lone at once instead of after a search of the whole stack.
constexpr uint32_t kNameBuckets = 1024;

uint32_t NameHash(const wchar_t* name, uint32_t length, bool ignoreCase) {
  uint32_t h = 2166136261u;
  for (uint32_t i = 0; i < length; ++i)
    h = (h ^ static_cast<uint32_t>(ignoreCase ? AsciiLower(name[i]) : name[i])) * 16777619u;
  return h & (kNameBuckets - 1);
}

bool NamesEqual(const wchar_t* a, const wchar_t* b, size_t length, bool ignoreCase) {
  if (!ignoreCase)
    return XmlSameChars(a, b, length);
  for (size_t i = 0; i < length; ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i]))
      return false;
  }
  return true;
}

const wchar_t* SyntaxEntry(XmlSyntaxError error) {
  switch (error) {
    case XmlSyntaxError::kFirstTag:
      return L"first_tag_syntax";
    case XmlSyntaxError::kDocumentType:
      return L"doctype_tag_syntax";
    case XmlSyntaxError::kExclamation:
      return L"exclamation_tag_syntax";
    case XmlSyntaxError::kComment:
      return L"comment_tag_syntax";
    case XmlSyntaxError::kCdata:
      return L"cdata_section_syntax";
    default:
      return L"unterminated_tag_syntax";
  }
}

bool IsAllSpace(const wchar_t* text, uint32_t start, uint32_t end) {
  for (uint32_t i = start; i < end; ++i) {
    if (!IsXmlSpace(text[i]))
      return false;
  }
  return true;
}

// The node type of a token met while walking a level; 0 for tokens that are skipped.
int NodeTypeOf(const wchar_t* text, const XmlToken& t) {
  switch (t.kind) {
    case XmlTokenKind::kText:
      return IsAllSpace(text, t.start, t.end) ? XmlDocument::kNodeWhitespace
                                              : XmlDocument::kNodeText;
    case XmlTokenKind::kCdata:
      return XmlDocument::kNodeCdata;
    case XmlTokenKind::kProcessingInstruction:
      return XmlDocument::kNodeProcessingInstruction;
    case XmlTokenKind::kComment:
      return XmlDocument::kNodeComment;
    case XmlTokenKind::kDocumentType:
      return XmlDocument::kNodeDocumentType;
    case XmlTokenKind::kEndTag:
      return XmlDocument::kNodeLoneEndTag;
    default:
      return 0;
  }
}

}  // namespace

bool XmlDocument::SetDocumentText(const wchar_t* text) {
  if (flags_ & (kFlagReadFile | kFlagWriteFile))
    return false;
  text_.assign(text ? text : L"");
  log_.Clear();
  return Parse();
}

bool XmlDocument::SetDocumentText(const std::wstring& text) {
  if (flags_ & (kFlagReadFile | kFlagWriteFile))
    return false;
  text_ = text;
  log_.Clear();
  return Parse();
}

bool XmlDocument::SetDocumentText(std::wstring&& text) {
  if (flags_ & (kFlagReadFile | kFlagWriteFile))
    return false;
  text_ = std::move(text);
  log_.Clear();
  return Parse();
}

bool XmlDocument::SetDocumentUtf8(const std::string& utf8) {
  if (flags_ & (kFlagReadFile | kFlagWriteFile))
    return false;
  try {
    DecodeUtf8(utf8.data(), utf8.size(), &text_);
  } catch (const std::bad_alloc&) {
    text_.clear();
  }
  log_.Clear();
  return Parse();
}

bool XmlDocument::Parse() {
  try {
    return ParseText();
  } catch (const std::bad_alloc&) {
    ClearIndex();
    index_[0].flags = kElementIllFormed;
    return false;
  }
}

void XmlDocument::ClearIndex() {
  index_.Reset(0);
  attributes_.clear();
  index_[0].length = static_cast<uint32_t>(text_.size() > kMaxTextLength ? 0 : text_.size());
  parent_ = current_ = child_ = 0;
  node_ = NodePosition();
}

bool XmlDocument::ParseText() {
  ++textVersion_;
  parent_ = current_ = child_ = 0;
  node_ = NodePosition();
  if (text_.size() > kMaxTextLength) {
    index_.Reset(0);
    index_[0].flags = kElementIllFormed;
    log_.Add(L"no_root_element");
    return false;
  }
  const uint32_t n = static_cast<uint32_t>(text_.size());
  const wchar_t* s = text_.data();
  const bool ignoreCase = (flags_ & kFlagIgnoreCase) != 0;
  index_.Reset(n / 64 + 8);
  index_[0].length = n;
  attributes_.clear();
  attributesVersion_ = textVersion_;

  struct Open {
    uint32_t pos;
    uint32_t nameStart;
    uint32_t nameLength;
    uint32_t lastChild;
    uint32_t hash;
  };
  std::vector<Open> open;
  open.reserve(32);
  open.push_back(Open{0, 0, 0, 0, 0});
  std::vector<uint32_t> openNames(kNameBuckets);
  bool illFormed = false;

  // An element still open when its parent closes at `at`, or the text ends.
  auto closeUnended = [&](uint32_t at) {
    const Open& o = open.back();
    XmlElementRecord& r = index_[o.pos];
    r.length = at - r.start;
    r.flags |= kElementIllFormed | kElementUnended;
    if (log_.Accepts()) {
      log_.Add(L"unended_start_tag", {{L"tagname", std::wstring(s + o.nameStart, o.nameLength)},
                                      {L"offset", XmlResultLog::Number(r.start)},
                                      {L"offset2", XmlResultLog::Number(at)}});
    }
    --openNames[o.hash];
    open.pop_back();
    illFormed = true;
  };

  uint32_t pos = 0;
  while (pos < n) {
    pos = FindXmlChar(s, pos, n, L'<');
    if (pos >= n)
      break;
    XmlToken t;
    const size_t attributesBefore = attributes_.size();
    bool plain =
        pos + 1 < n && IsXmlNameStart(s[pos + 1]) && ScanPlainStartTag(s, n, pos, &t, &attributes_);
    if (!plain)
      t = ScanXmlMarkup(s, n, pos);
    // Layouts hold an attribute per 16 to 24 characters; the task file holds none.
    if (attributesBefore == 0 && !attributes_.empty())
      attributes_.reserve(attributes_.size() + (n - pos) / 16);
    switch (t.kind) {
      case XmlTokenKind::kStartTag:
      case XmlTokenKind::kEmptyElementTag: {
        uint32_t p = index_.Add();
        Open& top = open.back();
        XmlElementRecord& r = index_[p];
        r.start = pos;
        r.startTagLength = t.end - pos;
        r.parent = top.pos;
        r.prevSibling = top.lastChild;
        if (top.lastChild)
          index_[top.lastChild].nextSibling = p;
        else
          index_[top.pos].firstChild = p;
        top.lastChild = p;
        uint32_t nameLength = t.nameEnd - t.nameStart;
        r.flags = NameLengthFlags(nameLength) | (plain ? kElementPlainTag : 0u);
        if (t.kind == XmlTokenKind::kEmptyElementTag) {
          r.length = r.startTagLength;
          r.flags |= kElementEmpty;
        } else {
          uint32_t hash = NameHash(s + t.nameStart, nameLength, ignoreCase);
          ++openNames[hash];
          open.push_back(Open{p, t.nameStart, nameLength, 0, hash});
        }
        break;
      }
      case XmlTokenKind::kEndTag: {
        uint32_t nameLength = t.nameEnd - t.nameStart;
        size_t k = 0;
        if (openNames[NameHash(s + t.nameStart, nameLength, ignoreCase)]) {
          k = open.size() - 1;
          while (k > 0 &&
                 !(open[k].nameLength == nameLength &&
                   NamesEqual(s + open[k].nameStart, s + t.nameStart, nameLength, ignoreCase)))
            --k;
        }
        if (k == 0) {
          illFormed = true;
          if (log_.Accepts()) {
            log_.Add(L"lone_end_tag", {{L"tagname", std::wstring(s + t.nameStart, nameLength)},
                                       {L"offset", XmlResultLog::Number(pos)}});
          }
          break;
        }
        while (open.size() - 1 > k)
          closeUnended(pos);
        XmlElementRecord& r = index_[open.back().pos];
        r.length = t.end - r.start;
        --openNames[open.back().hash];
        open.pop_back();
        break;
      }
      case XmlTokenKind::kMalformed:
        illFormed = true;
        if (t.error == XmlSyntaxError::kUnterminated) {
          log_.Add(L"unterminated_tag_syntax",
                   {{L"type", t.unterminatedType}, {L"offset", XmlResultLog::Number(pos)}});
        } else {
          log_.Add(SyntaxEntry(t.error));
        }
        break;
      default:
        break;
    }
    pos = t.end;
  }
  while (open.size() > 1)
    closeUnended(n);

  uint32_t root = index_[0].firstChild;
  if (!root)
    log_.Add(L"no_root_element");
  else if (index_[root].nextSibling)
    log_.Add(L"root_has_sibling");
  if (illFormed)
    index_[0].flags |= kElementIllFormed;
  return !illFormed && root && !index_[root].nextSibling;
}

// --- Navigation.

uint32_t XmlDocument::NameEnd(uint32_t pos) const {
  const XmlElementRecord& r = index_[pos];
  if (uint32_t length = NameLengthOf(r))
    return r.start + 1 + length;
  return XmlNameEnd(text_.data(), static_cast<uint32_t>(text_.size()), r.start + 1);
}

bool XmlDocument::NameIs(uint32_t pos, const std::wstring& name) const {
  uint32_t start = index_[pos].start + 1;
  uint32_t end = NameEnd(pos);
  return end - start == name.size() && NamesEqual(text_.data() + start, name.data(), name.size(),
                                                  (flags_ & kFlagIgnoreCase) != 0);
}

uint32_t XmlDocument::ContentStart(uint32_t pos) const {
  return pos ? index_[pos].start + index_[pos].startTagLength : 0;
}

uint32_t XmlDocument::ContentEnd(uint32_t pos) const {
  return pos ? ElementContentEnd(index_[pos]) : static_cast<uint32_t>(text_.size());
}

inline uint32_t XmlDocument::ElementContentEnd(const XmlElementRecord& r) const {
  uint32_t end = r.start + r.length;
  if (r.flags & (kElementEmpty | kElementUnended))
    return end;
  // The end tag holds the element's last "<"; mostly it is written "</name>".
  uint32_t contentStart = r.start + r.startTagLength;
  uint32_t plainEndTag = NameLengthOf(r) + 3;
  if (NameLengthOf(r) && end - contentStart >= plainEndTag && text_[end - plainEndTag] == L'<')
    return end - plainEndTag;
  for (uint32_t i = end; i > contentStart; --i) {
    if (text_[i - 1] == L'<')
      return i - 1;
  }
  return end;
}

void XmlDocument::ResetPos() {
  parent_ = current_ = child_ = 0;
  node_ = NodePosition();
}

bool XmlDocument::FindElement(const std::wstring& name) {
  if (text_.empty() || (flags_ & kFlagWriteFile))
    return false;
  uint32_t p = current_ ? index_[current_].nextSibling : index_[parent_].firstChild;
  for (; p; p = index_[p].nextSibling) {
    if (name.empty() || NameIs(p, name)) {
      MoveTo(p);
      return true;
    }
  }
  return false;
}

int XmlDocument::ScanNextNode(int types, uint32_t nextElement) {
  const wchar_t* s = text_.data();
  uint32_t levelEnd = ContentEnd(parent_);
  uint32_t offset = node_.type ? node_.offset + node_.length
                    : current_ ? index_[current_].start + index_[current_].length
                               : ContentStart(parent_);
  uint32_t previous = current_;
  while (offset < levelEnd) {
    if (nextElement && index_[nextElement].start <= offset) {
      if (types & kNodeElement) {
        MoveTo(nextElement);
        return kNodeElement;
      }
      const XmlElementRecord& r = index_[nextElement];
      if (r.start + r.length > offset)
        offset = r.start + r.length;
      previous = nextElement;
      nextElement = r.nextSibling;
      continue;
    }
    // Tokens never run into the next element: the parser cut them there too.
    uint32_t limit = nextElement ? index_[nextElement].start : levelEnd;
    XmlToken t = ScanXmlToken(s, limit, offset);
    int type = NodeTypeOf(s, t);
    if (type & types) {
      current_ = previous;
      child_ = 0;
      node_.offset = t.start;
      node_.length = t.end - t.start;
      node_.type = type;
      return type;
    }
    offset = t.end;
  }
  return 0;
}

bool XmlDocument::EnterElement() {
  if (!current_ || node_.type)
    return false;
  parent_ = current_;
  current_ = child_;
  child_ = 0;
  return true;
}

bool XmlDocument::LeaveElement() {
  if (!parent_)
    return false;
  child_ = current_;
  current_ = parent_;
  parent_ = index_[current_].parent;
  node_ = NodePosition();
  return true;
}

std::wstring XmlDocument::NodeKindName() const {
  const wchar_t* s = text_.data();
  switch (node_.type) {
    case kNodeText:
    case kNodeWhitespace:
      return L"#text";
    case kNodeCdata:
      return L"#cdata-section";
    case kNodeComment:
      return L"#comment";
    default: {
      XmlToken t = ScanXmlToken(s, node_.offset + node_.length, node_.offset);
      return std::wstring(s + t.nameStart, t.nameEnd - t.nameStart);
    }
  }
}

int XmlDocument::GetNodeType() const {
  return node_.type ? node_.type : (current_ ? kNodeElement : 0);
}

std::wstring XmlDocument::GetContent() const {
  const wchar_t* s = text_.data();
  uint32_t options = flags_ & (kFlagTrimWhitespace | kFlagCollapseWhitespace);
  if (node_.type) {
    uint32_t start = node_.offset;
    uint32_t end = node_.offset + node_.length;
    switch (node_.type) {
      case kNodeText:
      case kNodeWhitespace:
        return DecodeXmlEntities(s + start, end - start, options);
      case kNodeCdata:
        return std::wstring(s + start + 9, end - start - 12);
      case kNodeComment:
        return std::wstring(s + start + 4, end - start - 7);
      case kNodeProcessingInstruction:
        return std::wstring(s + start + 2, end - start - 4);
      case kNodeLoneEndTag:
        return std::wstring(s + start + 2, end - start - 3);
      case kNodeDocumentType: {
        uint32_t inner = start + 9;
        while (inner < end - 1 && IsXmlSpace(s[inner]))
          ++inner;
        return std::wstring(s + inner, end - 1 - inner);
      }
    }
    return std::wstring();
  }
  if (!current_)
    return std::wstring();
  const XmlElementRecord& r = index_[current_];
  uint32_t start = r.start + r.startTagLength;
  uint32_t end = r.firstChild ? index_[r.firstChild].start : ElementContentEnd(r);
  if (start >= end)
    return std::wstring();
  uint32_t special = FindXmlAny(s, start, end, L'<', L'&', L'<');
  if (special == end && !options)
    return std::wstring(s + start, end - start);
  if (FindXmlChar(s, special, end, L'<') == end)
    return DecodeXmlEntities(s + start, end - start, options);
  std::wstring out;
  for (uint32_t pos = start; pos < end;) {
    XmlToken t = ScanXmlToken(s, end, pos);
    if (t.kind == XmlTokenKind::kText)
      AppendDecodedXml(&out, s + t.start, t.end - t.start, options);
    else if (t.kind == XmlTokenKind::kCdata)
      out.append(s + t.start + 9, t.end - t.start - 12);
    else if (t.kind == XmlTokenKind::kMalformed)
      out.append(s + t.start, t.end - t.start);  // a stray "<" is text to a tolerant reader
    pos = t.end;
  }
  return out;
}

bool XmlDocument::AttributeText(uint32_t* begin, uint32_t* end) const {
  if (node_.type == kNodeProcessingInstruction) {
    XmlToken t = ScanXmlToken(text_.data(), node_.offset + node_.length, node_.offset);
    *begin = t.nameEnd;
    *end = XmlAttributesEnd(t);
    return true;
  }
  if (node_.type || !current_)
    return false;
  const XmlElementRecord& r = index_[current_];
  *begin = NameEnd(current_);
  *end = r.start + r.startTagLength - ((r.flags & kElementEmpty) ? 2 : 1);
  return true;
}

XmlDocument::AttributeCursor* XmlDocument::TakeAttributes(uint64_t key) const {
  AttributeCursor& c = attributeCursor_;
  // Walks go in document order, so the next tag's attributes mostly follow the last one's.
  uint32_t hint = c.table ? c.end : 0;
  // Field by field: a whole new cursor copied in would cost more than reading the tag.
  c.key = key;
  c.version = textVersion_;
  c.index = -1;
  c.table = !node_.type && attributesVersion_ == textVersion_ &&
            (index_[current_].flags & kElementPlainTag);
  if (c.table)
    TableRange(index_[current_], hint, &c.begin, &c.end);
  else
    AttributeText(&c.begin, &c.end);
  return &c;
}

void XmlDocument::TableRange(const XmlElementRecord& r,
                             uint32_t hint,
                             uint32_t* begin,
                             uint32_t* end) const {
  const uint32_t size = static_cast<uint32_t>(attributes_.size());
  uint32_t first = hint;
  if (first > size || (first < size && attributes_[first].nameStart < r.start) ||
      (first > 0 && attributes_[first - 1].nameStart > r.start)) {
    first = static_cast<uint32_t>(
        std::lower_bound(attributes_.begin(), attributes_.end(), r.start,
                         [](const XmlAttributeSpan& a, uint32_t at) { return a.nameStart < at; }) -
        attributes_.begin());
  }
  uint32_t last = first;
  const uint32_t tagEnd = r.start + r.startTagLength;
  while (last < size && attributes_[last].nameStart < tagEnd)
    ++last;
  *begin = first;
  *end = last;
}

std::wstring XmlDocument::FindAttribute(AttributeCursor* c, const std::wstring& name) const {
  if (!c->table)
    return ScanAttribute(c, name);
  for (uint32_t i = c->begin; i < c->end; ++i) {
    if (AttributeNamed(attributes_[i], name))
      return AttributeValue(attributes_[i]);
  }
  return std::wstring();
}

std::wstring XmlDocument::DecodedValue(const XmlAttributeSpan& a) const {
  return DecodeXmlEntities(text_.data() + a.valueStart, a.valueEnd - a.valueStart, 0);
}

std::wstring XmlDocument::ScanAttribute(AttributeCursor* c, const std::wstring& name) const {
  if (c->index >= 0 && AttributeNamed(c->attribute, name))
    return AttributeValue(c->attribute);
  uint32_t pos = c->begin;
  XmlAttributeSpan a;
  while (NextXmlAttribute(text_.data(), &pos, c->end, &a)) {
    if (AttributeNamed(a, name))
      return AttributeValue(a);
  }
  return std::wstring();
}

std::wstring XmlDocument::ScanAttributeName(AttributeCursor* c, int index) const {
  const wchar_t* s = text_.data();
  uint32_t pos = c->begin;
  int i = -1;
  if (c->index >= 0 && c->index <= index) {
    if (c->index == index)
      return std::wstring(s + c->attribute.nameStart,
                          c->attribute.nameEnd - c->attribute.nameStart);
    i = c->index;
    pos = c->next;
  }
  XmlAttributeSpan a;
  while (NextXmlAttribute(s, &pos, c->end, &a)) {
    if (++i == index) {
      c->index = i;
      c->attribute = a;
      c->next = pos;
      return std::wstring(s + a.nameStart, a.nameEnd - a.nameStart);
    }
  }
  return std::wstring();
}

// --- Text and encoding functions.

std::wstring XmlDocument::EncodeEntities(const std::wstring& text,
                                         bool forAttribute,
                                         bool keepReferences) {
  return EncodeXmlEntities(text.data(), text.size(), forAttribute, keepReferences);
}

std::wstring XmlDocument::DecodeEntities(const std::wstring& text, uint32_t options) {
  return DecodeXmlEntities(text.data(), text.size(),
                           options & (kFlagTrimWhitespace | kFlagCollapseWhitespace));
}

int XmlDocument::CodePageOfEncoding(const std::wstring& name) {
  return ::CodePageOfEncoding(name);
}

std::wstring XmlDocument::FindDeclaredEncoding(const std::wstring& text) {
  return ::FindDeclaredEncoding(text.data(), text.size());
}

// --- Self-check.

bool XmlDocument::IsConsistent() const {
  const uint32_t count = index_.size();
  const uint64_t n = text_.size();
  const wchar_t* s = text_.data();
  auto valid = [count](uint32_t pos) { return pos < count; };
  size_t tableEntries = 0;
  for (uint32_t p = 1; p < count; ++p) {
    const XmlElementRecord& r = index_[p];
    uint64_t end = static_cast<uint64_t>(r.start) + r.length;
    if (end > n || r.startTagLength < 3 || r.startTagLength > r.length || s[r.start] != L'<' ||
        !IsXmlNameStart(s[r.start + 1]))
      return false;
    if (!valid(r.parent) || !valid(r.firstChild) || !valid(r.nextSibling) || !valid(r.prevSibling))
      return false;
    bool empty = (r.flags & kElementEmpty) != 0;
    uint32_t tagEnd = r.start + r.startTagLength;
    if (s[tagEnd - 1] != L'>' || (empty && (s[tagEnd - 2] != L'/' || r.length != r.startTagLength)))
      return false;
    uint32_t nameLength = XmlNameEnd(s, static_cast<uint32_t>(n), r.start + 1) - r.start - 1;
    if (NameLengthOf(r) && NameLengthOf(r) != nameLength)
      return false;
    if ((r.flags & kElementPlainTag) && attributesVersion_ == textVersion_) {
      // The table holds what a scan of the tag finds.
      uint32_t first;
      uint32_t last;
      TableRange(r, 0, &first, &last);
      uint32_t pos = r.start + 1 + nameLength;
      XmlAttributeSpan a;
      uint32_t i = first;
      for (; NextXmlAttribute(s, &pos, tagEnd - (empty ? 2 : 1), &a); ++i) {
        const XmlAttributeSpan& t = i < last ? attributes_[i] : a;
        if (i >= last || t.nameStart != a.nameStart || t.nameEnd != a.nameEnd ||
            t.valueStart != a.valueStart || t.valueEnd != a.valueEnd || t.quote != a.quote ||
            t.hasValue != a.hasValue || t.hasAmpersand != a.hasAmpersand)
          return false;
      }
      if (i != last)
        return false;
      tableEntries += last - first;
    }
    if (!(r.flags & kElementUnended) && !empty && s[end - 1] != L'>')
      return false;
    if (r.parent) {
      const XmlElementRecord& up = index_[r.parent];
      if (r.start < up.start + up.startTagLength ||
          end > static_cast<uint64_t>(up.start) + up.length)
        return false;
    }
    if (r.prevSibling) {
      const XmlElementRecord& prev = index_[r.prevSibling];
      if (prev.nextSibling != p || prev.parent != r.parent ||
          static_cast<uint64_t>(prev.start) + prev.length > r.start)
        return false;
    } else if (index_[r.parent].firstChild != p) {
      return false;
    }
    if (r.nextSibling && index_[r.nextSibling].prevSibling != p)
      return false;
    if (r.firstChild && index_[r.firstChild].parent != p)
      return false;
  }
  if (attributesVersion_ == textVersion_ && tableEntries != attributes_.size())
    return false;
  if (index_[0].firstChild && index_[index_[0].firstChild].parent != 0)
    return false;
  // Every record hangs in the tree exactly once.
  uint32_t seen = 0;
  uint32_t p = index_[0].firstChild;
  while (p) {
    if (++seen >= count)
      return false;
    const XmlElementRecord& r = index_[p];
    if (r.firstChild) {
      p = r.firstChild;
      continue;
    }
    while (p && !index_[p].nextSibling)
      p = index_[p].parent;
    if (p)
      p = index_[p].nextSibling;
  }
  if (seen != count - 1)
    return false;
  // The cursor is a path of the tree.
  if (!valid(parent_) || !valid(current_) || !valid(child_))
    return false;
  if (current_ && index_[current_].parent != parent_)
    return false;
  if (child_ && (!current_ || index_[child_].parent != current_))
    return false;
  if (node_.type) {
    uint64_t nodeEnd = static_cast<uint64_t>(node_.offset) + node_.length;
    if (node_.offset < ContentStart(parent_) || nodeEnd > ContentEnd(parent_))
      return false;
    if (current_ && index_[current_].start + index_[current_].length > node_.offset)
      return false;
  }
  return true;
}
