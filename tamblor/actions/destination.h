// The destination of a copy or an install: what the destination dialog
// proposes, shows and accepts, and how the chosen directory is made. The
// dialog itself is the window layer's; every decision it takes is here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tamblor/os/machine.h"

namespace tamblor::actions {

inline constexpr size_t kDestinationCapacity = 258;  // characters read from the dialog's field
inline constexpr size_t kUnzipRootPrefix = 8;        // characters of UNZIP_ROOT that count
inline constexpr char kFirstBrowseDirectory[] = "C:\\";

// Free bytes in groups of three digits ("1,234,567"); "0" for none; empty
// when the drive could not be read (a negative count).
std::string FreeSpaceText(int64_t free_bytes);

// A destination is a full path "X:\..." of 3 to 260 characters without blanks
// or tabs on a drive that exists and is not a CD-ROM.
bool ValidDestination(os::Machine& machine, const std::string& path);

// Makes every directory of `path` that is missing, from the root down,
// changing into each as it goes. False when one can neither be entered nor made.
bool MakeDirectories(os::Machine& machine, const std::string& path);

struct DestinationProposals {
  std::vector<std::string> choices;  // in the order the list shows them
  std::string edit_text;             // the field's first text
};

// Proposals built from the first 8 characters of UNZIP_ROOT and the source's
// place on the disc: "C:\" + root + the source's directories and its name
// without extension, and shorter forms of it; the last destination chosen
// comes last.
DestinationProposals ProposeDestinations(const std::string& unzip_root, const std::string& translated_source,
                                         const std::string& last_destination);

// The directory list's pattern for the browse directory ("C:\*.*", "C:\DOS\*.*").
std::string BrowsePattern(const std::string& browse_directory);

// The browse directory after choosing a list item: "[-d-]" a drive's root,
// "[..]" the parent, "[name]" the subdirectory. Other items change nothing.
std::string BrowseTo(const std::string& browse_directory, const std::string& item);

// The field's text as a destination: "/" as "\", a trailing "\" dropped
// except after a drive.
std::string DestinationFromField(const std::string& text);

// Quoted for the command interpreter, so that blanks and "&" stay in the path.
std::string QuotedForCommand(const std::string& path);

}  // namespace tamblor::actions
