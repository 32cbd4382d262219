#include "install/archive/implode.h"

#include "install/archive/memory_io.h"

#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

namespace install::archive {
namespace {

using namespace dcl;

constexpr int kBlockSize = 1 << 16;      // positions parsed together
constexpr int kHistorySize = 4096;       // largest dictionary
constexpr int kBufferSize = kHistorySize + kBlockSize + kMaxRepeatLength + 16;
constexpr int kHashBits = 15;
constexpr int kChainSize = 8192;         // two dictionaries: links stay valid
constexpr int kNoPosition = -(1 << 30);
constexpr int kOutputFlush = 4096;
constexpr int kMaxShortDistance = 256;   // repeats of length 2 carry 2 low bits
// Matches at least this long are taken without pricing the shorter ones.
#ifndef QM_IMPLODE_NICE
#define QM_IMPLODE_NICE 64
#define QM_IMPLODE_CHAIN 256
#endif
constexpr int kNiceLength = QM_IMPLODE_NICE;
constexpr int kMaxChain = QM_IMPLODE_CHAIN;

static_assert(kBlockSize % kChainSize == 0, "sliding must keep chain slots aligned");

struct Codes {
  uint16_t literal[256];
  uint16_t length[16];
  uint16_t distance[64];
};

constexpr Codes kCodes = [] {
  Codes c{};
  StreamOrderCodes(kLiteralCodeLengths, c.literal);
  StreamOrderCodes(kLengthCodeLengths, c.length);
  StreamOrderCodes(kDistanceCodeLengths, c.distance);
  return c;
}();

// Length code symbol of each length index 0..517.
constexpr std::array<uint8_t, kEndLengthIndex + 1> kLengthSymbol = [] {
  std::array<uint8_t, kEndLengthIndex + 1> table{};
  for (int s = 0; s < 16; ++s) {
    for (int i = kLengthBase[s]; i < kLengthBase[s] + (1 << kLengthExtraBits[s]) && i <= kEndLengthIndex; ++i) {
      table[i] = static_cast<uint8_t>(s);
    }
  }
  return table;
}();

// Bits of a repeat of each length (flag bit, length code, extra bits).
constexpr std::array<uint8_t, kMaxRepeatLength + 1> kLengthCost = [] {
  std::array<uint8_t, kMaxRepeatLength + 1> table{};
  for (int length = 2; length <= kMaxRepeatLength; ++length) {
    const int s = kLengthSymbol[length - 2];
    table[length] = static_cast<uint8_t>(1 + kLengthCodeLengths[s] + kLengthExtraBits[s]);
  }
  return table;
}();

struct Step {
  uint16_t length;    // 1: a literal
  uint16_t distance;
};

struct ImplodeState {
  ImplodeRead read;
  ImplodeWrite write;
  void* param;
  bool ascii;
  unsigned dict_bits;
  unsigned dict_size;
  bool input_ended;

  uint8_t buffer[kBufferSize + 8];
  int available;  // bytes of buffer holding input

  int head[1 << kHashBits];
  int chain[kChainSize];
  int last_pair[1 << 16];  // latest position of each pair of bytes

  // Parse arrays for blocks of up to `block_capacity` positions, allocated
  // once the first block's size is known (small inputs need little).
  int block_capacity;
  uint32_t* price;
  Step* from;
  Step* path;

