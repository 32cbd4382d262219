// The conditions of IF lines that look at files: whether a file exists, the
// first line of a text file that holds a text, and the search of the drives
// for a file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "install/os/machine.h"

namespace install::script {

// True when `path` names an existing file; wildcards are allowed in its last
// part (any matching file counts, directories do not). A path ending in "\"
// asks for an existing directory instead.
bool FileExists(os::Machine& machine, const std::string& path);

// The first line of a text file that holds the searched text.
struct TextHit {
  int line_number = 0;  // counted from 1
  std::string left;     // the line before the text
  std::string right;    // the line after the text
};

// A text file read as the C library reads one in text mode: lines of at most
// 998 characters (a longer line goes on as the next one), the line feed
// removed and a carriage return before it dropped, the file ending at its end
// or at a Ctrl-Z. Lines are counted from 1.
class TextFileLines {
 public:
  static constexpr std::size_t kMaxLine = 998;
  explicit TextFileLines(std::unique_ptr<os::File> file) : file_(std::move(file)) {}
  // The next line; false at the end of the file or on a read error.
  bool Next(std::string& line);

 private:
  bool Fill();
  int RawChar();   // the next byte, -1 at the end (or at Ctrl-Z)
  int NextChar();  // the same with CR LF read as LF
  std::unique_ptr<os::File> file_;
  char buffer_[4096];
  std::size_t at_ = 0;
  std::size_t size_ = 0;
  int pending_ = -1;  // a byte read ahead after a carriage return
  bool ended_ = false;
};

// Reads `path` as a text file and finds the first line that contains `text`
// (letter case ignored), passing over lines that begin with `skip_prefix`
// when it is not empty (letter case ignored). nullopt when the file cannot be
// opened or no line holds the text.
std::optional<TextHit> SearchTextFile(os::Machine& machine, const std::string& path,
                                      std::string_view text, std::string_view skip_prefix);

// Which drives "locate" searches.
enum class DriveChoice { FixedAndNetwork, Fixed, Network, OneLetter };
struct DriveSpec {
  DriveChoice choice = DriveChoice::FixedAndNetwork;
  char letter = 0;  // upper case, for OneLetter
};

// "" every fixed and network drive, "local" the fixed ones, "network" the
// network ones, one letter that drive (letter case ignored throughout).
// nullopt for anything else.
std::optional<DriveSpec> ParseDriveSpec(std::string_view word);

// Searches the chosen drives from A: to Z:, leaving out `source_drive`, for
// a file matching `pattern` (wildcards allowed): on each drive the root
// first, then every subdirectory depth first in the order the drive lists
// them, each directory before its subdirectories. The full path of the first
// directory holding a match ("C:\" for a drive root, else without a trailing
// "\"), or nullopt. Directories whose paths would not fit a Windows path are
// not entered. The current directory is left alone.
std::optional<std::string> LocateFile(os::Machine& machine, std::string_view pattern,
                                      const DriveSpec& drives, char source_drive);

}  // namespace install::script
