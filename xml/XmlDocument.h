#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xml/XmlElementIndex.h"
#include "xml/XmlResultLog.h"
#include "xml/XmlTokenizer.h"

class XmlByteSource;

// An XML document held as one UTF-16 text plus an index of its elements, navigated with a
// cursor of three positions: `parent` (the element whose children are walked, 0 for the top
// level), `current` (the element the cursor is on, 0 for none) and `child` (the child of
// `current` that EnterElement returns to after a LeaveElement). The cursor may also sit on a
// non-element node of the current level; `current` is then the element before that node.
//
// The reader is tolerant: it does not validate, resolves no external entities and processes no
// document type definition. Parse() indexes whatever it can and tells whether the document is
// well formed with one root; navigating an ill-formed document is safe but shows only what was
// indexed. Attributes and entities are read lazily, when asked for.
//
// Editing splices text into the document and keeps the index in step; it never reformats what
// is already there. Reading, writing and parsing append entries to GetLog(); failures are false
// or empty results, never exceptions.
//
// A document belongs to one thread at a time.
class XmlDocument {
 public:
  // Document flags.
  enum : uint32_t {
    kFlagUtf16LittleEndian = 0x1,
    kFlagUtf8Bom = 0x4,     // a UTF-8 byte-order mark was read, or is to be written
    kFlagIgnoreCase = 0x8,  // element names compare ignoring ASCII letter case
    kFlagReadFile = 0x10,   // set while LoadFile runs
    kFlagWriteFile = 0x20,  // set while SaveFile runs
    kFlagAppend = 0x40,     // SaveFile appends to the file
    kFlagUtf16BigEndian = 0x80,
    kFlagTrimWhitespace = 0x100,      // content read loses leading and trailing white space
    kFlagCollapseWhitespace = 0x200,  // content read has inner white space runs made one space
  };

  // Node types, as bits so that FindNextNode can take a set of them.
  enum : int {
    kNodeElement = 1,
    kNodeText = 2,
    kNodeWhitespace = 4,
    kNodeCdata = 8,
    kNodeProcessingInstruction = 16,
    kNodeComment = 32,
    kNodeDocumentType = 64,
    kNodeLoneEndTag = 128,
    kNodeAny = 255,
  };

  // Options of AppendElement.
  enum : int {
    kAppendCdata = 0x1,           // write the data as a CDATA section
    kAppendNoLineBreak = 0x2,     // no "\r\n" after the new element
    kAppendKeepReferences = 0x8,  // references already in the data are not escaped again
  };

  XmlDocument() = default;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // --- Document life.

  // Replaces the text (null clears it), starts a fresh log and parses. Refused while a file
  // mode flag is set.
  bool SetDocumentText(const wchar_t* text);
  bool SetDocumentText(const std::wstring& text);
  bool SetDocumentText(std::wstring&& text);
  // SetDocumentText(Utf8ToWide(utf8)) in one step: the bytes are converted straight into the
  // document, mostly without the system's help (layouts and menus arrive as UTF-8).
  bool SetDocumentUtf8(const std::string& utf8);
  // Rebuilds the index and resets the cursor. True for a well-formed text with exactly one
  // root element.
  bool Parse();
  const std::wstring& GetDocumentText() const { return text_; }

  // Reads the file into the text without parsing it: call Parse() next. The flags 0x1, 0x4 and
  // 0x80 and GetEncoding() afterwards describe the file; the others stay as set.
  bool LoadFile(const std::wstring& path);
  // LoadFile of a file's content already read into memory.
  bool LoadBytes(const std::string& bytes);
  // Writes the text in the encoding it declares (UTF-8 when none; UTF-16 when flag 0x1 or 0x80
  // is set), appending under flag 0x40.
  bool SaveFile(const std::wstring& path);

  // The log of the last load, save or SetDocumentText and the parses since.
  const std::wstring& GetLog() const { return log_.text(); }
  uint32_t GetDocFlags() const { return flags_; }
  void SetDocFlags(uint32_t flags) { flags_ = flags; }
  const std::wstring& GetEncoding() const { return encoding_; }

