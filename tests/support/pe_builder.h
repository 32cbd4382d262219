// Small PE files (a DLL image with one ".rsrc" section) carrying a version
// resource, for the version-text tests. Made to load as a data file on
// Windows too, so the same fixture checks the system's version API.
//
// Layout: DOS header (e_lfanew 0x40), PE header, PE32 (or PE32+) optional
// header with 16 data directories, one section header ".rsrc" (virtual
// address 0x1000, file offset 0x200); in the section the resource tree
// type 16 > id 1 > language 0x409 > data entry, then the version block
// "VS_VERSION_INFO" (fixed info) > "StringFileInfo" > <table> > "FileVersion"
// (one block per language when an earlier language is asked for)
// (UTF-16 text) and "VarFileInfo" > "Translation".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tests/support/fixture_builder.h"

namespace test_support {

struct PeVersionOptions {
  std::optional<std::u16string> file_version = u"1.0";  // nullopt: no FileVersion value
  std::string table = "040904E4";
  bool with_version_resource = true;  // false: an empty resource tree
  bool pe32_plus = false;
  uint16_t language = 0x409;
  // When set, a block in language 0x407 with this FileVersion (same table)
  // comes first in the resource tree.
  std::optional<std::u16string> earlier_language_version;
};

// File offsets of the parts a corruption test changes.
struct PeLayout {
  uint32_t pe_header = 0;          // "PE\0\0"
  uint32_t optional_header = 0;
  uint32_t resource_directory_entry = 0;  // data directory 2 (RVA, size)
  uint32_t section_header = 0;
  uint32_t resource_data_entry = 0;  // the leaf: data RVA, size
  uint32_t version_block = 0;        // VS_VERSION_INFO
  uint32_t file_version_block = 0;   // the "FileVersion" block (0 when none)
};

Bytes BuildPeWithVersion(const PeVersionOptions& options = {}, PeLayout* layout = nullptr);

// A PE file whose FileVersion text is `version` (ASCII), in table "040904E4".
Bytes PeWithVersion(const std::string& version);

}  // namespace test_support
