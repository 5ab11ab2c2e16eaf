// The editing operations of XmlDocument: each splices the text and then shifts the offsets of
// the elements that follow the change and grows the elements that contain it. Only the records
// after the change are visited, so building a document element by element stays linear.

#include <new>

#include "sys/StringFormat.h"
#include "xml/XmlDocument.h"
#include "xml/XmlEntities.h"
#include "xml/XmlTokenizer.h"

namespace {

constexpr size_t kMaxTextLength = 0x7FFFFFFF;

bool IsValidName(const std::wstring& name) {
  if (name.empty() || !IsXmlNameStart(name[0]))
    return false;
  for (wchar_t c : name) {
    if (!IsXmlNameChar(c))
      return false;
  }
  return true;
}

bool Contains(const std::wstring& text, const wchar_t* marker) {
  return text.find(marker) != std::wstring::npos;
}

// "]]>" cannot stand inside a CDATA section: it is split across two sections.
std::wstring SplitCdataEnds(const std::wstring& data) {
  std::wstring out;
  out.reserve(data.size() + 16);
  size_t done = 0;
  for (size_t at; (at = data.find(L"]]>", done)) != std::wstring::npos; done = at + 3) {
    out.append(data, done, at - done);
    out.append(L"]]]]><![CDATA[>");
  }
  out.append(data, done, std::wstring::npos);
  return out;
}

}  // namespace

bool XmlDocument::Splice(uint32_t offset, uint32_t removed, const std::wstring& inserted) {
  size_t needed = text_.size() - removed + inserted.size();
  if (needed > kMaxTextLength)
    return false;
  if (needed > text_.capacity())
    text_.reserve(needed + needed / 2 + 128);
  text_.replace(offset, removed, inserted);
  ++textVersion_;
  return true;
}

void XmlDocument::ShiftSubtree(uint32_t root, int64_t delta) {
  uint32_t p = root;
  for (;;) {
    XmlElementRecord& r = index_[p];
    r.start = static_cast<uint32_t>(r.start + delta);
    if (r.firstChild) {
      p = r.firstChild;
      continue;
    }
    while (p != root && !index_[p].nextSibling)
      p = index_[p].parent;
    if (p == root)
      return;
    p = index_[p].nextSibling;
  }
}

void XmlDocument::ShiftFollowing(uint32_t parent, uint32_t first, int64_t delta) {
  for (uint32_t s = first; s; s = index_[s].nextSibling)
    ShiftSubtree(s, delta);
  for (uint32_t p = parent; p; p = index_[p].parent) {
    index_[p].length = static_cast<uint32_t>(index_[p].length + delta);
    for (uint32_t s = index_[p].nextSibling; s; s = index_[s].nextSibling)
      ShiftSubtree(s, delta);
  }
  index_[0].length = static_cast<uint32_t>(text_.size());
}

// "<name .../>" becomes "<name ...>\r\n</name>": a start tag that will receive children.
void XmlDocument::OpenEmptyElement(uint32_t pos) {
  XmlElementRecord& r = index_[pos];
  uint32_t nameStart = r.start + 1;
  uint32_t nameEnd = NameEnd(pos);
  uint32_t slash = r.start + r.startTagLength - 2;
  uint32_t cut = slash;
  while (cut > nameEnd && IsXmlSpace(text_[cut - 1]))
    --cut;
  std::wstring replacement = L">\r\n</";
  replacement.append(text_, nameStart, nameEnd - nameStart);
  replacement.push_back(L'>');
  uint32_t removed = r.start + r.length - cut;
  if (!Splice(cut, removed, replacement))
    return;
  int64_t delta = static_cast<int64_t>(replacement.size()) - removed;
  r.startTagLength = cut - r.start + 1;
  r.length = static_cast<uint32_t>(r.length + delta);
  r.flags &= ~kElementEmpty;
  ShiftFollowing(r.parent, r.nextSibling, delta);
}