  // --- Navigation.

  // Puts the cursor before the first top-level node, as after a parse.
  void ResetPos();
  // Moves to the next sibling element after `current` (the first child of `parent` when there
  // is none) named `name`, or any when `name` is empty. Nothing moves on failure.
  bool FindElement(const std::wstring& name = std::wstring());
  // Moves to the next node of the current level whose type is in `types` and returns its type;
  // 0, with nothing moved, when the level has none. Other nodes and malformed markup are
  // skipped. By default only elements are wanted, so the result is 1 or 0.
  int FindNextNode(int types = kNodeElement);
  // Steps into the element the cursor is on (not from a non-element node).
  bool EnterElement();
  // Steps out to `parent`; EnterElement() returns to the element left.
  bool LeaveElement();

  // Element name, "#text", "#cdata-section", "#comment", a processing-instruction target, the
  // name of a lone end tag or of the document type; empty when the cursor is on nothing.
  std::wstring GetNodeName() const;
  // The type of the node or element the cursor is on; 0 for none.
  int GetNodeType() const;
  // On an element: its text (references resolved) and CDATA sections up to its first child
  // element. On a node: text with references resolved, or the inside of the other kinds.
  std::wstring GetContent() const;
  // Value of an attribute of the current element (or processing instruction), references
  // resolved; empty when absent. Of a name given twice in one tag, the occurrence the last
  // GetAttributeName returned, otherwise the first.
  std::wstring GetAttribute(const std::wstring& name) const;
  // Name of the attribute at 0-based `index`; empty past the last. Asking for the indexes in
  // turn costs one pass over the tag, not one per index.
  std::wstring GetAttributeName(int index) const;
  // GetAttributeName(index) and that attribute's value, copied into the caller's strings so
  // that a walk over many tags reuses their space. False, with nothing copied, past the last
  // attribute or for one without a name.
  bool GetAttributeAt(int index, std::wstring* name, std::wstring* value) const;

  // --- Editing. Refused under the file-read flag.

  // Inserts a new element after the cursor (at the end of `parent`'s content when `current` is
  // 0) and moves onto it. A self-closing `parent` is opened first. Refused for names that
  // cannot be tag names.
  bool AppendElement(const std::wstring& name,
                     const std::wstring& data = std::wstring(),
                     int options = 0);
  // Replaces the content of the current element, which must have no child elements, with
  // `text` escaped; on a non-element node, replaces the node's text in that node's form.
  bool SetContent(const std::wstring& text);
  // Sets or adds an attribute of the current element.
  bool SetAttribute(const std::wstring& name, const std::wstring& value);
  bool SetAttribute(const std::wstring& name, int value);

  // --- Text and encoding functions.

  static std::wstring EncodeEntities(const std::wstring& text,
                                     bool forAttribute,
                                     bool keepReferences = false);
  // `options`: kFlagTrimWhitespace and kFlagCollapseWhitespace.
  static std::wstring DecodeEntities(const std::wstring& text, uint32_t options = 0);
  static int CodePageOfEncoding(const std::wstring& name);
  static std::wstring FindDeclaredEncoding(const std::wstring& text);

  // Whether the index and the cursor agree with the text: every tag lies inside it, children
  // inside their parents, siblings in order and linked both ways, and the cursor is a path of
  // the tree. O(elements); for tests and diagnostics.
  bool IsConsistent() const;

 private:
  // The attributes of the tag last read, and where GetAttributeName last stopped in them, so
  // that reading them in turn is one pass over the tag, or none for a tag in the table.
  struct AttributeCursor {
    uint64_t key = UINT64_MAX;  // the element's position, or 2^32 + offset of an instruction
    uint32_t version = 0;       // textVersion_ it was taken at
    bool table = false;         // [begin, end) indexes attributes_, otherwise the text
    uint32_t begin = 0;
    uint32_t end = 0;
    int index = -1;  // the attribute GetAttributeName returned last; -1 for none
    // In the text: that attribute, and where the one after it begins.
    XmlAttributeSpan attribute;
    uint32_t next = 0;
  };

