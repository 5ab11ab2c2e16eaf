#include "xml/TextConverter.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "xml/XmlEncodings.h"
#include "xml/XmlScan.h"

namespace {

constexpr int kUtf16Le = 1200;
constexpr int kUtf16Be = 1201;
constexpr int kUtf32Le = 12000;
constexpr int kUtf32Be = 12001;
constexpr int kGb18030 = 54936;

bool IsOwnPage(int codePage) {
  return codePage == kUtf16Le || codePage == kUtf16Be || codePage == kUtf32Le ||
         codePage == kUtf32Be || codePage == kCodePageUtf32;
}

// The pages for which WideCharToMultiByte refuses to report substitutions.
bool CannotReportLoss(int codePage) {
  return (codePage >= 50220 && codePage <= 50222) || codePage == 50225 || codePage == 50227 ||
         codePage == 50229 || codePage == 52936 || codePage == kGb18030 ||
         (codePage >= 57002 && codePage <= 57011) || codePage == CP_UTF7 || codePage == CP_UTF8;
}

// Length of the UTF-8 sequence a lead byte announces; 0 for a byte that cannot lead.
size_t Utf8SequenceLength(unsigned char b) {
  if (b < 0x80)
    return 1;
  if (b >= 0xC2 && b <= 0xDF)
    return 2;
  if (b >= 0xE0 && b <= 0xEF)
    return 3;
  if (b >= 0xF0 && b <= 0xF4)
    return 4;
  return 0;
}

void AppendUtf32Unit(std::wstring* out, uint32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    out->push_back(L'?');
  } else if (cp > 0xFFFF) {
    cp -= 0x10000;
    out->push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out->push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out->push_back(static_cast<wchar_t>(cp));
  }
}

void PutUnit(std::string* out, uint32_t value, size_t size, bool bigEndian) {
  for (size_t i = 0; i < size; ++i) {
    size_t shift = 8 * (bigEndian ? size - 1 - i : i);
    out->push_back(static_cast<char>((value >> shift) & 0xFF));
  }
}

}  // namespace

bool IsConvertibleCodePage(int codePage) {
  return codePage == 0 || IsOwnPage(codePage) ||
         (codePage > 0 && IsValidCodePage(static_cast<UINT>(codePage)));
}

ByteDecoder::ByteDecoder(int codePage) : codePage_(codePage) {
  if (!IsConvertibleCodePage(codePage_))
    codePage_ = 0;
  switch (codePage_) {
    case kUtf16Le:
    case kUtf16Be:
      cut_ = Cut::kUnits;
      unitSize_ = 2;
      bigEndian_ = codePage_ == kUtf16Be;
      return;
    case kUtf32Le:
    case kUtf32Be:
    case kCodePageUtf32:
      cut_ = Cut::kUnits;
      unitSize_ = 4;
      bigEndian_ = codePage_ == kUtf32Be;
      return;
    case CP_UTF8:
      cut_ = Cut::kUtf8;
      return;
    case kGb18030:
      cut_ = Cut::kGb18030;
      return;
  }
  CPINFO info;
  if (!GetCPInfo(static_cast<UINT>(codePage_), &info) || info.MaxCharSize <= 1)
    return;
  cut_ = Cut::kHoldAll;
  if (info.MaxCharSize == 2 && info.LeadByte[0]) {
    for (int r = 0; r + 1 < MAX_LEADBYTES && info.LeadByte[r]; r += 2) {
      for (int b = info.LeadByte[r]; b <= info.LeadByte[r + 1]; ++b)
        leadByte_[b] = true;
    }
    cut_ = Cut::kLeadBytes;
  }
}

size_t ByteDecoder::IncompleteTail(const unsigned char* b, size_t n) const {
  switch (cut_) {
    case Cut::kNone:
      return 0;
    case Cut::kHoldAll:
      return n;
    case Cut::kUnits:
      return n % unitSize_;
    case Cut::kUtf8:
      return Utf8IncompleteTail(b, n);
    case Cut::kLeadBytes: {
      size_t i = 0;
      while (i < n)
        i += leadByte_[b[i]] ? 2 : 1;
      return i > n ? 1 : 0;
    }
    case Cut::kGb18030:
      return Gb18030IncompleteTail(b, n);
  }
  return 0;
}

void ByteDecoder::ConvertUnits(const unsigned char* b, size_t n, std::wstring* out) {
  size_t units = n / unitSize_;
  out->reserve(out->size() + units);
  for (size_t i = 0; i < units; ++i, b += unitSize_) {
    uint32_t v = 0;
    for (size_t k = 0; k < unitSize_; ++k)
      v |= static_cast<uint32_t>(b[bigEndian_ ? unitSize_ - 1 - k : k]) << (8 * k);
    if (unitSize_ == 4) {
      AppendUtf32Unit(out, v);
    } else if (v == 0) {
      ++nullsRemoved_;
    } else {
      out->push_back(static_cast<wchar_t>(v));
    }
  }
}

