#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Conversion between the bytes of a file and UTF-16. Code pages are Windows code pages (0 is
// the default ANSI page) plus the pages the document converts itself: 1200 and 1201 (UTF-16
// little- and big-endian), kCodePageUtf32 and 12000 (UTF-32 little-endian) and 12001 (UTF-32
// big-endian). All other pages go through the operating system's conversion without flags.

// Whether `codePage` can be converted at all: one of the document's own or one the system has.
bool IsConvertibleCodePage(int codePage);

// Turns the bytes of one encoding into UTF-16 piece by piece, as a file is read. A multibyte
// sequence cut at the end of a piece is carried over to the next. Encodings whose pieces
// cannot be cut safely (stateful ones such as ISO-2022 or UTF-7) are held until Finish().
class ByteDecoder {
 public:
  // An unconvertible page decodes as the default ANSI page.
  explicit ByteDecoder(int codePage);
  ByteDecoder(const ByteDecoder&) = delete;
  ByteDecoder& operator=(const ByteDecoder&) = delete;

  void Decode(const char* bytes, size_t length, std::wstring* out);
  // Converts what is still held; false when it was an incomplete sequence, which the system
  // then replaces (or, for UTF-16 and UTF-32, which is dropped).
  bool Finish(std::wstring* out);

  // UTF-16 only: zero characters are dropped, and counted here.
  size_t nullsRemoved() const { return nullsRemoved_; }

 private:
  enum class Cut { kNone, kUtf8, kLeadBytes, kGb18030, kUnits, kHoldAll };

  // How many bytes at the end of [bytes, bytes + length) belong to an unfinished sequence.
  size_t IncompleteTail(const unsigned char* bytes, size_t length) const;
  void Convert(const char* bytes, size_t length, std::wstring* out);
  void ConvertUnits(const unsigned char* bytes, size_t length, std::wstring* out);

  int codePage_;
  Cut cut_ = Cut::kNone;
  size_t unitSize_ = 1;  // 2 for UTF-16, 4 for UTF-32
  bool bigEndian_ = false;
  bool leadByte_[256] = {};
  std::string held_;
  size_t nullsRemoved_ = 0;
};

// How many bytes at the end of a piece begin a sequence the piece does not finish.
size_t Utf8IncompleteTail(const unsigned char* bytes, size_t length);
size_t Gb18030IncompleteTail(const unsigned char* bytes, size_t length);

// Replaces `*out` with UTF-8 bytes turned into UTF-16, exactly as the system's conversion turns
// them: well-formed text is decoded here, a quick pass over runs of ASCII; text with any
// malformed sequence goes to the system whole, which decides the replacements. False (and
// `*out` empty) when the system fails or the text is over INT_MAX bytes.
bool DecodeUtf8(const char* bytes, size_t length, std::wstring* out);

// Whether every byte with the high bit set begins a valid UTF-8 sequence, up to the end or up
// to a zero byte.
bool LooksLikeUtf8(const char* bytes, size_t length);

// UTF-16 to the bytes of `codePage`. `*lossy` tells whether the system substituted characters;
// it is never set for the pages whose conversion cannot tell (UTF-7, UTF-8, ISO-2022, HZ,
// GB18030, ISCII) nor for the document's own pages, where a lone surrogate becomes "?".
std::string EncodeText(const wchar_t* text, size_t length, int codePage, bool* lossy);
