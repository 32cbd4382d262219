#include "install/sysedit/install_log.h"

#include <memory>

#include "install/ui/builtin_texts.h"

namespace install::sysedit {
namespace {

// Text-mode output on the target: a line feed is written as CR LF.
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Entry(const char* keyword, std::initializer_list<std::string> fields) {
  std::string out = keyword;
  out += ": ";
  bool first = true;
  for (const std::string& field : fields) {
    if (!first) out += ", ";
    out += field;
    first = false;
  }
  return out;
}

}  // namespace

void InstallLog::SetLogPath(const std::string& directory) {
  log_path_ = directory;
  if (log_path_.empty() || log_path_.back() != '\\') log_path_ += '\\';
  log_path_ += kInstallLogName;
}

std::unique_ptr<os::File> InstallLog::OpenAtEnd(int64_t* end) {
  if (log_path_.empty()) return nullptr;
  std::unique_ptr<os::File> file = machine_.Open(log_path_, os::OpenMode::ReadWrite);
  // Created only when it does not exist: a log that cannot be opened for
  // writing is never truncated.
  if (!file && machine_.GetAttributes(log_path_) == os::kInvalidAttributes) {
    file = machine_.Open(log_path_, os::OpenMode::Create);
  }
  if (file) *end = file->Seek(0, 2);
  if (file && *end < 0) file.reset();
  return file;
}

bool InstallLog::DirectoryExists() {
  const size_t slash = log_path_.rfind('\\');
  if (log_path_.empty() || slash == std::string::npos) return false;
  const std::string directory = log_path_.substr(0, slash == 2 ? 3 : slash);
  const uint32_t attributes = machine_.GetAttributes(directory);
  return attributes != os::kInvalidAttributes && (attributes & os::kAttrDirectory);
}

void InstallLog::CutBackTo(int64_t end) {
  std::unique_ptr<os::File> file = machine_.Open(log_path_, os::OpenMode::ReadWrite);
  // A log that lost more than this entry (its length below `end`) is left
  // as it is: cutting there would lengthen it.
  if (!file || file->Seek(0, 2) < end || file->Seek(end, 0) != end) return;
  file->Truncate();
  file->Close();
}

void InstallLog::ReportWriteFailure() {
  if (!desktop_ || failure_reported_) return;
  failure_reported_ = true;
  desktop_->MessageBox(std::string(ui::kWritingDiskErrorText) + " " + log_path_, nullptr,
                       ui::kMbOk | ui::kMbIconWarning);
}

int InstallLog::AppendLogLine(const std::string& text) {
  if (!enabled_) return 0;
  int64_t end = 0;
  std::unique_ptr<os::File> file = OpenAtEnd(&end);
  if (!file) {
    // Waiting texts end in a line end, so that the next entry starts a line.
    const std::string waiting = text.empty() || text.back() != '\n' ? text + "\n" : text;
    if (!DirectoryExists()) {
      if (pending_.size() + waiting.size() <= kPendingLogCapacity) pending_ += waiting;
      return 0;
    }
    // The directory is there: the log itself refuses (read-only, in use).
    pending_ += waiting;
    ReportWriteFailure();
    return -1;
  }
  const std::string entry = pending_ + text + "\n";
  const std::string out = WithCrLf(entry);
  bool written = file->Write(out.data(), static_cast<uint32_t>(out.size())) == static_cast<int32_t>(out.size());
  written = file->Close() && written;
  if (!written) {
    // The entry is taken out again and waits, whole, for the next write.
    CutBackTo(end);
    pending_ = entry;
    ReportWriteFailure();
    return -1;
  }
  pending_.clear();
  return 1;
}

std::string QuotedLogField(const std::string& text) { return "\"" + text + "\""; }

std::string DefaultDirLogEntry(const std::string& directory) { return Entry("DEFAULTDIR", {directory}); }
std::string DirectoryLogEntry(const std::string& path) { return Entry("DIRECTORY", {path}); }
std::string FileLogEntry(const std::string& path) { return Entry("FILE", {path}); }
std::string RenameLogEntry(const std::string& new_name, const std::string& old_name) {
  return Entry("RENAME", {new_name, old_name});
}
std::string UninstallBeginLogEntry(const std::string& text) {
  return Entry("UNINSTALLBEGINPROMPT", {QuotedLogField(text)});
}
std::string UninstallEndLogEntry(const std::string& text) {
  return Entry("UNINSTALLENDPROMPT", {QuotedLogField(text)});
}
std::string UninstallTitleLogEntry(const std::string& text) {
  return Entry("UNINSTALLTITLEPROMPT", {QuotedLogField(text)});
}
std::string RegServerLogEntry(const std::string& path) {
  return Entry("RegServer", {QuotedLogField(path)});
}
std::string AutoexecLogEntry(const std::string& old_line, const std::string& new_line) {
  return Entry("AUTOEXEC", {QuotedLogField(old_line), QuotedLogField(new_line)});
}
std::string ConfigLogEntry(const std::string& old_line, const std::string& new_line) {
  return Entry("CONFIG", {QuotedLogField(old_line), QuotedLogField(new_line)});
}
std::string IniKeyLogEntry(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& file) {
  return Entry("INIFILE", {QuotedLogField(section), QuotedLogField(key), QuotedLogField(value),
                           QuotedLogField(file)});
}
std::string IniKeyLogEntry(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& file,
                           const std::string& other_value) {
  return Entry("INIFILE", {QuotedLogField(section), QuotedLogField(key), QuotedLogField(value),
                           QuotedLogField(file), QuotedLogField(other_value)});
}
std::string IniSectionLogEntry(const std::string& section, const std::string& file) {
  return Entry("INIFILE", {QuotedLogField(section), QuotedLogField(file)});
}
std::string AddTextLogEntry(const std::string& old_line, const std::string& file,
                            const std::string& new_line) {
  return Entry("ADDTEXT", {QuotedLogField(old_line), file, QuotedLogField(new_line)});
}
std::string RegKeyLogEntry(const std::string& root, const std::string& key_path) {
  return Entry("REGKEY", {QuotedLogField(root), QuotedLogField(key_path)});
}
std::string WinItemLogEntry(const std::string& group, const std::string& title) {
  return Entry("WINITEM", {QuotedLogField(group), QuotedLogField(title)});
}

}  // namespace install::sysedit
