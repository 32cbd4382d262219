#include "install/sysedit/dos_files.h"

#include <cstdint>

#include "install/os/ascii_case.h"
#include "install/sysedit/text_file.h"
#include "install/ui/builtin_texts.h"

namespace install::sysedit {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t SkipBlanksAndEquals(std::string_view line, std::size_t at) {
  while (at < line.size() && (IsBlank(line[at]) || line[at] == '=')) ++at;
  return at;
}

// `keyword` at `at` in `line` as a whole word: followed by a blank or "=".
bool KeywordAt(std::string_view line, std::size_t at, std::string_view keyword) {
  if (!os::StartsWithIgnoringCase(line.substr(at), keyword)) return false;
  const std::size_t after = at + keyword.size();
  return after < line.size() && (IsBlank(line[after]) || line[after] == '=');
}

// The number at `at` as the C library's atol reads it (sign, digits),
// saturated to the 32-bit range.
int64_t NumberAt(std::string_view line, std::size_t at) {
  bool negative = false;
  if (at < line.size() && (line[at] == '-' || line[at] == '+')) negative = line[at++] == '-';
  int64_t value = 0;
  for (; at < line.size() && os::IsDecimalDigit(line[at]); ++at) {
    value = value * 10 + (line[at] - '0');
    if (value > INT32_MAX) value = INT32_MAX;
  }
  return negative ? -value : value;
}

std::string Expanded(const std::string& text, const script::MacroValues& macros) {
  std::string expanded = text;
  script::ExpandAll(expanded, macros, script::MacroText::kCapacity);
  return expanded;
}

std::vector<script::MacroText> ExpandedLines(const std::vector<script::MacroText>& lines,
                                             const script::MacroValues& macros) {
  std::vector<script::MacroText> expanded = lines;
  for (script::MacroText& line : expanded) line.text = Expanded(line.text, macros);
  return expanded;
}

// Clears the pending flag of every added line that `line` contains.
void MarkPresentLines(std::vector<script::MacroText>& added, const std::string& line) {
  for (script::MacroText& text : added) {
    if (text.pending && line.find(text.text) != std::string::npos) text.pending = false;
  }
}

class AutoexecPass {
 public:
  AutoexecPass(const script::AutoexecEdits& edits, const script::MacroValues& macros,
               const std::string& installation_dir, const std::string& config)
      : macros_(macros),
        config_(config),
        eligible_(config.empty()),
        share_wanted_(edits.share_wanted),
        min_files_(edits.share_min_files),
        min_locks_(edits.share_min_locks),
        added_(ExpandedLines(edits.added_lines, macros)) {
    for (const script::MacroText& entry : edits.path_entries) path_entries_.push_back(entry.text);
    if (edits.add_install_dir) {
      std::string directory = installation_dir;
      if (directory.size() == 2 && directory[1] == ':') directory += '\\';
      path_entries_.push_back(directory);
    }
  }

  void Line(std::string line) {
    std::string old_text;
    bool changed = false;
    if (share_wanted_ && IsShareLine(line)) changed = AdjustShareLine(line, &old_text);
    if (!config_.empty() && !line.empty() && line[0] == ':') {
      eligible_ = os::StartsWithIgnoringCase(std::string_view(line).substr(1), config_);
    }
    if (!path_done_ && !path_entries_.empty() && eligible_) {
      if (const std::size_t offset = PathValueOffset(line)) {
        path_done_ = true;
        const std::string as_read = line;
        if (InsertPathEntries(line, offset)) {
          old_text = as_read;
          changed = true;
        }
      }
    }
    MarkPresentLines(added_, line);
    // The old file's last line stays last: the lines of a finished line go
    // out, the current one waits (with all its pieces).
    if (!held_.empty() && held_.back() == '\n') {
      result_.text += held_;
      held_.clear();
    }
    if (changed) {
      result_.log_entries.push_back(AutoexecLogEntry(std::string(WithoutLineEnd(old_text)),
                                                     std::string(WithoutLineEnd(line))));
      result_.changed = true;
    }
    held_ += line;
  }

  DosFileEdit Finish() {
    if (!path_done_ && !path_entries_.empty()) {
      std::string path = "PATH=";
      for (const std::string& entry : path_entries_) path += Expanded(entry, macros_) + ";";
      AddLine(path);
    }
    for (const script::MacroText& line : added_) {
      if (line.pending) AddLine(line.text);
    }
    if (share_wanted_) AddLine("SHARE" + ShareOptions());
    result_.text += held_;
    return std::move(result_);
  }

