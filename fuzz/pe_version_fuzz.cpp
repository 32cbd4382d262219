// Fuzz target for the reader of PE version resources (libFuzzer).
//
// The input is a file: the version text must come out the same through the
// buffer and the positioned-read forms of the reader, at most 99 characters.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "install/os/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string from_buffer;
  const bool found = install::os::ReadPeVersionText(data, size, &from_buffer);
  std::string from_reads;
  install::os::PeReadAt read_at = [&](uint64_t offset, void* out, uint32_t count) {
    if (offset > size || count > size - offset) return false;
    if (count) std::memcpy(out, data + offset, count);
    return true;
  };
  const bool found_again = install::os::ReadPeVersionText(read_at, size, &from_reads);
  if (found != found_again || (found && from_buffer != from_reads)) fuzz::Broken("the two readers disagree");
  if (found && from_buffer.size() > 99) fuzz::Broken("a version text longer than 99 characters");
  return 0;
}
