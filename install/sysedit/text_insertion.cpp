#include "install/sysedit/text_insertion.h"

#include <cstdint>
#include <optional>

#include "install/os/ascii_case.h"
#include "install/script/macros.h"
#include "install/sysedit/text_file.h"
#include "install/ui/builtin_texts.h"

namespace install::sysedit {
namespace {

bool MatchesPlace(std::string_view place, std::string_view line) {
  if (!place.empty() && place.back() == '*') {
    return os::StartsWithIgnoringCase(line, place.substr(0, place.size() - 1));
  }
  return os::EqualsIgnoringCase(WithoutLineEnd(line), place);
}

// The 1-based line the text goes to (T + 1: the end); nullopt when a
// searched place is not found.
std::optional<int64_t> TargetLine(const std::vector<std::string>& lines, const std::string& place, bool replace) {
  const int64_t count = static_cast<int64_t>(lines.size());
  const int64_t number = PlaceNumber(place);
  if (number == 0) {
    for (int64_t i = 1; i <= count; ++i) {
      if (MatchesPlace(place, lines[static_cast<std::size_t>(i - 1)])) return replace ? i : i + 1;
    }
    return std::nullopt;
  }
  if (number > 0) return number > count + 1 ? count + 1 : number;
  const int64_t from_end = count + number + (replace ? 1 : 2);
  return from_end < 1 ? 1 : from_end;
}

void EndLastLine(std::string& text) {
  if (!text.empty() && text.back() != '\n') text += '\n';
}

}  // namespace

int32_t PlaceNumber(std::string_view place) {
  std::size_t at = 0;
  while (at < place.size() && (place[at] == ' ' || (place[at] >= '\t' && place[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < place.size() && (place[at] == '-' || place[at] == '+')) negative = place[at++] == '-';
  int64_t value = 0;
  for (; at < place.size() && os::IsDecimalDigit(place[at]); ++at) {
    value = value * 10 + (place[at] - '0');
    if (value > INT32_MAX) value = INT32_MAX;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

TextInsertion InsertTextLine(std::string_view old_text, bool created, const std::string& text,
                             const std::string& file, const std::string& place, bool replace) {
  TextInsertion result;
  const std::vector<std::string> lines = SplitLinePieces(old_text, kTextLineUnit);
  for (const std::string& line : lines) {
    if (os::EqualsIgnoringCase(WithoutLineEnd(line), text)) return result;  // present already
  }
  const std::optional<int64_t> target = TargetLine(lines, place, replace);
  bool placed = false;
  for (int64_t i = 1; i <= static_cast<int64_t>(lines.size()); ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i - 1)];
    const std::string old_line(WithoutLineEnd(line));
    if (!target || i != *target) {
      result.text += line;
      continue;
    }
    placed = true;
    if (replace && !text.empty() && text.back() == '*') {
      const std::string front = text.substr(0, text.size() - 1);
      result.text += front + line;
      result.log_entries.push_back(AddTextLogEntry(old_line, file, front + old_line));
    } else if (replace) {
      result.text += text + "\n";
      result.log_entries.push_back(AddTextLogEntry(old_line, file, text));
    } else {
      EndLastLine(result.text);
      result.text += text + "\n" + line;
      result.log_entries.push_back(AddTextLogEntry(old_line, file, text));
    }
  }
  if (!placed && (!replace || created)) {
    EndLastLine(result.text);
    result.text += text + "\n";
    result.log_entries.push_back(AddTextLogEntry("", file, text));
    placed = true;
  }
  result.changed = placed;
  return result;
}

int ApplyAddText(const script::AddTextEntry& entry, const script::MacroValues& macros,
                 SystemEditServices& services) {
  os::Machine& machine = services.machine;
  machine.SetCurrentDirectory(macros.default_dir);
  std::string text = entry.text, file = entry.file, place = entry.place;
  script::ExpandAll(text, macros, script::AddTextEntry::kTextCapacity);
  script::ExpandAll(file, macros, script::AddTextEntry::kFileCapacity);
  script::ExpandAll(place, macros, script::AddTextEntry::kPlaceCapacity);

  std::string old_text;
  const TextFileState state = ReadTextFile(machine, file, &old_text);
  if (state == TextFileState::kUnreadable) {
    WarnAboutFile(services.desktop, ui::kReadingFileErrorText, file);
    return kEditFailed;
  }
  const bool created = state == TextFileState::kMissing;
  const TextInsertion insertion = InsertTextLine(old_text, created, text, file, place, entry.replace);
  if (!insertion.changed) return kEditDone;
  if (!ReplaceFile(machine, file, ToTextMode(insertion.text))) {
    WarnAboutFile(services.desktop, ui::kCannotCreateFileText, file);
    return kEditFailed;
  }
  if (created) services.log.AppendLogLine(FileLogEntry(file));
  for (const std::string& line : insertion.log_entries) services.log.AppendLogLine(line);
  return kEditDone;
}

}  // namespace install::sysedit
