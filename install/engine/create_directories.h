// Creating the directories of a destination path, one level at a time, with
// a "DIRECTORY: " log entry for each level created.
#pragma once

#include <cstddef>
#include <string>

#include "install/sysedit/install_log.h"
#include "install/os/machine.h"
#include "install/ui/desktop.h"

namespace install::engine {

enum : int { kDirectoriesOk = 0, kDirectoriesFailed = 2 };

// The created levels are logged as one entry, each level "DIRECTORY: " + path
// + line feed, outermost first (so the group ends with an empty line in the
// log). The list holds at most this many characters; a level that would not
// fit sends the list so far to the log first, so no level goes unlogged.
inline constexpr std::size_t kDirectoryListCapacity = 999;

// Extends `existing_prefix` one path component at a time until it is the whole
// `path`. "X:" becomes "X:\". A prefix of at most 3 characters, or one that can
// be made the current directory, exists; any other is created and made the
// current directory (so the current directory moves as it goes). When that
// fails, shows `bad_dir_text` in a warning box (default caption) and returns
// kDirectoriesFailed; the levels created before it are still logged.
int CreateDirectories(const std::string& path, const std::string& existing_prefix,
                      os::Machine& machine, ui::Desktop& desktop, sysedit::InstallLog& log,
                      const std::string& bad_dir_text);

// CreateDirectories starting from the path's first three characters (its
// drive root).
int CreateDirectoryPath(const std::string& path, os::Machine& machine, ui::Desktop& desktop,
                        sysedit::InstallLog& log, const std::string& bad_dir_text);

}  // namespace install::engine