void ByteDecoder::Convert(const char* bytes, size_t length, std::wstring* out) {
  if (length == 0)
    return;
  if (cut_ == Cut::kUnits) {
    ConvertUnits(reinterpret_cast<const unsigned char*>(bytes), length, out);
    return;
  }
  UINT page = static_cast<UINT>(codePage_);
  while (length > 0) {
    // The system converts at most INT_MAX bytes a call; cut on a safe boundary below that.
    size_t piece = length;
    if (piece > INT_MAX / 2) {
      piece = INT_MAX / 2;
      if (cut_ != Cut::kHoldAll)
        piece -= IncompleteTail(reinterpret_cast<const unsigned char*>(bytes), piece);
    }
    size_t old = out->size();
    // No page the system knows makes more UTF-16 units than bytes, save ISCII's occasional
    // pair; ask for the exact size when the guess is short.
    out->resize(old + piece);
    int n = MultiByteToWideChar(page, 0, bytes, static_cast<int>(piece), &(*out)[old],
                                static_cast<int>(piece));
    if (n == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      int need = MultiByteToWideChar(page, 0, bytes, static_cast<int>(piece), nullptr, 0);
      out->resize(old + static_cast<size_t>(need > 0 ? need : 0));
      n = need > 0
              ? MultiByteToWideChar(page, 0, bytes, static_cast<int>(piece), &(*out)[old], need)
              : 0;
    }
    out->resize(old + static_cast<size_t>(n > 0 ? n : 0));
    bytes += piece;
    length -= piece;
  }
}

void ByteDecoder::Decode(const char* bytes, size_t length, std::wstring* out) {
  if (cut_ == Cut::kNone) {
    Convert(bytes, length, out);
    return;
  }
  if (cut_ == Cut::kHoldAll) {
    held_.append(bytes, length);
    return;
  }
  if (!held_.empty()) {
    // Complete the held sequence byte by byte: it is never longer than four bytes.
    size_t used = 0;
    auto incomplete = [this] {
      return IncompleteTail(reinterpret_cast<const unsigned char*>(held_.data()), held_.size());
    };
    while (used < length && incomplete() != 0)
      held_.push_back(bytes[used++]);
    if (incomplete() != 0)
      return;
    Convert(held_.data(), held_.size(), out);
    held_.clear();
    bytes += used;
    length -= used;
  }
  size_t tail = IncompleteTail(reinterpret_cast<const unsigned char*>(bytes), length);
  Convert(bytes, length - tail, out);
  held_.assign(bytes + length - tail, tail);
}

bool ByteDecoder::Finish(std::wstring* out) {
  if (held_.empty())
    return true;
  std::string rest;
  rest.swap(held_);
  if (cut_ == Cut::kUnits)
    return false;  // a partial code unit is dropped
  Cut cut = cut_;
  cut_ = Cut::kNone;
  Convert(rest.data(), rest.size(), out);
  cut_ = cut;
  return cut == Cut::kHoldAll;
}

size_t Utf8IncompleteTail(const unsigned char* b, size_t n) {
  // Look back over at most three continuation bytes for the lead byte.
  size_t back = 0;
  while (back < 3 && back < n && (b[n - 1 - back] & 0xC0) == 0x80)
    ++back;
  if (back == n)
    return 0;
  size_t need = Utf8SequenceLength(b[n - 1 - back]);
  return need > back + 1 ? back + 1 : 0;
}

// GB18030 sequences are one byte, or a lead 81..FE and one more byte, or a lead, a digit 30..39
// and two more bytes.
size_t Gb18030IncompleteTail(const unsigned char* b, size_t n) {
  size_t i = 0;
  while (i < n) {
    size_t size = 1;
    if (b[i] >= 0x81 && b[i] <= 0xFE) {
      if (i + 1 >= n)
        return n - i;
      size = (b[i + 1] >= 0x30 && b[i + 1] <= 0x39) ? 4 : 2;
    }
    if (i + size > n)
      return n - i;
    i += size;
  }
  return 0;
}

namespace {

// Length of the multibyte sequence at the start of [b, b + length) and its code point; 0 when
// it is malformed: cut short, overlong, a surrogate or beyond U+10FFFF.
size_t WellFormedUtf8Sequence(const unsigned char* b, size_t length, uint32_t* cp) {
  size_t need = Utf8SequenceLength(b[0]);
  if (need == 0 || need > length)
    return 0;
  unsigned char second = b[1];
  if ((b[0] == 0xE0 && second < 0xA0) || (b[0] == 0xED && second > 0x9F) ||
      (b[0] == 0xF0 && second < 0x90) || (b[0] == 0xF4 && second > 0x8F))
    return 0;
  uint32_t value = b[0] & (0x7F >> need);
  for (size_t k = 1; k < need; ++k) {
    if ((b[k] & 0xC0) != 0x80)
      return 0;
    value = (value << 6) | (b[k] & 0x3F);
  }
  *cp = value;
  return need;
}

// Decodes well-formed UTF-8 into `out`, which has room for `length` units; the number of units,
// or SIZE_MAX at the first malformed sequence.
size_t DecodeWellFormedUtf8(const unsigned char* b, size_t length, wchar_t* out) {
  size_t i = 0;
  size_t o = 0;
  while (i < length) {
#ifdef QUELM_XML_SSE2
    static_assert(sizeof(wchar_t) == 2, "the widening below makes UTF-16 units");
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= length) {
      __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
      if (_mm_movemask_epi8(chunk))
        break;  // a byte of a multibyte sequence
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), _mm_unpacklo_epi8(chunk, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o + 8), _mm_unpackhi_epi8(chunk, zero));
      i += 16;
      o += 16;
    }
    if (i >= length)
      break;
