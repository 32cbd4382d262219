// Installing the files of one FILE entry: finding the sources on the current
// disk (install-archive members, exact names, wildcard matches), copying them,
// extracting compressed volume sets, running the external unpackers, applying
// the overwrite rules, carrying dates and attributes over, creating the
// destination directories and writing "DIRECTORY: " and "FILE: " to the log.
//
// A file is never written in place: the new content goes to a temporary file
// beside the destination ("~INSnnnn.TMP", created new) that replaces it only
// once it is complete: every write, the flush to the disk and the close
// succeeded, and the file holds as many bytes as were copied (or decoded).
// It then takes its date and attributes and is renamed over the destination.
// So a failure at any point leaves the old file as it was, attributes
// included, and no temporary file; and a file that is in place has reached
// the disk. A destination that is a directory is never replaced. Read and
// write errors are reported and stop the installation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "install/archive/disk_request.h"
#include "install/engine/engine_state.h"
#include "install/sysedit/install_log.h"
#include "install/engine/macro_expander.h"
#include "install/archive/progress_hooks.h"
#include "install/archive/source_stream.h"
#include "install/archive/volume_set.h"
#include "install/os/machine.h"
#include "install/script/file_entry.h"
#include "install/ui/desktop.h"

namespace install::engine {

inline constexpr uint32_t kCopyBufferSize = 32768;

// External unpacker settings of the plan.
enum : int { kUnpackPkware = 0, kUnpackLha = 1 };

// The script-replaceable texts this part shows (their built-in defaults).
struct FileInstallTexts {
  std::string file_exist = "File exists.  Overwrite ";                         // FILEEXISTPROMPT
  std::string file_not_found = "File not found on the installation disk: ";  // FILENOTFOUNDPROMPT
  std::string bad_dir = "Invalid directory.";                                 // BADDIRPROMPT
};

// Paths are expanded to at most this many characters.
inline constexpr std::size_t kExpandedPathCapacity = 999;

// Results.
enum : int {
  kEntryContinue = 0,  // InstallEntryFiles: go on with the next entry
  kEntryStop = 1,      // InstallEntryFiles: stop the installation
  kInstallDone = 0,    // InstallFile, ExtractVolumeSet: done (or skipped)
  kInstallFailed = -1, // failed or cancelled; the message has been shown
  kNotVolumeSet = -2,  // ExtractVolumeSet: the source is not a compressed volume set
};

class FileInstaller {
 public:
  FileInstaller(os::Machine& machine, ui::Desktop& desktop, archive::SourceReader& sources,
                archive::VolumeSetReader& volumes, archive::NextDiskRequester& disks, archive::ProgressHooks& progress,
                sysedit::InstallLog& log, EngineState& state);

  void set_texts(const FileInstallTexts& texts) { texts_ = texts; }
  void set_unpacker(int unpacker) { unpacker_ = unpacker; }
  // Expands the macros of the entry's name and of a SOURCE beginning with "$";
  // without one, texts are used as written.
  void set_macro_expander(MacroExpander expander) { expand_ = std::move(expander); }
  // Called after the overwrite question was answered (the executor repaints a
  // pop-up message and makes the progress window active again).
  void set_after_question(std::function<void()> hook) { after_question_ = std::move(hook); }

  // Installs every source of one FILE entry. kEntryContinue or kEntryStop.
  int InstallEntryFiles(const script::FileEntry& entry);

  // Installs one source at `destination`: extracts it when it is a compressed
  // volume set, copies it otherwise, under `mode`. kInstallDone or
  // kInstallFailed.
  int InstallFile(const std::string& destination, const std::string& source,
                  script::OverwriteMode mode, uint32_t attributes);

  // Extracts the set whose first volume is `source` into the directory of
  // `destination` (the name of `destination` itself is not used).
  // kInstallDone, kInstallFailed, or kNotVolumeSet (also when the source
  // cannot be opened).
  int ExtractVolumeSet(const std::string& destination, const std::string& source,
                       script::OverwriteMode mode, uint32_t attributes);

  // The source path of `name` for `entry` (SOURCE kind 0, 1 or 2).
  std::string SourcePathOf(const script::FileEntry& entry, const std::string& name) const;

