// The install log: "install.log" in the installation directory, one entry per
// change the installer makes to the machine, for a separate uninstall program
// to take back. The installer only appends to it; it never reads it.
//
// File format: 8-bit text, each entry one line ending in CR LF. The file is
// opened for appending for every entry (so it is complete on disk after each
// change, and the entries of an earlier run into the same directory stay in
// front). An entry is a keyword, ": " and its fields separated by ", "; a
// quoted field is the text between two double quotes exactly as used (a quote
// inside stays as it is). The text is written as a text-mode file would be on
// the target: every line feed inside an entry becomes CR LF.
//
// Entries that cannot be written yet (no log path, or its directory does not
// exist yet) wait in the pending text and go out in front of the next entry
// that can be written: as they are when they end in a line end of their own
// (DEFAULTDIR and DIRECTORY texts that wait do), with one added otherwise. Only the first entries of a run wait
// (DEFAULTDIR and the DIRECTORY lines of the installation directory); the
// pending text holds at most kPendingLogCapacity characters and an entry that
// would not fit is dropped.
//
// A write that fails (a full disk: the write, or the close that flushes it)
// is taken out of the file again, so that the log never holds half an entry;
// the entry, with its line end, and the text that waited before it wait for
// the next write, and the failure is reported once (see ReportFailuresTo).
// A log whose directory exists but that cannot be opened (read-only, in use)
// fails the same way: its entries wait, without a limit, and it is reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "install/os/machine.h"
#include "install/ui/desktop.h"

namespace install::sysedit {

inline constexpr char kInstallLogName[] = "install.log";
inline constexpr std::size_t kPendingLogCapacity = 8000;

class InstallLog {
 public:
  explicit InstallLog(os::Machine& machine) : machine_(machine) {}

  // The logging switch (UNINSTALL YES / NO). Off by default.
  void set_enabled(bool on) { enabled_ = on; }
  bool enabled() const { return enabled_; }

  // The log path becomes `directory` + "\install.log" ("\" not doubled).
  void SetLogPath(const std::string& directory);
  const std::string& log_path() const { return log_path_; }

  // Appends `text` and a line end. Returns 1 when written; 0 when logging is
  // off, or when the log could not be opened (the text then waits in the
  // pending text); -1 when the write failed (the text waits
  // with its line end, and the failure has been reported).
  int AppendLogLine(const std::string& text);

  const std::string& pending_text() const { return pending_; }

  // Where the first failed write of a run is reported ("Writing disk error. "
  // + log path, warning box); none: failures are only returned.
  void ReportFailuresTo(ui::Desktop* desktop) { desktop_ = desktop; }

 private:
  // The log opened for writing at its end (*end); null when it cannot be.
  std::unique_ptr<os::File> OpenAtEnd(int64_t* end);
  // Whether the log's directory exists (a log that cannot be opened there
  // is a failure, not a log that waits for its directory).
  bool DirectoryExists();
  // Cuts what a failed write left behind `end`.
  void CutBackTo(int64_t end);
  void ReportWriteFailure();

  os::Machine& machine_;
  ui::Desktop* desktop_ = nullptr;
  bool failure_reported_ = false;
  bool enabled_ = false;
  std::string log_path_;
  std::string pending_;
};

// Entry texts, spelled exactly as the uninstall program reads them. q() is a
// quoted field.
std::string QuotedLogField(const std::string& text);
std::string DefaultDirLogEntry(const std::string& directory);   // DEFAULTDIR: dir
std::string DirectoryLogEntry(const std::string& path);         // DIRECTORY: path
std::string FileLogEntry(const std::string& path);              // FILE: path
std::string RenameLogEntry(const std::string& new_name, const std::string& old_name);
std::string UninstallBeginLogEntry(const std::string& text);    // UNINSTALLBEGINPROMPT: q
std::string UninstallEndLogEntry(const std::string& text);      // UNINSTALLENDPROMPT: q
std::string UninstallTitleLogEntry(const std::string& text);    // UNINSTALLTITLEPROMPT: q
std::string RegServerLogEntry(const std::string& path);         // RegServer: q
std::string AutoexecLogEntry(const std::string& old_line, const std::string& new_line);
std::string ConfigLogEntry(const std::string& old_line, const std::string& new_line);
// INIFILE: q section, q key, q value, q file
std::string IniKeyLogEntry(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& file);
// INIFILE: q section, q key, q value, q file, q other (old or combined value)
std::string IniKeyLogEntry(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& file,
                           const std::string& other_value);
// INIFILE: q section, q file
std::string IniSectionLogEntry(const std::string& section, const std::string& file);
// ADDTEXT: q old line, file (bare), q new line
std::string AddTextLogEntry(const std::string& old_line, const std::string& file,
                            const std::string& new_line);
std::string RegKeyLogEntry(const std::string& root, const std::string& key_path);
std::string WinItemLogEntry(const std::string& group, const std::string& title);

}  // namespace install::sysedit
