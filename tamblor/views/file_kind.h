// What a selected path is, which decides what Select does with it.
#pragma once

#include <string>

#include "tamblor/config/disc_config.h"
#include "tamblor/os/machine.h"

namespace tamblor::views {

enum class FileKind : int {
  Missing = 0,
  Directory = 1,
  TextFile = 2,         // ".txt"
  Program = 3,          // ".bat", ".com", or an ".exe" that is no self-extractor
  SelfExtractor = 4,    // ".exe" with a known self-extractor signature
  Archive = 5,          // extension of an unpack handler
  WindowsDocument = 6,  // extension of a Windows handler
  OtherFile = 7,        // anything else, and any path shorter than 4 characters
};

// The extension tests come before the directory test: a directory named
// "x.txt" is a TextFile.
FileKind ClassifyPath(os::Machine& machine, const config::DiscConfig& config, const std::string& path);

// True for an ".exe" (at least 5 characters) that carries one of the
// self-extractor signatures at its fixed offset.
bool IsSelfExtractor(os::Machine& machine, const std::string& path);

}  // namespace tamblor::views