 private:
  std::string ShareOptions() const {
    std::string options;
    if (min_files_ != 0) options += " /F:" + std::to_string(min_files_);
    if (min_locks_ != 0) options += " /L:" + std::to_string(min_locks_);
    return options;
  }

  // The first SHARE line met: the minimums become the larger of wanted and
  // present; a line below either is rewritten. True when it changed.
  bool AdjustShareLine(std::string& line, std::string* old_text) {
    const script::ShareNumbers present = script::ReadShareNumbers(line);
    bool too_small = false;
    if (present.files >= min_files_) min_files_ = present.files; else too_small = true;
    if (present.locks >= min_locks_) min_locks_ = present.locks; else too_small = true;
    share_wanted_ = false;
    if (!too_small) return false;
    *old_text = line;
    line.erase(line.find("SHARE") + 5);
    line += ShareOptions() + "\n";
    return true;
  }

  bool InsertPathEntries(std::string& line, std::size_t offset) const {
    bool changed = false;
    for (const std::string& entry : path_entries_) {
      const std::string upper_entry = os::UpperCopy(Expanded(entry, macros_));
      if (PathHasEntry(os::UpperCopy(line), upper_entry)) continue;
      line.insert(offset, upper_entry + ";");
      changed = true;
    }
    return changed;
  }

  void AddLine(const std::string& text) {
    result_.log_entries.push_back(AutoexecLogEntry("", text));
    result_.text += text + "\n";
    result_.changed = true;
  }

  const script::MacroValues& macros_;
  std::string config_;
  bool eligible_;
  bool share_wanted_;
  int32_t min_files_;
  int32_t min_locks_;
  std::vector<std::string> path_entries_;
  std::vector<script::MacroText> added_;
  bool path_done_ = false;
  std::string held_;  // the pieces of the line read last
  DosFileEdit result_;
};

// The first FILES or BUFFERS line: its number raised to `minimum`. True when
// it changed.
bool RaiseNumber(std::string& line, std::size_t keyword_length, int32_t minimum) {
  const std::size_t at = SkipBlanksAndEquals(line, keyword_length);
  if (minimum <= 0 || NumberAt(line, at) >= minimum) return false;
  line.erase(at);
  line += std::to_string(minimum) + "\n";
  return true;
}

class ConfigPass {
 public:
  ConfigPass(const script::ConfigEdits& edits, const script::MacroValues& macros)
      : edits_(edits), added_(ExpandedLines(edits.added_lines, macros)) {}

  void Line(std::string line) {
    const std::string old_text = line;
    bool changed = false;
    if (!files_seen_ && KeywordAt(line, 0, "FILES")) {
      files_seen_ = true;
      changed = RaiseNumber(line, 5, edits_.files_min);
    }
    if (!buffers_seen_ && KeywordAt(line, 0, "BUFFERS")) {
      buffers_seen_ = true;
      changed = RaiseNumber(line, 7, edits_.buffers_min) || changed;
    }
    MarkPresentLines(added_, line);
    if (changed) {
      result_.log_entries.push_back(
          ConfigLogEntry(std::string(WithoutLineEnd(old_text)), std::string(WithoutLineEnd(line))));
      result_.changed = true;
    }
    result_.text += line;
  }

  DosFileEdit Finish() {
    if (!files_seen_ && edits_.files_min != 0) AddLine("FILES = " + std::to_string(edits_.files_min));
    if (!buffers_seen_ && edits_.buffers_min != 0) AddLine("BUFFERS = " + std::to_string(edits_.buffers_min));
    for (const script::MacroText& line : added_) {
      if (line.pending) AddLine(line.text);
    }
    return std::move(result_);
  }

 private:
  void AddLine(const std::string& text) {
    if (!result_.text.empty() && result_.text.back() != '\n') result_.text += '\n';
    result_.log_entries.push_back(ConfigLogEntry("", text));
    result_.text += text + "\n";
    result_.changed = true;
  }

  const script::ConfigEdits& edits_;
  std::vector<script::MacroText> added_;
  bool files_seen_ = false;
  bool buffers_seen_ = false;
  DosFileEdit result_;
};

// Puts the new file in place (the old one kept as `backup`), logs its
// entries, and with ASK lets the user reject it.
int CommitDosFile(SystemEditServices& services, const std::string& path, const std::string& backup,
                  const DosFileEdit& edit, script::EditMode mode, const std::string& prompt) {
  if (!ReplaceFileKeepingBackup(services.machine, path, backup, ToTextMode(edit.text))) {
    WarnAboutFile(services.desktop, ui::kCannotCreateFileText, path);
    return kEditFailed;
  }
  for (const std::string& entry : edit.log_entries) services.log.AppendLogLine(entry);
  if (edit.changed && mode == script::EditMode::EditThenAsk &&
      services.desktop.MessageBox(prompt, "", ui::kMbYesNo | ui::kMbIconQuestion) == ui::kIdNo) {
    PutBackBackup(services.machine, path, backup);
    return kEditRejected;
  }
  return kEditDone;
}

// Reads the old file; false (warned) when it exists but cannot be read.
bool ReadDosFile(SystemEditServices& services, const std::string& path, std::string* text) {
  if (ReadTextFile(services.machine, path, text) != TextFileState::kUnreadable) return true;
  WarnAboutFile(services.desktop, ui::kReadingFileErrorText, path);
  return false;
}

}  // namespace

