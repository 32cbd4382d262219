// Read and write callbacks of the DCL coders over memory: input from a byte
// buffer, output appended to a vector. Used by ExplodeBuffer and ImplodeBuffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace install::archive {

struct MemoryIo {
  const uint8_t* data;
  size_t size;
  size_t offset;
  std::vector<uint8_t>* out;
};

inline unsigned ReadFromMemory(char* buffer, unsigned* size, void* param) {
  MemoryIo& io = *static_cast<MemoryIo*>(param);
  size_t n = io.size - io.offset;
  if (n > *size) n = *size;
  if (n != 0) std::memcpy(buffer, io.data + io.offset, n);
  io.offset += n;
  return static_cast<unsigned>(n);
}

inline void WriteToVector(char* buffer, unsigned* size, void* param) {
  MemoryIo& io = *static_cast<MemoryIo*>(param);
  io.out->insert(io.out->end(), buffer, buffer + *size);
}

}  // namespace install::archive