#endif
    unsigned char c = b[i];
    if (c < 0x80) {
      out[o++] = c;
      ++i;
      continue;
    }
    uint32_t cp;
    size_t need = WellFormedUtf8Sequence(b + i, length - i, &cp);
    if (need == 0)
      return SIZE_MAX;
    i += need;
    if (cp > 0xFFFF) {
      // Four bytes make two units: still no more units than bytes.
      cp -= 0x10000;
      out[o++] = static_cast<wchar_t>(0xD800 + (cp >> 10));
      out[o++] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out[o++] = static_cast<wchar_t>(cp);
    }
  }
  return o;
}

}  // namespace

bool DecodeUtf8(const char* bytes, size_t length, std::wstring* out) {
  out->clear();
  if (length == 0)
    return true;
  if (length > INT_MAX)
    return false;
  // UTF-8 never needs more UTF-16 units than it has bytes. Pieces go through a buffer of our
  // own: resizing the string first would fill it with zeros only to overwrite them.
  out->reserve(length);
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  wchar_t piece[4096];
  for (size_t done = 0; done < length;) {
    size_t size = std::min(length - done, sizeof(piece) / sizeof(piece[0]));
    if (done + size < length)
      size -= Utf8IncompleteTail(b + done, size);
    size_t n = DecodeWellFormedUtf8(b + done, size, piece);
    if (n == SIZE_MAX) {
      out->resize(length);
      int units = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), &(*out)[0],
                                      static_cast<int>(length));
      out->resize(units > 0 ? static_cast<size_t>(units) : 0);
      return units > 0;
    }
    out->append(piece, n);
    done += size;
  }
  return true;
}

bool LooksLikeUtf8(const char* bytes, size_t length) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  size_t i = 0;
  while (i < length) {
    unsigned char c = b[i];
    if (c == 0)
      return true;
    if (c < 0x80) {
      ++i;
      continue;
    }
    uint32_t cp;
    size_t need = WellFormedUtf8Sequence(b + i, length - i, &cp);
    if (need == 0)
      return false;
    i += need;
  }
  return true;
}

std::string EncodeText(const wchar_t* text, size_t length, int codePage, bool* lossy) {
  *lossy = false;
  std::string out;
  if (length == 0)
    return out;
  if (codePage == kUtf16Le || codePage == kUtf16Be) {
    out.reserve(length * 2);
    for (size_t i = 0; i < length; ++i)
      PutUnit(&out, static_cast<uint16_t>(text[i]), 2, codePage == kUtf16Be);
    return out;
  }
  if (codePage == kUtf32Le || codePage == kUtf32Be || codePage == kCodePageUtf32) {
    out.reserve(length * 4);
    for (size_t i = 0; i < length; ++i) {
      uint32_t c = static_cast<uint16_t>(text[i]);
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
          text[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(text[i + 1]) - 0xDC00);
        ++i;
      } else if (c >= 0xD800 && c <= 0xDFFF) {
        c = L'?';
      }
      PutUnit(&out, c, 4, codePage == kUtf32Be);
    }
    return out;
  }
  UINT page = IsConvertibleCodePage(codePage) ? static_cast<UINT>(codePage) : CP_ACP;
  bool askLoss = !CannotReportLoss(static_cast<int>(page));
  while (length > 0) {
    // Whole calls stay below INT_MAX units and never split a surrogate pair.
    size_t piece = length < INT_MAX / 4 ? length : INT_MAX / 4;
    if (piece < length && text[piece - 1] >= 0xD800 && text[piece - 1] <= 0xDBFF)
      --piece;
    BOOL usedDefault = FALSE;
    BOOL* used = askLoss ? &usedDefault : nullptr;
    int need =
        WideCharToMultiByte(page, 0, text, static_cast<int>(piece), nullptr, 0, nullptr, used);
    if (need > 0) {
      size_t old = out.size();
      out.resize(old + static_cast<size_t>(need));
      int n = WideCharToMultiByte(page, 0, text, static_cast<int>(piece), &out[old], need, nullptr,
                                  used);
      out.resize(old + static_cast<size_t>(n > 0 ? n : 0));
    } else {
      *lossy = true;
    }
    if (usedDefault)
      *lossy = true;
    text += piece;
    length -= piece;
  }
  return out;
}
