// Decoder for DCL implode streams (the compressed members of volume sets).
//
// The decoder is one pure function: it pulls compressed bytes through a read
// callback, pushes decoded bytes through a write callback and keeps all of its
// state in a caller-supplied work area of kExplodeWorkSize bytes. It allocates
// nothing, does no file or window work, and stops calling the callbacks once it
// has returned.
//
// Results of Explode:
//   kExplodeOk               (0) the stream was decoded up to its end code.
//   kExplodeBadDictionary    (1) header byte 1 is not 4, 5 or 6. Checked before
//                                the literal mode, so it wins when both are bad.
//   kExplodeBadLiteralMode   (2) header byte 0 is neither 0 (binary) nor 1 (ASCII).
//   kExplodeBadData          (3) the first read delivered 4 bytes or fewer.
//   kExplodeAborted          (4) the input ended (a read returned 0) before the
//                                end code; everything decoded so far has been
//                                handed to the write callback.
// After results 1 to 3 the write callback has not been called. After 0 and 4 it
// has received every decoded byte: 4096 bytes per call while decoding, then one
// last call with the remaining 0 to 4095 bytes, made even when it is empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace install::archive {

enum ExplodeResult : int {
  kExplodeOk = 0,
  kExplodeBadDictionary = 1,
  kExplodeBadLiteralMode = 2,
  kExplodeBadData = 3,
  kExplodeAborted = 4,
};

// Size of the work area Explode needs. The caller may reuse one work area for
// any number of streams; its previous content does not affect the result.
constexpr size_t kExplodeWorkSize = 12596;

// Format notes, shared with the encoder.
//
// A stream is two header bytes (literal mode 0 = binary, 1 = ASCII; dictionary
// code k = 4, 5 or 6 for 1024, 2048 or 4096 bytes) and a bit stream read from
// the least significant bit of each byte. Tokens: a 0 bit and a literal (8 raw
// bits, or in ASCII mode a code of the literal table), or a 1 bit and a repeat:
// a length code plus its extra bits gives the length index (517 = end of
// stream; otherwise the repeat length is index + 2), then a distance code d and
// low bits (2 for a repeat of length 2, else k): distance = (d << low) + low
// bits + 1. The three code tables are canonical prefix codes given by their
// code lengths, sent most significant bit first with every bit inverted.
namespace dcl {

constexpr int kMaxRepeatLength = 518;
constexpr int kEndLengthIndex = 517;

constexpr uint8_t kLengthCodeLengths[16] = {3, 2, 3, 3, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 7, 7};
constexpr uint8_t kLengthExtraBits[16] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
constexpr uint16_t kLengthBase[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 14, 22, 38, 70, 134, 262};

constexpr uint8_t kDistanceCodeLengths[64] = {
    2, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};

constexpr uint8_t kLiteralCodeLengths[256] = {
    11, 12, 12, 12, 12, 12, 12, 12, 12, 8, 7, 12, 12, 7, 12, 12,
    12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 13, 12, 12, 12, 12, 12,
    4, 10, 8, 12, 10, 12, 10, 8, 7, 7, 8, 9, 7, 6, 7, 8,
    7, 6, 7, 7, 7, 7, 8, 7, 7, 8, 8, 12, 11, 7, 9, 11,
    12, 6, 7, 6, 6, 5, 7, 8, 8, 6, 11, 9, 6, 7, 6, 6,
    7, 11, 6, 6, 6, 7, 9, 8, 9, 9, 11, 8, 11, 9, 12, 8,
    12, 5, 6, 6, 6, 5, 6, 6, 6, 5, 11, 7, 5, 6, 5, 5,
    6, 10, 5, 5, 5, 5, 8, 7, 8, 8, 10, 11, 11, 12, 12, 12,
    13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13,
    13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13,
    13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13,
    12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12,
    12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12,
    12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12,
    13, 12, 13, 13, 13, 12, 13, 13, 13, 12, 13, 13, 13, 13, 12, 13,
    13, 13, 12, 12, 12, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13, 13};

// The bits of each symbol's code in stream order, first bit in bit 0: writing
// the value least significant bit first puts the code on the stream.
template <size_t N>
constexpr void StreamOrderCodes(const uint8_t (&lengths)[N], uint16_t (&codes)[N]) {
  unsigned code = 0;
  int previous_length = 0;
  for (int length = 1; length <= 16; ++length) {
    for (size_t symbol = 0; symbol < N; ++symbol) {
      if (lengths[symbol] != length) continue;
      if (previous_length != 0) code = (code + 1) << (length - previous_length);
      previous_length = length;
      unsigned stream = 0;
      for (int i = 0; i < length; ++i) {
        unsigned bit = (code >> (length - 1 - i)) & 1u;
        stream |= (bit ^ 1u) << i;
      }
      codes[symbol] = static_cast<uint16_t>(stream);
    }
  }
}

}  // namespace dcl

// The decoder asks for 2048 bytes at a time (*size holds the request) and takes
// the return value as the number of bytes placed in `buffer`; 0 means the input
// has ended. Answers larger than the request are treated as the request.
using ExplodeRead = unsigned (*)(char* buffer, unsigned* size, void* param);

// Receives *size decoded bytes; must consume all of them. The buffer points
// into the work area and is only valid during the call.
using ExplodeWrite = void (*)(char* buffer, unsigned* size, void* param);

// Decodes one stream. `work` is kExplodeWorkSize bytes with any alignment and
// content; `param` is passed to both callbacks unchanged.
int Explode(ExplodeRead read, ExplodeWrite write, void* work, void* param);

// Short text for a result, e.g. "aborted (input ended before the end code)".
const char* ExplodeResultText(int result);

// Convenience over memory for tools and tests: decodes `size` bytes at `data`
// into `out` (replaced). Returns the result of Explode.
int ExplodeBuffer(const uint8_t* data, size_t size, std::vector<uint8_t>& out);

}  // namespace install::archive
