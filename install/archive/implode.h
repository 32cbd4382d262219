// Encoder for DCL implode streams, the format that Explode decodes.
//
// It pulls the input through a read callback and pushes the stream through a
// write callback. The parse is optimal for the fixed codes of the format over
// blocks of 64 KB: every position's matches within the dictionary are priced
// in bits and the cheapest path through the block is written.
//
// Results of Implode:
//   kImplodeOk              (0) the whole input was encoded and the end code written.
//   kImplodeBadDictionary   (1) dictionary size is not 1024, 2048 or 4096.
//   kImplodeBadLiteralMode  (2) literal mode is neither kImplodeBinary nor kImplodeAscii.
//   kImplodeNoMemory        (3) the encoder's state (under 1.3 MB) could not be allocated.
// Nothing is written after results 1 to 3.
//
// Every stream written is at least 5 bytes long: the stream of an empty input
// (header and end code, 4 bytes) gets one zero byte of padding, because
// decoders refuse a first read of 4 bytes or fewer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "install/archive/explode.h"

namespace install::archive {

enum ImplodeLiteralMode : unsigned {
  kImplodeBinary = 0,  // literals as raw bytes: best for program files and data
  kImplodeAscii = 1,   // literals with the fixed literal code: best for text
};

enum ImplodeResult : int {
  kImplodeOk = 0,
  kImplodeBadDictionary = 1,
  kImplodeBadLiteralMode = 2,
  kImplodeNoMemory = 3,
};

// The encoder asks for up to *size bytes; the return value is the number of
// bytes placed in `buffer`, 0 at the end of the input. After a 0 it does not
// ask again.
using ImplodeRead = ExplodeRead;
// Receives *size bytes of the stream; must consume all of them.
using ImplodeWrite = ExplodeWrite;

// Encodes the whole input as one stream. `dictionary_size` is 1024, 2048 or 4096.
int Implode(ImplodeRead read, ImplodeWrite write, void* param, unsigned literal_mode,
            unsigned dictionary_size);

// Convenience over memory: encodes `size` bytes at `data` into `out` (replaced).
// Returns the result of Implode.
int ImplodeBuffer(const uint8_t* data, size_t size, unsigned literal_mode, unsigned dictionary_size,
                  std::vector<uint8_t>& out);

}  // namespace install::archive
