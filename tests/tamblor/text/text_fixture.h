// Small fixture helpers for the reading-layer tests: a temporary directory
// removed afterwards, files written byte for byte, and a fatal-exit hook that
// turns the process end into an exception inside a test.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tamblor/text/fatal_exit.h"

namespace tamblor::text::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tamblor_text_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct FatalExitCalled {
  int exit_code;
};

// While alive, a fatal file error throws FatalExitCalled instead of ending the process.
class CatchFatalExit {
 public:
  CatchFatalExit() : previous_(SetFatalExitHook([](int code) { throw FatalExitCalled{code}; })) {}
  ~CatchFatalExit() { SetFatalExitHook(previous_); }
  CatchFatalExit(const CatchFatalExit&) = delete;
  CatchFatalExit& operator=(const CatchFatalExit&) = delete;

 private:
  FatalExitHook previous_;
};

}  // namespace tamblor::text::testing
