// The generated index "00_index._wc": an index file the browser writes into
// every directory of an unpacked program, listing its files and
// subdirectories.
#pragma once

#include <string>

#include "tamblor/os/directory.h"
#include "tamblor/os/machine.h"

namespace tamblor::text {

inline constexpr char kGeneratedIndexName[] = "00_index._wc";
// The index is written under this name and renamed when complete; an old
// index waits under the second while the new one takes its name.
inline constexpr char kGeneratedIndexWorkingName[] = "00_index.~wc";
inline constexpr char kGeneratedIndexOldName[] = "00_index.~wo";
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
// index of every subdirectory, depth first; files go through `machine`, the
// listing through `directories`. Each index is written completely under a
// working name and only then takes its name, so an index is either the old
// one, whole, or the new one, whole. True when every index of the tree was
// written; false when one could not be (what was written of it is removed,
// and nothing is written below it). A subdirectory whose index path is too
// long gets none, by rule, which is no failure; for `directory` itself it is.
bool WriteGeneratedIndex(os::Machine& machine, os::DirectoryService& directories, const std::string& directory,
                         const GeneratedIndexTexts& texts);

// The index's own names (its name, working name and old name): never listed.
bool IsGeneratedIndexFileName(const std::string& name);

}  // namespace tamblor::text
