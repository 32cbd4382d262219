// Moving a file over an existing one on every system the installer runs on.
// Windows NT has MoveFileExA with MOVEFILE_REPLACE_EXISTING; Windows 95
// exports the name but the call fails with ERROR_CALL_NOT_IMPLEMENTED, so
// there the old file is renamed aside, the new one renamed in and the old one
// deleted, with the old file put back when the new one cannot take its place.
#pragma once

#include <cstdint>
#include <string>

namespace install::os {

enum class ReplaceMethod {
  kMoveFileEx,  // one MoveFileExA call (Windows NT)
  kRenaming,    // aside, in, delete (Windows 95)
};

// The method for a platform version in the layout of GetVersion (the high
// bit is set on Windows 95) on a system that does or does not export
// MoveFileExA.
ReplaceMethod ReplaceMethodFor(uint32_t platform_version, bool has_move_file_ex);

// The method of the running system.
ReplaceMethod ReplaceMethodOfThisSystem();

// Moves `from` to `to`, replacing a file `to`. Fails, leaving `to` as it was,
// when `to` is a directory or read-only. A MoveFileExA that turns out not to
// be implemented falls back to renaming.
bool MoveFileReplacingWith(ReplaceMethod method, const std::string& from, const std::string& to);

// The renaming method on its own: the old `to` becomes an unused "~RPLnnnn.TMP"
// in its directory, `from` is renamed to `to`, and the old file is deleted.
// When `from` cannot be renamed in, the old file gets its name back. When
// only the deletion fails the replacement stands and the aside file stays.
bool ReplaceByRenaming(const std::string& from, const std::string& to);

}  // namespace install::os
