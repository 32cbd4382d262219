// The DCL coder inside Debian's libstorm (StormLib), declared here because the
// library exports it without a header. Test and benchmark use only.
#pragma once

extern "C" {

// type: 0 binary literals, 1 ASCII literals; dsize: 1024, 2048 or 4096.
// Returns 0 on success, 1 bad dictionary size, 2 bad literal mode.
unsigned int implode(unsigned int (*read_buf)(char* buf, unsigned int* size, void* param),
                     void (*write_buf)(char* buf, unsigned int* size, void* param), char* work_buf,
                     void* param, unsigned int* type, unsigned int* dsize);

// Returns 0 ok, 1 bad dictionary, 2 bad mode, 3 bad data, 4 aborted.
unsigned int explode(unsigned int (*read_buf)(char* buf, unsigned int* size, void* param),
                     void (*write_buf)(char* buf, unsigned int* size, void* param), char* work_buf,
                     void* param);
}

namespace libstorm {

// Work area sizes of this 64-bit build (its own pointers make them larger than
// the 32-bit figures): SCompImplode and SCompExplode allocate exactly these.
constexpr unsigned kImplodeWorkSize = 36328;
constexpr unsigned kExplodeWorkSize = 12648;

}  // namespace libstorm