 private:
  struct ExplodeTarget;
  static unsigned ExplodeReadMember(char* buffer, unsigned* size, void* param);
  static void ExplodeWriteMember(char* buffer, unsigned* size, void* param);

  int WalkSources(const script::FileEntry& entry, const std::string& destination_dir,
                  const std::string& name_part);
  // The overwrite decision for an existing readable destination.
  bool AskOverwrite(const std::string& destination);
  bool SourceIsNewer(const std::string& source, const std::string& destination,
                     os::DosDateTime source_time);
  // Creates a new temporary file beside the destination (its name in
  // *temporary). Null (message shown) when the destination is a directory or
  // no temporary file can be created.
  std::unique_ptr<os::File> OpenReplacement(const std::string& destination, std::string* temporary);
  // Flushes and closes a finished temporary file and checks that it holds
  // `expected_size` bytes. False (no message) when any of that fails.
  bool FinishReplacement(std::unique_ptr<os::File> out, int64_t expected_size);
  // Deletes a temporary file, clearing its attributes when it resists.
  void DiscardTemporary(const std::string& temporary);
  // A file that is not written counts as done for the byte progress.
  void CountSkipped(int64_t bytes);
  // Gives the finished temporary file its date and attributes and puts it in
  // place of the destination (whose read-only, hidden and system bits are
  // cleared for that and restored when the move fails), then logs it.
  // kInstallDone, or kInstallFailed (temporary deleted, message shown) with
  // the destination as it was.
  int CommitDestination(const std::string& temporary, const std::string& destination,
                        os::DosDateTime when, uint32_t attributes);
  void AddProgress(uint32_t bytes);
  void RefreshWhenCounting();
  void Warn(const std::string& text);
  std::string Expand(const std::string& text) const {
    return ExpandWith(expand_, text, kExpandedPathCapacity);
  }

  os::Machine& machine_;
  ui::Desktop& desktop_;
  archive::SourceReader& sources_;
  archive::VolumeSetReader& volumes_;
  archive::NextDiskRequester& disks_;
  archive::ProgressHooks& progress_;
  sysedit::InstallLog& log_;
  EngineState& state_;
  FileInstallTexts texts_;
  int unpacker_ = kUnpackPkware;
  MacroExpander expand_;
  std::function<void()> after_question_;
};

// The command line of an external unpacker, its parts joined as they stand:
//   PKWARE, COMPRESSED   "dosshell.pif /C pkunzip " source " -d " [opt] dir "\"
//   PKWARE, SELF-EXTRACT "dosshell.pif /C " source " -d " [opt] dir "\"
//   LHA, COMPRESSED      "dosshell.pif /C lha x " [lha opt] source " " dir "\"
//   LHA, SELF-EXTRACT    "dosshell.pif /C " source " " dir "\"
// [opt] is "-o " for Yes, "-n " for New; [lha opt] "/c1 " for Yes. A source
// or directory that holds a space or a character the command interpreter
// reads (kCommandSpecialCharacters) is quoted, the directory's quote closing
// before its final "\"; other paths stand as they are. A matched archive
// whose own name holds "&", "|", "<" or ">" is not run at all
// ("Invalid compressed file " + its path; the installation goes on).
std::string UnpackerCommandLine(int unpacker, script::Compression compression,
                                script::OverwriteMode mode, const std::string& source,
                                const std::string& destination_dir);

inline constexpr const char* kCommandSpecialCharacters = " \t&|<>^(),;=";
// `path` in double quotes when it holds one of kCommandSpecialCharacters.
std::string QuotedForCommand(const std::string& path);
// True when a file name holds "&", "|", "<" or ">".
bool ReachesCommandInterpreter(const std::string& name);

// Starts a command line with a show state and waits, without a time limit, for
// it to end. A command that cannot be started is passed over silently.
void RunAndWait(os::Machine& machine, const std::string& command_line, int show);

// A name for a temporary file in the directory of `path` ("~INS0000.TMP" ...)
// that does not exist yet; empty when none is free.
std::string TemporaryNameBeside(os::Machine& machine, const std::string& path);

}  // namespace install::engine