  uint64_t bits;
  unsigned bit_count;
  uint8_t output[kOutputFlush + 16];
  unsigned output_length;
  uint64_t written;
};

inline unsigned Hash3(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  return ((v & 0xFFFFFF) * 0x9E3779B1u) >> (32 - kHashBits);
}

inline unsigned Pair(const uint8_t* p) { return p[0] | (p[1] << 8); }

inline unsigned MatchLength(const uint8_t* a, const uint8_t* b, unsigned limit) {
  unsigned n = 0;
  if constexpr (std::endian::native == std::endian::little) {
    while (n + 8 <= limit) {
      uint64_t x, y;
      std::memcpy(&x, a + n, 8);
      std::memcpy(&y, b + n, 8);
      if (x != y) return n + (std::countr_zero(x ^ y) >> 3);
      n += 8;
    }
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

// ---------------------------------------------------------------------------
// Output

void FlushOutput(ImplodeState& s) {
  unsigned size = s.output_length;
  if (size != 0) s.write(reinterpret_cast<char*>(s.output), &size, s.param);
  s.written += s.output_length;
  s.output_length = 0;
}

inline void PutBits(ImplodeState& s, uint32_t value, unsigned n) {
  s.bits |= uint64_t{value} << s.bit_count;
  s.bit_count += n;
  if (s.bit_count >= 32) {
    const uint32_t word = static_cast<uint32_t>(s.bits);
    s.output[s.output_length++] = static_cast<uint8_t>(word);
    s.output[s.output_length++] = static_cast<uint8_t>(word >> 8);
    s.output[s.output_length++] = static_cast<uint8_t>(word >> 16);
    s.output[s.output_length++] = static_cast<uint8_t>(word >> 24);
    s.bits >>= 32;
    s.bit_count -= 32;
    if (s.output_length >= kOutputFlush) FlushOutput(s);
  }
}

inline void PutLiteral(ImplodeState& s, uint8_t byte) {
  if (s.ascii) {
    PutBits(s, uint32_t{kCodes.literal[byte]} << 1, 1 + kLiteralCodeLengths[byte]);
  } else {
    PutBits(s, uint32_t{byte} << 1, 9);
  }
}

inline void PutLengthIndex(ImplodeState& s, unsigned index) {
  const unsigned symbol = kLengthSymbol[index];
  PutBits(s, 1u | (uint32_t{kCodes.length[symbol]} << 1), 1 + kLengthCodeLengths[symbol]);
  PutBits(s, index - kLengthBase[symbol], kLengthExtraBits[symbol]);
}

inline void PutRepeat(ImplodeState& s, unsigned length, unsigned distance) {
  PutLengthIndex(s, length - 2);
  const unsigned low_bits = length == 2 ? 2 : s.dict_bits;
  const unsigned code = (distance - 1) >> low_bits;
  PutBits(s, kCodes.distance[code], kDistanceCodeLengths[code]);
  PutBits(s, (distance - 1) & ((1u << low_bits) - 1), low_bits);
}

void FinishStream(ImplodeState& s) {
  PutLengthIndex(s, kEndLengthIndex);
  while (s.bit_count > 0) {
    s.output[s.output_length++] = static_cast<uint8_t>(s.bits);
    s.bits >>= 8;
    s.bit_count = s.bit_count > 8 ? s.bit_count - 8 : 0;
  }
  // Decoders need more than 4 bytes in their first read.
  while (s.written + s.output_length < 5) s.output[s.output_length++] = 0;
  FlushOutput(s);
}

// ---------------------------------------------------------------------------
// Input and match finding

void FillBuffer(ImplodeState& s) {
  while (!s.input_ended && s.available < kBufferSize) {
    unsigned size = static_cast<unsigned>(kBufferSize - s.available);
    unsigned got = s.read(reinterpret_cast<char*>(s.buffer + s.available), &size, s.param);
    if (got > static_cast<unsigned>(kBufferSize - s.available)) got = kBufferSize - s.available;
    if (got == 0) s.input_ended = true;
    s.available += static_cast<int>(got);
  }
  std::memset(s.buffer + s.available, 0, sizeof(s.buffer) - s.available);
}

// Moves the buffer down by `shift` bytes, keeping the dictionary before the
// next block, and rebases every stored position.
void SlideBuffer(ImplodeState& s, int shift) {
  std::memmove(s.buffer, s.buffer + shift, s.available - shift);
  s.available -= shift;
  auto rebase = [shift](int& position) {
    position = position - shift < kNoPosition ? kNoPosition : position - shift;
  };
  for (int& p : s.head) rebase(p);
  for (int& p : s.chain) rebase(p);
  for (int& p : s.last_pair) rebase(p);
}

inline void Relax(ImplodeState& s, int to, uint32_t price, unsigned length, unsigned distance) {
  if (price < s.price[to]) {
    s.price[to] = price;
    s.from[to] = Step{static_cast<uint16_t>(length), static_cast<uint16_t>(distance)};
  }
}

inline uint32_t LiteralCost(const ImplodeState& s, uint8_t byte) {
  return s.ascii ? 1u + kLiteralCodeLengths[byte] : 9u;
}

// Parses positions [start, end) of the buffer and writes their tokens.
void EncodeBlock(ImplodeState& s, int start, int end) {
  const int n = end - start;  // at most s.block_capacity
  const int dict = static_cast<int>(s.dict_size);
  s.price[0] = 0;
  for (int j = 1; j <= n; ++j) s.price[j] = UINT32_MAX;
  int skip_until = 0;

  for (int j = 0; j < n; ++j) {
    const int i = start + j;
    const uint8_t* here = s.buffer + i;
    int chain_start = kNoPosition;
    if (i + 3 <= s.available) {
      const unsigned h = Hash3(here);
      chain_start = s.head[h];
      s.chain[i & (kChainSize - 1)] = chain_start;
      s.head[h] = i;
    }
    int pair_position = kNoPosition;
    if (i + 2 <= s.available) {
      const unsigned pair = Pair(here);
      pair_position = s.last_pair[pair];
      s.last_pair[pair] = i;
    }
    if (j < skip_until) continue;

    const uint32_t base = s.price[j];
    Relax(s, j + 1, base + LiteralCost(s, *here), 1, 0);
    const int limit = n - j < kMaxRepeatLength ? n - j : kMaxRepeatLength;
    if (limit < 2) continue;

    if (i - pair_position <= kMaxShortDistance) {
      const unsigned d = i - pair_position - 1;
      Relax(s, j + 2, base + kLengthCost[2] + kDistanceCodeLengths[d >> 2] + 2, 2, d + 1);
    }
    if (limit < 3) continue;

    // Walk the chain nearest first; each longer match found prices the lengths
    // between the previous best and itself at its (smallest) distance.
    int best = 2;
    int candidate = chain_start;
    int depth = kMaxChain;
    while (i - candidate <= dict && depth-- > 0) {
      const uint8_t* there = s.buffer + candidate;
      if (there[best] == here[best] && there[0] == here[0] && there[1] == here[1]) {
        const int length = static_cast<int>(MatchLength(there, here, static_cast<unsigned>(limit)));
        if (length > best) {
          const unsigned distance = static_cast<unsigned>(i - candidate);
          const unsigned code = (distance - 1) >> s.dict_bits;
          const uint32_t repeat_base = base + kDistanceCodeLengths[code] + s.dict_bits;
          if (length >= kNiceLength) {
            Relax(s, j + length, repeat_base + kLengthCost[length], length, distance);
            skip_until = j + length;
            break;
          }
          for (int l = best + 1; l <= length; ++l) {
            Relax(s, j + l, repeat_base + kLengthCost[l], l, distance);
          }
          best = length;
          if (length >= limit) break;
        }
      }
      candidate = s.chain[candidate & (kChainSize - 1)];
    }
  }

  // Walk back from the end and write the steps forwards.
  int count = 0;
  for (int j = n; j > 0; j -= s.from[j].length) s.path[count++] = s.from[j];
  int position = start;
  while (count > 0) {
    const Step step = s.path[--count];
    if (step.length == 1) {
      PutLiteral(s, s.buffer[position]);
    } else {
      PutRepeat(s, step.length, step.distance);
    }
    position += step.length;
  }
}

}  // namespace

int Implode(ImplodeRead read, ImplodeWrite write, void* param, unsigned literal_mode,
            unsigned dictionary_size) {
  unsigned dict_bits;
  switch (dictionary_size) {
    case 1024: dict_bits = 4; break;
    case 2048: dict_bits = 5; break;
    case 4096: dict_bits = 6; break;
    default: return kImplodeBadDictionary;
  }
  if (literal_mode != kImplodeBinary && literal_mode != kImplodeAscii) return kImplodeBadLiteralMode;

  std::unique_ptr<ImplodeState> state(new (std::nothrow) ImplodeState);
  if (!state) return kImplodeNoMemory;
  ImplodeState& s = *state;
  s.read = read;
  s.write = write;
  s.param = param;
  s.ascii = literal_mode == kImplodeAscii;
  s.dict_bits = dict_bits;
  s.dict_size = dictionary_size;
  s.input_ended = false;
  for (int& p : s.head) p = kNoPosition;
  for (int& p : s.chain) p = kNoPosition;
  for (int& p : s.last_pair) p = kNoPosition;
  s.bits = 0;
  s.bit_count = 0;
  s.output_length = 0;
  s.written = 0;

  s.output[s.output_length++] = static_cast<uint8_t>(literal_mode);
  s.output[s.output_length++] = static_cast<uint8_t>(dict_bits);

  // The first block starts after an empty dictionary, so that every block
  // starts at kHistorySize and slides by a whole block.
  s.available = kHistorySize;
  std::memset(s.buffer, 0, kHistorySize);
  std::unique_ptr<uint8_t[]> parse_arrays;
  for (;;) {
    FillBuffer(s);
    const int start = kHistorySize;
    const int end = s.available - start < kBlockSize ? s.available : start + kBlockSize;
    if (!parse_arrays) {
      s.block_capacity = end - start;
      const size_t positions = static_cast<size_t>(s.block_capacity) + 1;
      parse_arrays.reset(new (std::nothrow) uint8_t[positions * (sizeof(uint32_t) + 2 * sizeof(Step))]);
      if (!parse_arrays) return kImplodeNoMemory;
      s.price = reinterpret_cast<uint32_t*>(parse_arrays.get());
      s.from = reinterpret_cast<Step*>(s.price + positions);
      s.path = s.from + positions;
    }
    if (end > start) EncodeBlock(s, start, end);
    if (end < start + kBlockSize) break;
    SlideBuffer(s, kBlockSize);
  }
  FinishStream(s);
  return kImplodeOk;
}


int ImplodeBuffer(const uint8_t* data, size_t size, unsigned literal_mode, unsigned dictionary_size,
                  std::vector<uint8_t>& out) {
  out.clear();
  MemoryIo io{data, size, 0, &out};
  return Implode(ReadFromMemory, WriteToVector, &io, literal_mode, dictionary_size);
}

}  // namespace install::archive
