// Finding the places worth comparing in a buffer for the word search: a byte
// equal to the text's first character in either case and followed by its
// second character (or by a carriage return, which the reader skips), or a
// stop byte wherever it is. Sixteen bytes at a time where the processor has
// SSE2 (every x86-64), eight at a time in a 64-bit word elsewhere (the 32-bit
// build runs on processors without SSE2). Both ways give the same answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tamblor::text {

struct ScanTargets {
  unsigned char first_upper, first_lower;  // the text's first character
  unsigned char stop;                      // ends the scan wherever it is
  bool has_second;                         // false for a one-character text
  unsigned char second_upper, second_lower, second_any;

  // True for a place worth comparing at `at`; the next byte is looked at only
  // below `limit` (a place at the limit's edge counts).
  bool At(const unsigned char* at, const unsigned char* limit) const {
    if (*at == stop) return true;
    if (*at != first_upper && *at != first_lower) return false;
    if (!has_second || at + 1 >= limit) return true;
    unsigned char next = at[1];
    return next == second_upper || next == second_lower || next == second_any;
  }
  // The first-character or stop test alone.
  bool Starts(unsigned char x) const { return x == stop || x == first_upper || x == first_lower; }
};

namespace scan_detail {

// Non-zero when some byte of `word` is zero (the bit may be wrong after the
// first zero byte; callers look at the bytes again).
constexpr uint64_t HasZeroByte(uint64_t word) { return (word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull; }
constexpr uint64_t Spread(unsigned char x) { return 0x0101010101010101ull * x; }

inline bool WordStarts(const unsigned char* at, const ScanTargets& t) {
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return (HasZeroByte(word ^ Spread(t.stop)) | HasZeroByte(word ^ Spread(t.first_upper)) |
          HasZeroByte(word ^ Spread(t.first_lower))) != 0;
}

#if defined(__SSE2__)
// A bit per byte of the 16 at `at`: set where ScanTargets::At holds (the next
// byte of each is read, so at + 16 must lie below the limit).
inline unsigned Mask16(const unsigned char* at, const ScanTargets& t) {
  __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  __m128i first = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(t.first_upper))),
                               _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(t.first_lower))));
  if (t.has_second) {
    __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
    __m128i second = _mm_or_si128(_mm_cmpeq_epi8(y, _mm_set1_epi8(static_cast<char>(t.second_upper))),
                                  _mm_cmpeq_epi8(y, _mm_set1_epi8(static_cast<char>(t.second_lower))));
    second = _mm_or_si128(second, _mm_cmpeq_epi8(y, _mm_set1_epi8(static_cast<char>(t.second_any))));
    first = _mm_and_si128(first, second);
  }
  __m128i stop = _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(t.stop)));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(first, stop)));
}
#endif

}  // namespace scan_detail

// The first place in [from, to), or nullptr; next bytes are read below `limit` (>= to).
inline const unsigned char* ScanForwardWords(const unsigned char* from, const unsigned char* to,
                                             const unsigned char* limit, const ScanTargets& t) {
  for (; to - from >= 8; from += 8) {
    if (!scan_detail::WordStarts(from, t)) continue;
    for (int i = 0; i < 8; ++i) {
      if (t.At(from + i, limit)) return from + i;
    }
  }
  for (; from < to; ++from) {
    if (t.At(from, limit)) return from;
  }
  return nullptr;
}

// The last place in [from, to), or nullptr; next bytes are read below `limit` (>= to).
inline const unsigned char* ScanBackwardWords(const unsigned char* from, const unsigned char* to,
                                              const unsigned char* limit, const ScanTargets& t) {
  for (; to - from >= 8; to -= 8) {
    if (!scan_detail::WordStarts(to - 8, t)) continue;
    for (int i = 1; i <= 8; ++i) {
      if (t.At(to - i, limit)) return to - i;
    }
  }
  while (to > from) {
    --to;
    if (t.At(to, limit)) return to;
  }
  return nullptr;
}

inline const unsigned char* ScanForward(const unsigned char* from, const unsigned char* to, const unsigned char* limit,
                                        const ScanTargets& t) {
#if defined(__SSE2__)
  for (; to - from >= 16 && limit - from > 16; from += 16) {
    unsigned mask = scan_detail::Mask16(from, t);
    if (mask != 0) return from + __builtin_ctz(mask);
  }
#endif
  return ScanForwardWords(from, to, limit, t);
}

inline const unsigned char* ScanBackward(const unsigned char* from, const unsigned char* to,
                                         const unsigned char* limit, const ScanTargets& t) {
#if defined(__SSE2__)
  // The last bytes before the limit have no next byte to load: those go by words.
  if (to >= limit && to - from >= 1) {
    const unsigned char* edge = to - 1;
    if (t.At(edge, limit)) return edge;
    to = edge;
  }
  for (; to - from >= 16; to -= 16) {
    unsigned mask = scan_detail::Mask16(to - 16, t);
    if (mask != 0) return to - 16 + (31 - __builtin_clz(mask));
  }
#endif
  return ScanBackwardWords(from, to, limit, t);
}

}  // namespace tamblor::text
