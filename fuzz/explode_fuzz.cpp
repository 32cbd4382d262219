// Fuzz target for the DCL decoder (libFuzzer).
//
// The first input byte picks how the input is read (chunk size) and the
// settings of a second check; the rest is fed to Explode as a stream, which
// must end with a result 0..4 and keep the write contract (4096-byte blocks,
// then one final call of less than 4096). The same bytes are then encoded
// with Implode and must decode to themselves (for one input in 128).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "install/archive/explode.h"
#include "install/archive/implode.h"

namespace {

using namespace install::archive;

struct Source {
  const uint8_t* data;
  size_t size;
  size_t offset;
  size_t chunk;
  bool ended;
  size_t reads;
  size_t writes;
  size_t last_write;
  bool contract_broken;
  std::vector<uint8_t>* out;
};

unsigned Read(char* buffer, unsigned* size, void* param) {
  Source& s = *static_cast<Source*>(param);
  if (s.ended || *size != 2048) s.contract_broken = true;
  size_t n = s.size - s.offset;
  if (n > s.chunk && s.reads++ > 0) n = s.chunk;  // the first read is always full
  if (n > *size) n = *size;
  if (n != 0) std::memcpy(buffer, s.data + s.offset, n);
  s.offset += n;
  if (n == 0) s.ended = true;
  return static_cast<unsigned>(n);
}

void Write(char* buffer, unsigned* size, void* param) {
  Source& s = *static_cast<Source*>(param);
  if (s.writes > 0 && s.last_write != 4096) s.contract_broken = true;
  if (*size > 4096) s.contract_broken = true;
  ++s.writes;
  s.last_write = *size;
  if (s.out) s.out->insert(s.out->end(), buffer, buffer + *size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t selector = data[0];
  ++data;
  --size;
  static const size_t kChunks[8] = {2048, 1, 2, 3, 7, 64, 1000, 2047};
  const size_t chunk = kChunks[selector & 7];

  std::vector<uint8_t> work(kExplodeWorkSize);
  Source s{data, size, 0, chunk, false, 0, 0, 0, false, nullptr};
  const int result = Explode(Read, Write, work.data(), &s);
  if (result < 0 || result > 4 || s.contract_broken) std::abort();
  if ((result == kExplodeOk || result == kExplodeAborted) && (s.writes == 0 || s.last_write >= 4096)) std::abort();

  // Setting up the encoder's tables is slow under the sanitizers: one input
  // in 128, picked by a hash of all its bytes, takes the round trip.
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  if (hash % 128 != 0 || size > (1 << 16)) return 0;
  const unsigned mode = (selector >> 3) & 1;
  const unsigned dict = 1024u << (size % 3);
  std::vector<uint8_t> stream, back;
  if (ImplodeBuffer(data, size, mode, dict, stream) != kImplodeOk) std::abort();
  Source r{stream.data(), stream.size(), 0, chunk, false, 0, 0, 0, false, &back};
  if (Explode(Read, Write, work.data(), &r) != kExplodeOk || r.contract_broken) std::abort();
  if (back.size() != size || (size != 0 && std::memcmp(back.data(), data, size) != 0)) std::abort();
  return 0;
}
