// What the installer's fuzz targets share: a scratch directory that lives as
// long as the fuzzing process, and a hard stop when an invariant breaks.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

// A fresh directory under the system's temporary directory, made on first use
// and removed when the process ends normally.
const std::filesystem::path& ScratchDirectory(const char* name);

// Reports a broken invariant and aborts (libFuzzer keeps the input).
[[noreturn]] inline void Broken(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

// Every regular file under `root`, as paths relative to it, sorted.
std::string ListFiles(const std::filesystem::path& root);

}  // namespace fuzz
