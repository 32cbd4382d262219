// The disc's configuration ("cdrom.cfg") and the path services built on it:
// the unpack and Windows handlers, long-name translation through
// "00_trans.tbl" and the disc numbers of a multi-disc set.
//
// One DiscConfig is made at start-up, before any window, and lives until exit.
// It never re-reads the configuration; only DiscNumber reads the disc again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tamblor/os/machine.h"

namespace tamblor::config {

inline constexpr size_t kMaxValue = 80;         // characters of a configuration value
inline constexpr size_t kMaxExtension = 7;      // characters of a handler's extension
inline constexpr size_t kMaxCommandBuffer = 522;  // characters of a handler command line
inline constexpr size_t kMaxArguments = 9;      // words of a handler command line

struct ExtensionHandler {
  std::string extension;  // e.g. ".zip", at most kMaxExtension characters
  std::string program;    // at most kMaxValue characters; "\..." names a program on the disc
};

class DiscConfig {
 public:
  DiscConfig(os::Machine& machine, char drive);

  // Reads the configuration file at `path` when it exists (a find test); when
  // it does not, every value keeps its default. A file that exists but cannot
  // be opened ends the process with exit code -1 after "Cannot open file '%s':
  // %s\n" on the standard error stream.
  void Read(const std::string& path);
  // Applies one line of the configuration file (keys are tested in a fixed
  // order; the first whose text begins the line decides).
  void ApplyLine(std::string_view line);

  char drive() const { return drive_; }
  const std::string& config_path() const { return config_path_; }
  const std::string& disc_title() const { return disc_title_; }
  const std::string& unzip_root() const { return unzip_root_; }
  const std::string& translation_dir() const { return translation_dir_; }
  const std::string& language() const { return language_; }
  bool multi_disc() const { return multi_disc_; }
  bool rock_ridge() const { return rock_ridge_; }
  const std::vector<ExtensionHandler>& uncompress_handlers() const { return uncompress_handlers_; }
  const std::vector<ExtensionHandler>& windows_handlers() const { return windows_handlers_; }

  // "%c:\" with the drive letter.
  std::string RootPath() const;

  // The unpack program for `path` (first handler whose extension ends the
  // path, ignoring case); a disc program gets the drive letter in front.
  std::optional<std::string> UncompressProgram(std::string_view path) const;
  // The command line of the Windows handler for `path`, program then
  // `argument`, split at blanks into at most kMaxArguments words (further words
  // are dropped). nullopt when no handler matches.
  std::optional<std::vector<std::string>> WindowsCommand(std::string_view path, std::string_view argument) const;

  // The disc's long names to the names stored on the disc, one directory level
  // at a time through each level's "00_trans.tbl", when ROCKRIDGE is set.
  // Any path that cannot be translated completely (no table, no line for a
  // component, or a result of kMaxPath characters or more) comes back unchanged.
  std::string TranslatePath(const std::string& path) const;

  // The number on the "DISC #" line of the drive's root cdrom.cfg, read anew on
  // each call; 0 when the file or the line is missing.
  int DiscNumber() const;
  // N when `path` is "X:\discN..." and N is not this disc's number, else 0.
  int RequiredDisc(std::string_view path) const;

 private:
  std::string ProgramPath(const std::string& program) const;

  os::Machine& machine_;
  char drive_;
  std::string config_path_;
  std::string disc_title_;
  std::string unzip_root_;
  std::string translation_dir_;
  std::string language_;
  bool multi_disc_ = false;
  bool rock_ridge_ = false;
  std::vector<ExtensionHandler> uncompress_handlers_;
  std::vector<ExtensionHandler> windows_handlers_;
};

// The text after the first double quote up to the next one (or the end of the
// line), cut to kMaxValue characters; nullopt when the line has no quote.
std::optional<std::string> QuotedValue(std::string_view line);
// The quoted value of what follows the first quoted value's closing quote;
// nullopt when the first value is not closed or no second value follows.
std::optional<std::string> SecondQuotedValue(std::string_view line);

}  // namespace tamblor::config
