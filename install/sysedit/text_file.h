// Text files of the target machine as the installer's edits read and write
// them: through the C library's text mode, line by line in pieces of a fixed
// size, and replaced so that the old file is never lost.
//
// Text mode: reading turns CR LF into LF and stops at the first Ctrl-Z;
// writing turns every LF into CR LF. So lines written by the installer end
// in CR LF whatever the old file used, and a file of CR LF lines read and
// written again keeps its bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/os/machine.h"

namespace install::sysedit {

// The temporary file that the edits write first, in the edited file's directory.
inline constexpr char kTemporaryFileName[] = "~Tarsk.tmp";

std::string FromTextMode(std::string_view bytes);
std::string ToTextMode(std::string_view text);

// The pieces a line reader returns that gives at most `unit` characters per
// call, line end included: every line with its LF, a longer line in pieces of
// `unit` characters (only the last piece of a line holds its LF). The last
// line may lack its LF. `unit` is at least 2.
std::vector<std::string> SplitLinePieces(std::string_view text, std::size_t unit);

// `line` without its LF.
std::string_view WithoutLineEnd(std::string_view line);

enum class TextFileState { kRead, kMissing, kUnreadable };

// Reads a whole file in text mode. kMissing when no such file exists (the
// text is then empty), kUnreadable when it exists but cannot be read.
TextFileState ReadTextFile(os::Machine& machine, const std::string& path, std::string* text);

// The bytes of a file, nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(os::Machine& machine, const std::string& path);

// Creates (or truncates) `path` and writes `bytes`. False when it cannot be
// created or the write falls short (a full disk).
bool WriteWholeFile(os::Machine& machine, const std::string& path, std::string_view bytes);

// The temporary file for `path`: its directory (up to and including the last
// "\") + kTemporaryFileName, or the name alone when `path` has no "\".
std::string TemporaryFileBeside(const std::string& path);

// Writes `bytes` into the temporary file beside `path` and moves it over
// `path` (which need not exist). False when that fails; `path` is then as it
// was and no temporary file is left.
bool ReplaceFile(os::Machine& machine, const std::string& path, std::string_view bytes);

// The same, keeping the old file as `backup`: the new bytes go into the
// temporary file first, then an earlier `backup` is deleted, `path` renamed
// to `backup` (when it exists) and the temporary file renamed to `path`.
// False when any step fails; `path` then holds the old bytes again (put back
// from `backup` when it was already renamed) and no temporary file is left.
bool ReplaceFileKeepingBackup(os::Machine& machine, const std::string& path, const std::string& backup,
                              std::string_view bytes);

// Undoes a replacement: deletes `path` and renames `backup` back to it.
// Without a backup (there was no old file) `path` is only deleted.
void PutBackBackup(os::Machine& machine, const std::string& path, const std::string& backup);

}  // namespace install::sysedit
