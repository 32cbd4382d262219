#include "install/script/dos_edit_args.h"

#include "install/os/ascii_case.h"
#include "install/script/script_cursor.h"

namespace install::script {
namespace {

void StartEditing(EditMode& mode) {
  if (mode == EditMode::Untouched) mode = EditMode::Edit;
}

// ADD="line": the "=" is required; the quoted text joins the added lines.
bool ParseAddOption(ScriptCursor& cursor, std::vector<MacroText>& added_lines) {
  if (!cursor.TakeEquals()) return false;
  MacroText line;
  cursor.ReadQuoted(line.text);
  if (line.text.size() > MacroText::kCapacity) return false;
  added_lines.push_back(std::move(line));
  return true;
}

// The digits after `marker` in `upper`, blanks after the marker skipped.
int32_t NumberAfter(const std::string& upper, std::string_view marker) {
  std::size_t at = upper.find(marker);
  if (at == std::string::npos) return 0;
  std::size_t i = at + marker.size();
  while (i < upper.size() && (upper[i] == ' ' || upper[i] == '\t')) ++i;
  std::size_t end = i;
  while (end < upper.size() && os::IsDecimalDigit(upper[end])) ++end;
  return LeadingDecimal(std::string_view(upper).substr(i, end - i));
}

}  // namespace

ShareNumbers ReadShareNumbers(std::string& text) {
  for (char& c : text) c = os::UpperAscii(c);
  return ShareNumbers{NumberAfter(text, "/F:"), NumberAfter(text, "/L:")};
}

int ParseAutoexec(ScriptCursor& cursor, AutoexecEdits& edits) {
  StartEditing(edits.mode);
  while (!cursor.AtEnd()) {
    std::string option;
    cursor.ReadWord(option);
    if (os::EqualsIgnoringCase(option, "ASK")) {
      edits.mode = EditMode::EditThenAsk;
    } else if (os::EqualsIgnoringCase(option, "ADDPATH")) {
      if (!cursor.TakeEquals()) {
        edits.add_install_dir = true;
        continue;
      }
      MacroText entry;
      cursor.ReadQuoted(entry.text);
      // An empty directory would put a bare ";" at the front of the path.
      if (entry.text.empty() || entry.text.size() > MacroText::kCapacity) return 1;
      edits.path_entries.push_back(std::move(entry));
    } else if (os::EqualsIgnoringCase(option, "SHARE")) {
      edits.share_wanted = true;
      if (!cursor.TakeEquals()) continue;
      std::string text;
      cursor.ReadQuoted(text);
      ShareNumbers numbers = ReadShareNumbers(text);
      edits.share_min_files = numbers.files;
      edits.share_min_locks = numbers.locks;
    } else if (os::EqualsIgnoringCase(option, "ADD")) {
      if (!ParseAddOption(cursor, edits.added_lines)) return 1;
    } else {
      return 1;
    }
  }
  return 0;
}

int ParseConfig(ScriptCursor& cursor, ConfigEdits& edits) {
  StartEditing(edits.mode);
  while (!cursor.AtEnd()) {
    std::string option;
    cursor.ReadWord(option);
    if (os::EqualsIgnoringCase(option, "ASK")) {
      edits.mode = EditMode::EditThenAsk;
    } else if (os::EqualsIgnoringCase(option, "BUFFERMIN") || os::EqualsIgnoringCase(option, "FILEMIN")) {
      if (!cursor.TakeEquals()) return 0;  // the rest of the line is ignored
      std::string number;
      cursor.ReadWord(number);
      int32_t value = LeadingDecimal(number);
      if (os::EqualsIgnoringCase(option, "BUFFERMIN")) edits.buffers_min = value;
      else edits.files_min = value;
    } else if (os::EqualsIgnoringCase(option, "ADD")) {
      if (!ParseAddOption(cursor, edits.added_lines)) return 1;
    } else {
      return 1;
    }
  }
  return 0;
}

}  // namespace install::script