  struct NodePosition {
    uint32_t offset = 0;
    uint32_t length = 0;
    int type = 0;  // 0: the cursor is not on a non-element node
  };

  bool ParseText();
  void ClearIndex();
  bool NameIs(uint32_t pos, const std::wstring& name) const;
  uint32_t NameEnd(uint32_t pos) const;
  uint32_t ContentStart(uint32_t pos) const;
  uint32_t ContentEnd(uint32_t pos) const;
  uint32_t ElementContentEnd(const XmlElementRecord& r) const;
  // Where the attributes of the element or processing instruction under the cursor lie.
  bool AttributeText(uint32_t* begin, uint32_t* end) const;
  // The attribute cursor of the tag under the cursor; null when it is on neither.
  inline AttributeCursor* Attributes() const;
  AttributeCursor* TakeAttributes(uint64_t key) const;
  // The table entries [*begin, *end) of a plain tag; `hint` is where they may begin.
  void TableRange(const XmlElementRecord& r, uint32_t hint, uint32_t* begin, uint32_t* end) const;
  std::wstring AttributeValue(const XmlAttributeSpan& a) const;
  std::wstring DecodedValue(const XmlAttributeSpan& a) const;
  bool AttributeNamed(const XmlAttributeSpan& a, const std::wstring& name) const;
  // GetAttribute past the attribute GetAttributeName returned last.
  std::wstring FindAttribute(AttributeCursor* c, const std::wstring& name) const;
  // GetNodeName on a node that is not an element.
  std::wstring NodeKindName() const;
  // GetAttribute and GetAttributeName for a tag that is not in the table.
  std::wstring ScanAttribute(AttributeCursor* c, const std::wstring& name) const;
  std::wstring ScanAttributeName(AttributeCursor* c, int index) const;
  void MoveTo(uint32_t pos);
  // FindNextNode for types other than elements alone: a scan of the level's text.
  int ScanNextNode(int types, uint32_t nextElement);

  // Editing helpers (XmlDocumentEditing.cpp).
  bool Splice(uint32_t offset, uint32_t removed, const std::wstring& inserted);
  void ShiftSubtree(uint32_t pos, int64_t delta);
  // After a change of `delta` characters inside `parent`'s content: shifts `first` and the
  // siblings after it, and grows every ancestor while shifting what follows it.
  void ShiftFollowing(uint32_t parent, uint32_t first, int64_t delta);
  void OpenEmptyElement(uint32_t pos);
  bool AppendElementUnsafe(const std::wstring& name, const std::wstring& data, int options);
  bool SetElementContent(const std::wstring& text);
  bool SetNodeContent(const std::wstring& text);
  bool SetAttributeUnsafe(const std::wstring& name, const std::wstring& value);

  // File helpers (XmlDocumentFile.cpp).
  bool Load(const std::wstring* path, const std::string* bytes);
  bool ReadFrom(XmlByteSource& source);
  bool WriteToFile(const std::wstring& path);
  void LogFileError(unsigned long code);

  std::wstring text_;
  XmlElementIndex index_;
  uint32_t parent_ = 0;
  uint32_t current_ = 0;
  uint32_t child_ = 0;
  NodePosition node_;
  uint32_t flags_ = 0;
  std::wstring encoding_;
  XmlResultLog log_;
  uint32_t textVersion_ = 0;  // changes with every change of the text
  // The attributes of the plain start tags (kElementPlainTag), in document order, as the last
  // parse found them; valid while attributesVersion_ is textVersion_.
  std::vector<XmlAttributeSpan> attributes_;
  uint32_t attributesVersion_ = 0;
  mutable AttributeCursor attributeCursor_;
};

// The calls a walk makes per node and per attribute are inline: the layout builder and the task
// store make hundreds of thousands of them, and the work of each is a few loads.

