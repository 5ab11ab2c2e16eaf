#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// One element of a parsed document, as offsets into the document text. Positions of other
// records: 0 means none (or, as parent, the document).
struct XmlElementRecord {
  uint32_t start;           // offset of the "<" of the start tag
  uint32_t startTagLength;  // the whole element when it is self-closing
  uint32_t length;          // start tag to end of end tag (or to where an unended one stops)
  uint32_t parent;
  uint32_t firstChild;
  uint32_t nextSibling;
  uint32_t prevSibling;
  uint32_t flags;  // the bits below, and the name's length in the high 16 bits
};

enum : uint32_t {
  kElementEmpty = 0x1,      // written as a self-closing tag
  kElementIllFormed = 0x2,  // on the document record: the document is not well formed
  kElementUnended = 0x4,    // no end tag: the element stops where its parent or the text ends
  kElementPlainTag = 0x8,   // the parse put the start tag's attributes in the document's table
};

// Readers ask for an element's name far more often than anything changes it, and no edit
// renames an element, so its length is kept with the flags. 0 stands for a name too long for
// 16 bits, which is then measured in the text.
inline uint32_t NameLengthFlags(uint32_t length) {
  return length <= 0xFFFF ? length << 16 : 0;
}
inline uint32_t NameLengthOf(const XmlElementRecord& r) {
  return r.flags >> 16;
}

// The element index of a document: records in blocks of 65,536, addressed by a 32-bit position
// whose high 16 bits are the block and low 16 bits the slot. Position 0 is the document record.
// The first block starts at the size a reset asks for and grows to its full size only when a
// document needs it, so a small fragment costs little; later blocks are allocated whole.
// Storage is kept across resets, so reparsing allocates nothing. A reference to a record stays
// valid until the next Add().
class XmlElementIndex {
 public:
  static constexpr uint32_t kBlockRecords = 65536;

  XmlElementIndex() = default;
  XmlElementIndex(const XmlElementIndex&) = delete;
  XmlElementIndex& operator=(const XmlElementIndex&) = delete;

  // Drops every element, clears the document record and makes room for `expected` records.
  void Reset(uint32_t expected);
  // A new zeroed record; its position.
  uint32_t Add();

  XmlElementRecord& operator[](uint32_t pos) {
    return pos ? blocks_[pos >> 16][pos & 0xFFFF] : document_;
  }
  const XmlElementRecord& operator[](uint32_t pos) const {
    return pos ? blocks_[pos >> 16][pos & 0xFFFF] : document_;
  }
  // Number of positions in use, the document's included.
  uint32_t size() const { return count_; }

 private:
  // Makes room for `records` positions in all, keeping the records in use.
  void Grow(uint64_t records);

  XmlElementRecord document_ = {};
  std::vector<std::unique_ptr<XmlElementRecord[]>> blocks_;
  uint32_t firstBlockRecords_ = 0;  // size of blocks_[0] while it is not yet full
  uint64_t capacity_ = 0;           // positions the blocks hold
  uint32_t count_ = 1;
};
