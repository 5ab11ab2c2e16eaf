#pragma once

#include <cstdint>

#if defined(_M_X64) || defined(_M_AMD64) || defined(__SSE2__)
#include <emmintrin.h>
#define QUELM_XML_SSE2 1
#endif
#if defined(_MSC_VER)
#include <intrin.h>
#endif

// Searches of UTF-16 text that look at eight characters at a time where the processor allows.
// They read nothing outside [text + pos, text + end). The parser spends most of its time here.

// Offset of the first character in [pos, end) equal to `a`, `b` or `c`, or `end`. Pass a
// character twice to look for fewer.
inline uint32_t FindXmlAny(const wchar_t* text,
                           uint32_t pos,
                           uint32_t end,
                           wchar_t a,
                           wchar_t b,
                           wchar_t c) {
#ifdef QUELM_XML_SSE2
  const __m128i va = _mm_set1_epi16(static_cast<short>(a));
  const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
  const __m128i vc = _mm_set1_epi16(static_cast<short>(c));
  while (pos + 8 <= end) {
    __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + pos));
    __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(chunk, va), _mm_cmpeq_epi16(chunk, vb)),
                     _mm_cmpeq_epi16(chunk, vc));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask) {
#if defined(_MSC_VER)
      unsigned long bit;
      _BitScanForward(&bit, mask);
#else
      unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
#endif
      return pos + static_cast<uint32_t>(bit / 2);
    }
    pos += 8;
  }
#endif
  while (pos < end && text[pos] != a && text[pos] != b && text[pos] != c)
    ++pos;
  return pos;
}

inline uint32_t FindXmlChar(const wchar_t* text, uint32_t pos, uint32_t end, wchar_t a) {
  return FindXmlAny(text, pos, end, a, a, a);
}