std::string BootFilePath(char drive, std::string_view name) {
  return std::string(1, drive) + ":\\" + std::string(name);
}

std::size_t PathValueOffset(std::string_view line) {
  const std::size_t start = SkipBlanksAndEquals(line, 0);
  if (KeywordAt(line, start, "PATH")) return SkipBlanksAndEquals(line, start + 4);
  if (!os::StartsWithIgnoringCase(line.substr(start), "SET") || start + 3 >= line.size() ||
      !IsBlank(line[start + 3])) {
    return 0;
  }
  std::size_t at = start + 3;
  while (at < line.size() && IsBlank(line[at])) ++at;
  return os::StartsWithIgnoringCase(line.substr(at), "PATH=") ? at + 5 : 0;
}

bool IsShareLine(std::string_view line) {
  if (os::StartsWithIgnoringCase(line, "rem ")) return false;
  if (os::UpperCopy(line).find("SHARE") == std::string::npos) return false;
  // A directory named SHARE... in the path or in a variable is no program to load.
  std::size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) ++start;
  return PathValueOffset(line) == 0 && !KeywordAt(line, start, "SET");
}

bool PathHasEntry(std::string_view upper_line, std::string_view upper_entry) {
  for (std::size_t at = upper_line.find(upper_entry); at != std::string_view::npos;
       at = upper_line.find(upper_entry, at + 1)) {
    const std::size_t after = at + upper_entry.size();
    if (after < upper_line.size() && (upper_line[after] == ';' || IsWhiteSpace(upper_line[after]))) {
      return true;
    }
  }
  return false;
}

DosFileEdit EditAutoexecText(std::string_view old_text, const script::AutoexecEdits& edits,
                             const script::MacroValues& macros, const std::string& installation_dir,
                             const std::string& config) {
  AutoexecPass pass(edits, macros, installation_dir, config);
  for (std::string& piece : SplitLinePieces(old_text, kDosLineUnit)) pass.Line(std::move(piece));
  return pass.Finish();
}

DosFileEdit EditConfigText(std::string_view old_text, const script::ConfigEdits& edits,
                           const script::MacroValues& macros) {
  ConfigPass pass(edits, macros);
  for (std::string& piece : SplitLinePieces(old_text, kDosLineUnit)) pass.Line(std::move(piece));
  return pass.Finish();
}

int ApplyAutoexecEdits(script::InstallPlan& plan, SystemEditServices& services) {
  const script::AutoexecEdits& edits = plan.autoexec_edits;
  if (edits.mode == script::EditMode::Untouched) return kEditDone;
  const std::string path = BootFilePath(plan.hard_disk_letter, "AUTOEXEC.BAT");
  std::string old_text;
  if (!ReadDosFile(services, path, &old_text)) return kEditFailed;
  // The start-up configuration DOS chose from a multi-configuration CONFIG.SYS.
  std::string config;
  if (!services.machine.GetEnvironmentVariable("CONFIG", &config)) config.clear();
  const DosFileEdit edit = EditAutoexecText(old_text, edits, plan.macros, plan.macros.default_dir, config);
  return CommitDosFile(services, path, BootFilePath(plan.hard_disk_letter, "AUTOEXEC.BAK"), edit, edits.mode,
                       plan.prompts.autoexec);
}

int ApplyConfigEdits(script::InstallPlan& plan, SystemEditServices& services) {
  const script::ConfigEdits& edits = plan.config_edits;
  if (edits.mode == script::EditMode::Untouched) return kEditDone;
  const std::string path = BootFilePath(plan.hard_disk_letter, "CONFIG.SYS");
  std::string old_text;
  if (!ReadDosFile(services, path, &old_text)) return kEditFailed;
  const DosFileEdit edit = EditConfigText(old_text, edits, plan.macros);
  return CommitDosFile(services, path, BootFilePath(plan.hard_disk_letter, "CONFIG.BAK"), edit, edits.mode,
                       plan.prompts.config);
}

}  // namespace install::sysedit
