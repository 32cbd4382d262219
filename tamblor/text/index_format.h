// The index file format: lines grouped into entries.
//
// A line whose first character is not a blank, "|" or "=" starts an entry
// (an empty line too); the lines after it that begin with one of those three
// are its continuation lines (description, boxes, rules). Continuation lines
// at the very start of the file form an entry of their own, the heading. An
// entry's name is the first word of its first line. In the global index a line
// beginning with "path: " (any case) names the directory of the entries after
// it, and is itself an entry line.
#pragma once

#include <cstdint>
#include <string>

#include "tamblor/text/block_file.h"
#include "tamblor/text/text_line.h"

namespace tamblor::text {

constexpr size_t kEntryNameCapacity = 260;  // names have at most 259 characters
constexpr size_t kPathLineDirectoryCapacity = 260;

bool IsContinuationLine(const TextLine& line);
// True for the first line of an entry: any line at the start of the file and
// any line that is not a continuation line.
bool StartsEntry(const TextLine& line);

// The name of the entry whose first line starts at `entry_start`.
std::string EntryName(BlockFile& file, int64_t entry_start);

// The start of the first line of the entry that holds byte `position`; the
// file size when `position` is at or past the end.
int64_t EntryStart(BlockFile& file, int64_t position);
// The start of the entry after the one whose first line starts at
// `entry_start`; the file size when it is the last.
int64_t NextEntryStart(BlockFile& file, int64_t entry_start);

// The start of the first line at or after `from` that begins with `name`
// (compared with case); the position after the last line when none does. A
// file that became shorter since it was opened ends the scan where it ends.
int64_t FindLineStartingWith(BlockFile& file, int64_t from, const std::string& name);

// A global index line "path: \dir ..." (the key compared without regard to case).
bool IsPathLine(const TextLine& line);
// The directory a "path: " line names: the text after "path: " up to the
// first blank, at most 259 characters. Empty for any other line.
std::string PathLineDirectory(const TextLine& line);

}  // namespace tamblor::text
