// The generated index "00_index._wc": an index file the browser writes into
// every directory of an unpacked program, listing its files and
// subdirectories.
#pragma once

#include <string>

#include "tamblor/os/directory.h"

namespace tamblor::text {

inline constexpr char kGeneratedIndexName[] = "00_index._wc";
// Paths of 260 characters or more are never written: a directory whose index
// path would be that long gets no index (and neither does anything below it).
constexpr size_t kGeneratedIndexPathCapacity = 260;

// The texts of the current language, already in the OEM character set.
struct GeneratedIndexTexts {
  std::string directory;         // "Directory": heading and directory rows
  std::string column_header;     // the column header line, with its line feed
  std::string description_file;  // file_id.diz
  std::string documentation;     // read.me, readme.*, *.doc
  std::string text_file;         // *.txt
  std::string batch_file;        // *.bat
  std::string program;           // *.com, *.exe
  std::string other_file;        // everything else
};

// Writes `directory`\00_index._wc (line ends CR LF) and then the generated
// index of every subdirectory, depth first. True when the directory's own
// index exists afterwards; false when it could not be created or completely
// written (a partly written index is removed).
bool WriteGeneratedIndex(os::DirectoryService& directories, const std::string& directory,
                         const GeneratedIndexTexts& texts);

}  // namespace tamblor::text
