// What the fault-injection tests check after a run that may have failed part
// way: each file the run writes is either as it was (bytes and attributes) or
// wholly the new one, no temporary file is left, and the install log holds
// whole lines only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/faulty_machine.h"
#include "tests/support/fixture_builder.h"

namespace test_support {

struct FileState {
  Bytes bytes;
  uint32_t attributes = 0;
};

// A file a run writes: what it was before (nullopt: absent) and what it
// becomes when the run gets that far.
struct WrittenFile {
  std::string path;  // Windows path on the machine
  std::optional<FileState> before;
  FileState after;
};

enum class Outcome { Old, New, Broken };

// Old when the file is as it was (absent when it was absent), New when it is
// the new one, Broken otherwise (half-written, or the wrong attributes).
Outcome OutcomeOf(install::os::HostMachine& machine, const WrittenFile& file);
const char* NameOf(Outcome outcome);

// Files under `root` (recursively) whose names start with one of `prefixes`
// (letter case ignored), as paths relative to `root`.
std::vector<std::string> FilesStartingWith(const std::filesystem::path& root,
                                           const std::vector<std::string>& prefixes);

// True when `text` is a sequence of lines each ending in CR LF.
bool IsWholeLines(const std::string& text);

}  // namespace test_support