bool XmlDocument::AppendElement(const std::wstring& name, const std::wstring& data, int options) {
  if ((flags_ & kFlagReadFile) || !IsValidName(name))
    return false;
  try {
    return AppendElementUnsafe(name, data, options);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool XmlDocument::AppendElementUnsafe(const std::wstring& name,
                                      const std::wstring& data,
                                      int options) {
  std::wstring element = L"<" + name;
  uint32_t startTagLength;
  if (data.empty()) {
    element.append(L"/>");
    startTagLength = static_cast<uint32_t>(element.size());
  } else {
    element.push_back(L'>');
    startTagLength = static_cast<uint32_t>(element.size());
    if (options & kAppendCdata) {
      element.append(L"<![CDATA[");
      element.append(SplitCdataEnds(data));
      element.append(L"]]>");
    } else {
      element.append(EncodeXmlEntities(data.data(), data.size(), false,
                                       (options & kAppendKeepReferences) != 0));
    }
    element.append(L"</");
    element.append(name);
    element.push_back(L'>');
  }
  uint32_t elementLength = static_cast<uint32_t>(element.size());
  if (!(options & kAppendNoLineBreak))
    element.append(L"\r\n");
  if (text_.size() + element.size() + name.size() + 8 > kMaxTextLength)
    return false;

  if (parent_ && (index_[parent_].flags & kElementEmpty))
    OpenEmptyElement(parent_);

  uint32_t at;
  uint32_t prev = current_;
  uint32_t next;
  if (node_.type) {
    at = node_.offset + node_.length;
    next = current_ ? index_[current_].nextSibling : index_[parent_].firstChild;
  } else if (current_) {
    // After the element and the line break that ends its line.
    const XmlElementRecord& c = index_[current_];
    at = c.start + c.length;
    if (at + 1 < text_.size() && text_[at] == L'\r' && text_[at + 1] == L'\n')
      at += 2;
    else if (at < text_.size() && text_[at] == L'\n')
      ++at;
    next = c.nextSibling;
  } else {
    at = ContentEnd(parent_);
    prev = 0;
    for (uint32_t p = index_[parent_].firstChild; p; p = index_[p].nextSibling)
      prev = p;
    next = 0;
  }
  if (next && index_[next].start < at)
    at = index_[next].start;  // never inside the next element

  Splice(at, 0, element);
  uint32_t pos = index_.Add();
  XmlElementRecord& r = index_[pos];
  r.start = at;
  r.startTagLength = startTagLength;
  r.length = elementLength;
  r.parent = parent_;
  r.prevSibling = prev;
  r.nextSibling = next;
  r.flags = NameLengthFlags(static_cast<uint32_t>(name.size())) |
            (data.empty() ? static_cast<uint32_t>(kElementEmpty) : 0u);
  if (prev)
    index_[prev].nextSibling = pos;
  else
    index_[parent_].firstChild = pos;
  if (next)
    index_[next].prevSibling = pos;
  ShiftFollowing(parent_, next, static_cast<int64_t>(element.size()));
  MoveTo(pos);
  return true;
}

bool XmlDocument::SetContent(const std::wstring& text) {
  if (flags_ & kFlagReadFile)
    return false;
  try {
    return node_.type ? SetNodeContent(text) : SetElementContent(text);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool XmlDocument::SetElementContent(const std::wstring& text) {
  if (!current_ || index_[current_].firstChild)
    return false;
  XmlElementRecord& r = index_[current_];
  std::wstring escaped = EncodeXmlEntities(text.data(), text.size(), false);
  uint32_t start;
  uint32_t removed;
  std::wstring replacement;
  uint32_t startTagLength = r.startTagLength;
  if (r.flags & kElementEmpty) {
    // "<name .../>" becomes "<name ...>text</name>" on one line.
    uint32_t nameEnd = NameEnd(current_);
    uint32_t cut = r.start + r.startTagLength - 2;
    while (cut > nameEnd && IsXmlSpace(text_[cut - 1]))
      --cut;
    start = r.start;
    removed = r.length;
    replacement.assign(text_, r.start, cut - r.start);
    replacement.push_back(L'>');
    startTagLength = static_cast<uint32_t>(replacement.size());
    replacement.append(escaped);
    replacement.append(L"</");
    replacement.append(text_, r.start + 1, nameEnd - r.start - 1);
    replacement.push_back(L'>');
  } else {
    start = ContentStart(current_);
    removed = ContentEnd(current_) - start;
    replacement = std::move(escaped);
  }
  if (!Splice(start, removed, replacement))
    return false;
  int64_t delta = static_cast<int64_t>(replacement.size()) - removed;
  r.startTagLength = startTagLength;
  r.length = static_cast<uint32_t>(r.length + delta);
  r.flags &= ~kElementEmpty;
  ShiftFollowing(r.parent, r.nextSibling, delta);
  return true;
}

bool XmlDocument::SetNodeContent(const std::wstring& text) {
  std::wstring replacement;
  int type = node_.type;
  switch (node_.type) {
    case kNodeText:
    case kNodeWhitespace: {
      replacement = EncodeXmlEntities(text.data(), text.size(), false);
      bool blank = true;
      for (wchar_t c : replacement)
        blank = blank && IsXmlSpace(c);
      type = blank ? kNodeWhitespace : kNodeText;
      break;
    }
    case kNodeComment:
      if (Contains(text, L"-->"))
        return false;
      replacement = L"<!--" + text + L"-->";
      break;
    case kNodeProcessingInstruction:
      if (Contains(text, L"?>"))
        return false;
      replacement = L"<?" + text + L"?>";
      break;
    case kNodeCdata:
      if (Contains(text, L"]]>"))
        return false;
      replacement = L"<![CDATA[" + text + L"]]>";
      break;
    case kNodeLoneEndTag:
      if (text.find_first_of(L"<>") != std::wstring::npos)
        return false;
      replacement = L"</" + text + L">";
      break;
    default:
      return false;  // a document type declaration is not rewritten
  }
  uint32_t removed = node_.length;
  if (!Splice(node_.offset, removed, replacement))
    return false;
  node_.length = static_cast<uint32_t>(replacement.size());
  node_.type = type;
  uint32_t next = current_ ? index_[current_].nextSibling : index_[parent_].firstChild;
  ShiftFollowing(parent_, next, static_cast<int64_t>(replacement.size()) - removed);
  return true;
}

bool XmlDocument::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if ((flags_ & kFlagReadFile) || !current_ || node_.type || !IsValidName(name))
    return false;
  try {
    return SetAttributeUnsafe(name, value);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool XmlDocument::SetAttribute(const std::wstring& name, int value) {
  return SetAttribute(name, WFormat(L"%d", value));
}

bool XmlDocument::SetAttributeUnsafe(const std::wstring& name, const std::wstring& value) {
  XmlElementRecord& r = index_[current_];
  std::wstring escaped = EncodeXmlEntities(value.data(), value.size(), true);
  uint32_t pos;
  uint32_t end;
  AttributeText(&pos, &end);
  uint32_t nameEnd = pos;
  const wchar_t* s = text_.data();
  XmlAttributeSpan a;
  bool found = false;
  while (NextXmlAttribute(s, &pos, end, &a)) {
    if (a.nameEnd - a.nameStart == name.size() &&
        text_.compare(a.nameStart, name.size(), name) == 0) {
      found = true;
      break;
    }
  }
  uint32_t at;
  uint32_t removed = 0;
  std::wstring replacement;
  if (found && a.quote) {
    at = a.valueStart;
    removed = a.valueEnd - a.valueStart;
    replacement = escaped;
  } else if (found && a.hasValue) {
    at = a.valueStart;
    removed = a.valueEnd - a.valueStart;
    replacement = L"\"" + escaped + L"\"";
  } else if (found) {
    at = a.nameEnd;
    replacement = L"=\"" + escaped + L"\"";
  } else {
    at = end;
    while (at > nameEnd && IsXmlSpace(s[at - 1]))
      --at;
    replacement = L" " + name + L"=\"" + escaped + L"\"";
  }
  if (!Splice(at, removed, replacement))
    return false;
  int64_t delta = static_cast<int64_t>(replacement.size()) - removed;
  r.startTagLength = static_cast<uint32_t>(r.startTagLength + delta);
  r.length = static_cast<uint32_t>(r.length + delta);
  for (uint32_t c = r.firstChild; c; c = index_[c].nextSibling)
    ShiftSubtree(c, delta);
  ShiftFollowing(r.parent, r.nextSibling, delta);
  return true;
}