inline void XmlDocument::MoveTo(uint32_t pos) {
  current_ = pos;
  child_ = 0;
  node_ = NodePosition();
}

inline int XmlDocument::FindNextNode(int types) {
  if (text_.empty() || (flags_ & kFlagWriteFile))
    return 0;
  uint32_t nextElement = current_ ? index_[current_].nextSibling : index_[parent_].firstChild;
  if ((types & ~kNodeElement) == 0) {
    if (!(types & kNodeElement) || !nextElement)
      return 0;
    MoveTo(nextElement);
    return kNodeElement;
  }
  return ScanNextNode(types, nextElement);
}

inline std::wstring XmlDocument::GetNodeName() const {
  if (node_.type)
    return NodeKindName();
  if (!current_)
    return std::wstring();
  const XmlElementRecord& r = index_[current_];
  uint32_t length = NameLengthOf(r);
  return std::wstring(text_.data() + r.start + 1,
                      length ? length : NameEnd(current_) - r.start - 1);
}

inline XmlDocument::AttributeCursor* XmlDocument::Attributes() const {
  // The cursor's position names the tag without a look at the index; every change of the text
  // changes the version.
  uint64_t key;
  if (node_.type == kNodeProcessingInstruction)
    key = (uint64_t{1} << 32) | node_.offset;
  else if (!node_.type && current_)
    key = current_;
  else
    return nullptr;
  AttributeCursor& c = attributeCursor_;
  if (c.key == key && c.version == textVersion_)
    return &c;
  return TakeAttributes(key);
}

inline std::wstring XmlDocument::AttributeValue(const XmlAttributeSpan& a) const {
  return a.hasAmpersand ? DecodedValue(a)
                        : std::wstring(text_.data() + a.valueStart, a.valueEnd - a.valueStart);
}

inline bool XmlDocument::AttributeNamed(const XmlAttributeSpan& a, const std::wstring& name) const {
  return a.nameEnd - a.nameStart == name.size() &&
         XmlSameChars(text_.data() + a.nameStart, name.data(), name.size());
}

inline std::wstring XmlDocument::GetAttribute(const std::wstring& name) const {
  AttributeCursor* c = name.empty() ? nullptr : Attributes();
  if (!c)
    return std::wstring();
  // Mostly the name GetAttributeName has just returned.
  if (c->table && c->index >= 0 && AttributeNamed(attributes_[c->begin + c->index], name))
    return AttributeValue(attributes_[c->begin + c->index]);
  return FindAttribute(c, name);
}

inline bool XmlDocument::GetAttributeAt(int index, std::wstring* name, std::wstring* value) const {
  AttributeCursor* c = index < 0 ? nullptr : Attributes();
  if (!c)
    return false;
  const XmlAttributeSpan* a = nullptr;
  if (c->table) {
    if (static_cast<uint32_t>(index) >= c->end - c->begin)
      return false;
    c->index = index;
    a = &attributes_[c->begin + index];
    if (a->nameEnd == a->nameStart)
      return false;
    name->assign(text_.data() + a->nameStart, a->nameEnd - a->nameStart);
  } else {
    std::wstring scanned = ScanAttributeName(c, index);
    if (scanned.empty())
      return false;
    name->swap(scanned);
    a = &c->attribute;
  }
  if (a->hasAmpersand)
    *value = DecodedValue(*a);
  else
    value->assign(text_.data() + a->valueStart, a->valueEnd - a->valueStart);
  return true;
}

inline std::wstring XmlDocument::GetAttributeName(int index) const {
  AttributeCursor* c = index < 0 ? nullptr : Attributes();
  if (!c)
    return std::wstring();
  if (!c->table)
    return ScanAttributeName(c, index);
  if (static_cast<uint32_t>(index) >= c->end - c->begin)
    return std::wstring();
  c->index = index;
  const XmlAttributeSpan& a = attributes_[c->begin + index];
  return std::wstring(text_.data() + a.nameStart, a.nameEnd - a.nameStart);
}
