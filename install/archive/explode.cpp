#include "install/archive/explode.h"

#include "install/archive/memory_io.h"

#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

namespace install::archive {
namespace {

using namespace dcl;

// ---------------------------------------------------------------------------
// Lookup tables, computed by the compiler from the code lengths.
//
// Every code is recognised from the low 8 bits of the bit buffer (the next 8
// bits of the stream, first bit in bit 0). Length and distance codes are at
// most 8 bits long, so one table each suffices. Literal codes run to 13 bits:
// an entry of the first literal table with bits == 0 points at a second-level
// table indexed by the stream bits that follow the first 8.

constexpr int kInputSize = 2048;
constexpr int kHistorySize = 4096;
constexpr int kFlushSize = 4096;
constexpr unsigned kWindowEnd = kHistorySize + kFlushSize;  // 8192
// A repeat starts below kWindowEnd and is copied 8 bytes at a time.
constexpr int kWindowSize = kWindowEnd + kMaxRepeatLength + 16;

struct LengthEntry {
  uint16_t base;
  uint8_t code_bits;
  uint8_t extra_bits;
};

struct CodeEntry {
  uint8_t symbol;
  uint8_t bits;
};

struct LiteralEntry {
  uint8_t symbol;
  uint8_t bits;  // 0: look up the second level
  uint8_t sub_bits;
  uint16_t sub_offset;
};

constexpr std::array<LengthEntry, 256> kLengthTable = [] {
  std::array<LengthEntry, 256> table{};
  uint16_t codes[16] = {};
  StreamOrderCodes(kLengthCodeLengths, codes);
  for (int s = 0; s < 16; ++s) {
    const int bits = kLengthCodeLengths[s];
    for (int key = codes[s]; key < 256; key += 1 << bits) {
      table[key] = LengthEntry{kLengthBase[s], static_cast<uint8_t>(bits), kLengthExtraBits[s]};
    }
  }
  return table;
}();

constexpr std::array<CodeEntry, 256> kDistanceTable = [] {
  std::array<CodeEntry, 256> table{};
  uint16_t codes[64] = {};
  StreamOrderCodes(kDistanceCodeLengths, codes);
  for (int s = 0; s < 64; ++s) {
    const int bits = kDistanceCodeLengths[s];
    for (int key = codes[s]; key < 256; key += 1 << bits) {
      table[key] = CodeEntry{static_cast<uint8_t>(s), static_cast<uint8_t>(bits)};
    }
  }
  return table;
}();

// Second-level index width for each first 8 bits of the long literal codes.
constexpr std::array<uint8_t, 256> LiteralSubBits() {
  std::array<uint8_t, 256> sub_bits{};
  uint16_t codes[256] = {};
  StreamOrderCodes(kLiteralCodeLengths, codes);
  for (int s = 0; s < 256; ++s) {
    if (kLiteralCodeLengths[s] <= 8) continue;
    const int prefix = codes[s] & 0xFF;
    const int rest = kLiteralCodeLengths[s] - 8;
    if (rest > sub_bits[prefix]) sub_bits[prefix] = static_cast<uint8_t>(rest);
  }
  return sub_bits;
}

constexpr size_t LiteralSecondLevelSize() {
  size_t size = 0;
  for (uint8_t bits : LiteralSubBits()) {
    if (bits != 0) size += size_t{1} << bits;
  }
  return size;
}

struct LiteralTables {
  std::array<LiteralEntry, 256> first;
  std::array<CodeEntry, LiteralSecondLevelSize()> second;
};

constexpr LiteralTables kLiteralTables = [] {
  LiteralTables t{};
  uint16_t codes[256] = {};
  StreamOrderCodes(kLiteralCodeLengths, codes);
  const std::array<uint8_t, 256> sub_bits = LiteralSubBits();
  uint16_t offset = 0;
  for (int prefix = 0; prefix < 256; ++prefix) {
    if (sub_bits[prefix] == 0) continue;
    t.first[prefix] = LiteralEntry{0, 0, sub_bits[prefix], offset};
    offset = static_cast<uint16_t>(offset + (1 << sub_bits[prefix]));
  }
  for (int s = 0; s < 256; ++s) {
    const int bits = kLiteralCodeLengths[s];
    if (bits <= 8) {
      for (int key = codes[s]; key < 256; key += 1 << bits) {
        t.first[key] = LiteralEntry{static_cast<uint8_t>(s), static_cast<uint8_t>(bits), 0, 0};
      }
    } else {
      const LiteralEntry& link = t.first[codes[s] & 0xFF];
      const int rest_bits = bits - 8;
      for (int key = codes[s] >> 8; key < (1 << link.sub_bits); key += 1 << rest_bits) {
        t.second[link.sub_offset + key] = CodeEntry{static_cast<uint8_t>(s), static_cast<uint8_t>(bits)};
      }
    }
  }
  return t;
}();

// ---------------------------------------------------------------------------
// State in the work area.

struct ExplodeState {
  ExplodeRead read;
  ExplodeWrite write;
  void* param;
  bool input_ended;  // a read returned 0; it is not asked again
  uint8_t input[kInputSize + 8];
  uint8_t window[kWindowSize];
};

static_assert(sizeof(ExplodeState) + alignof(ExplodeState) - 1 <= kExplodeWorkSize,
              "the decoder state must fit the work area at any alignment");

// The bit buffer. `count` valid bits sit at the bottom of `bits`; at least 8
// are valid between tokens (the decoder is always one byte ahead), so the
// low 8 bits can be looked up without a check. Bits above `count` are either
// zero or the true bits of the following input bytes.
struct Cursor {
  uint64_t bits;
  unsigned count;
  unsigned in_pos;
  unsigned in_len;
};

enum TokenOutcome { kToken, kEnd, kAbort };

bool FillInput(ExplodeState& s, Cursor& c) {
  if (s.input_ended) return false;
  unsigned size = kInputSize;
  unsigned got = s.read(reinterpret_cast<char*>(s.input), &size, s.param);
  if (got > kInputSize) got = kInputSize;
  if (got == 0) {
    s.input_ended = true;
    return false;
  }
  c.in_pos = 0;
  c.in_len = got;
  return true;
}

// Loads bytes until `n` bits are valid (n <= 56); false when the input ended.
bool Ensure(ExplodeState& s, Cursor& c, unsigned n) {
  while (c.count < n) {
    if (c.in_pos == c.in_len && !FillInput(s, c)) return false;
    c.bits |= uint64_t{s.input[c.in_pos++]} << c.count;
    c.count += 8;
  }
  return true;
}

// Consuming n bits succeeds when the 8 bits after them are present too.
bool Consume(ExplodeState& s, Cursor& c, unsigned n) {
  if (!Ensure(s, c, n + 8)) return false;
  c.bits >>= n;
  c.count -= n;
  return true;
}

inline void CopyRepeat(uint8_t* dst, unsigned distance, unsigned length) {
  const uint8_t* src = dst - distance;
  if (distance >= 8) {
    // May write up to 7 bytes past the repeat; the window has room for it.
    for (unsigned i = 0; i < length; i += 8) std::memcpy(dst + i, src + i, 8);
  } else if (distance == 1) {
    std::memset(dst, *src, length);
  } else {
    for (unsigned i = 0; i < length; ++i) dst[i] = src[i];
  }
}

// Format notes for the checked path: every consumption is tested, so this is
// used near the end of each input buffer, where a token may need bytes from
// the next read. It follows the stream bit by bit as laid out in explode.h.
TokenOutcome DecodeTokenChecked(ExplodeState& s, Cursor& c, unsigned& pos, bool ascii,
                                unsigned dict_bits) {
  c.bits &= (uint64_t{1} << c.count) - 1;
  const bool repeat = c.bits & 1;
  if (!Consume(s, c, 1)) return kAbort;
  if (!repeat) {
    unsigned symbol;
    if (!ascii) {
      symbol = c.bits & 0xFF;
      if (!Consume(s, c, 8)) return kAbort;
    } else {
      const LiteralEntry& e = kLiteralTables.first[c.bits & 0xFF];
      unsigned bits = e.bits;
      symbol = e.symbol;
      if (bits == 0) {
        // The code is longer than 8 bits, so its consumption needs these
        // bits anyway; a failure shows up in Consume below.
        Ensure(s, c, 8 + e.sub_bits);
        const CodeEntry& sub = kLiteralTables.second[e.sub_offset + ((c.bits >> 8) & ((1u << e.sub_bits) - 1))];
        bits = sub.bits;
        symbol = sub.symbol;
      }
      if (!Consume(s, c, bits)) return kAbort;
    }
    s.window[pos++] = static_cast<uint8_t>(symbol);
    return kToken;
  }
  const LengthEntry& le = kLengthTable[c.bits & 0xFF];
  if (!Consume(s, c, le.code_bits)) return kAbort;
  unsigned index = le.base;
  if (le.extra_bits != 0) {
    const unsigned extra = c.bits & ((1u << le.extra_bits) - 1);
    index += extra;
    // The end code is complete once its 8 extra bits are seen, even when no
    // byte follows them.
    if (!Consume(s, c, le.extra_bits)) return index == kEndLengthIndex ? kEnd : kAbort;
  }
  if (index == kEndLengthIndex) return kEnd;
  const unsigned length = index + 2;
  const CodeEntry& de = kDistanceTable[c.bits & 0xFF];
  if (!Consume(s, c, de.bits)) return kAbort;
  const unsigned low_bits = length == 2 ? 2 : dict_bits;
  const unsigned distance = (unsigned{de.symbol} << low_bits) + (c.bits & ((1u << low_bits) - 1)) + 1;
  if (!Consume(s, c, low_bits)) return kAbort;
  CopyRepeat(s.window + pos, distance, length);
  pos += length;
  return kToken;
}

// Hands the fresh half of the window to the caller and keeps it as history.
void FlushWindow(ExplodeState& s, unsigned& pos) {
  unsigned size = kFlushSize;
  s.write(reinterpret_cast<char*>(s.window + kHistorySize), &size, s.param);
  std::memmove(s.window, s.window + kFlushSize, pos - kFlushSize);
  pos -= kFlushSize;
}

// The decoding loop. While 8 or more input bytes are buffered, the bit buffer
// is topped up to at least 56 bits before each token; the longest token with
// the byte after it takes 38, so no consumption needs a check there.
template <bool kAscii>
TokenOutcome DecodeStream(ExplodeState& s, Cursor& c, unsigned& pos, unsigned dict_bits) {
  uint8_t* const window = s.window;
  const unsigned dict_mask = (1u << dict_bits) - 1;
  for (;;) {
    uint64_t bits = c.bits;
    unsigned count = c.count;
    unsigned in_pos = c.in_pos;
    const unsigned in_len = c.in_len;
    unsigned p = pos;
    bool end = false;
    while (in_len - in_pos >= 8 && p < kWindowEnd) {
      uint64_t next;
      std::memcpy(&next, s.input + in_pos, 8);
      if constexpr (std::endian::native == std::endian::big) next = __builtin_bswap64(next);
      bits |= next << count;
      in_pos += (63 - count) >> 3;
      count |= 56;

      if (!(bits & 1)) {
        if constexpr (!kAscii) {
          window[p++] = static_cast<uint8_t>(bits >> 1);
          bits >>= 9;
          count -= 9;
        } else {
          const LiteralEntry& e = kLiteralTables.first[(bits >> 1) & 0xFF];
          unsigned n;
          if (e.bits != 0) {
            window[p++] = e.symbol;
            n = 1 + e.bits;
          } else {
            const CodeEntry& sub = kLiteralTables.second[e.sub_offset + ((bits >> 9) & ((1u << e.sub_bits) - 1))];
            window[p++] = sub.symbol;
            n = 1 + sub.bits;
          }
          bits >>= n;
          count -= n;
        }
        continue;
      }
      const LengthEntry le = kLengthTable[(bits >> 1) & 0xFF];
      bits >>= 1 + le.code_bits;
      const unsigned index = le.base + (static_cast<unsigned>(bits) & ((1u << le.extra_bits) - 1));
      bits >>= le.extra_bits;
      count -= 1 + le.code_bits + le.extra_bits;
      if (index == kEndLengthIndex) {
        end = true;
        break;
      }
      const unsigned length = index + 2;
      const CodeEntry de = kDistanceTable[bits & 0xFF];
      bits >>= de.bits;
      unsigned distance;
      if (length == 2) {
        distance = (unsigned{de.symbol} << 2) + (static_cast<unsigned>(bits) & 3) + 1;
        bits >>= 2;
        count -= de.bits + 2;
      } else {
        distance = (unsigned{de.symbol} << dict_bits) + (static_cast<unsigned>(bits) & dict_mask) + 1;
        bits >>= dict_bits;
        count -= de.bits + dict_bits;
      }
      CopyRepeat(window + p, distance, length);
      p += length;
    }
    c = Cursor{bits, count, in_pos, in_len};
    pos = p;
    if (end) return kEnd;
    if (pos >= kWindowEnd) {
      FlushWindow(s, pos);
      continue;
    }
    const TokenOutcome outcome = DecodeTokenChecked(s, c, pos, kAscii, dict_bits);
    if (outcome != kToken) return outcome;
    if (pos >= kWindowEnd) FlushWindow(s, pos);
  }
}

}  // namespace

int Explode(ExplodeRead read, ExplodeWrite write, void* work, void* param) {
  void* aligned = work;
  size_t space = kExplodeWorkSize;
  std::align(alignof(ExplodeState), sizeof(ExplodeState), aligned, space);
  ExplodeState& s = *static_cast<ExplodeState*>(aligned);
  s.read = read;
  s.write = write;
  s.param = param;
  s.input_ended = false;

  // Format notes: byte 0 is the literal mode, byte 1 the dictionary code, and
  // the bit stream starts at byte 2. The first read must hold more than the
  // header and the shortest bit stream.
  unsigned size = kInputSize;
  unsigned got = read(reinterpret_cast<char*>(s.input), &size, param);
  if (got > kInputSize) got = kInputSize;
  if (got <= 4) return kExplodeBadData;
  const unsigned literal_mode = s.input[0];
  const unsigned dict_bits = s.input[1];
  if (dict_bits < 4 || dict_bits > 6) return kExplodeBadDictionary;
  if (literal_mode > 1) return kExplodeBadLiteralMode;

  // History before the first byte reads as zeros, whatever the work area held.
  std::memset(s.window, 0, kHistorySize);
  Cursor c{s.input[2], 8, 3, got};
  unsigned pos = kHistorySize;
  const TokenOutcome outcome = literal_mode == 1 ? DecodeStream<true>(s, c, pos, dict_bits)
                                                 : DecodeStream<false>(s, c, pos, dict_bits);
  unsigned rest = pos - kHistorySize;
  write(reinterpret_cast<char*>(s.window + kHistorySize), &rest, param);
  return outcome == kEnd ? kExplodeOk : kExplodeAborted;
}

const char* ExplodeResultText(int result) {
  switch (result) {
    case kExplodeOk: return "ok";
    case kExplodeBadDictionary: return "invalid dictionary size";
    case kExplodeBadLiteralMode: return "invalid literal mode";
    case kExplodeBadData: return "bad data (stream too short)";
    case kExplodeAborted: return "aborted (input ended before the end code)";
    default: return "unknown result";
  }
}

int ExplodeBuffer(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  out.clear();
  MemoryIo io{data, size, 0, &out};
  std::unique_ptr<uint8_t[]> work(new (std::nothrow) uint8_t[kExplodeWorkSize]);
  if (!work) return kExplodeAborted;
  return Explode(ReadFromMemory, WriteToVector, work.get(), &io);
}

}  // namespace install::archive
