#include "install/script/program_item_args.h"

#include "install/os/ascii_case.h"
#include "install/script/script_cursor.h"

namespace install::script {
namespace {

// Looks at the text after the line's last comma for ", replace" or
// ", remove"; when found, cuts the line at that comma.
ProgramItemAction TakeActionOption(ScriptCursor& cursor) {
  const std::string& line = cursor.Line();
  std::size_t comma = line.rfind(',');
  if (comma == std::string::npos) return ProgramItemAction::Add;
  std::size_t at = comma + 1;
  while (at < line.size() && line[at] == ' ') ++at;
  std::string_view rest = std::string_view(line).substr(at);
  ProgramItemAction action;
  if (os::StartsWithIgnoringCase(rest, "replace")) action = ProgramItemAction::Replace;
  else if (os::StartsWithIgnoringCase(rest, "remove")) action = ProgramItemAction::Remove;
  else return ProgramItemAction::Add;
  uint32_t position = cursor.Position();
  cursor.SetLine(line.substr(0, comma));
  cursor.SetPosition(position < comma ? position : static_cast<uint32_t>(comma));
  return action;
}

bool Fits(const ProgramItemEntry& e) {
  return e.group.size() <= ProgramItemEntry::kGroupCapacity &&
         e.command.size() <= ProgramItemEntry::kCommandCapacity &&
         e.title.size() <= ProgramItemEntry::kTitleCapacity &&
         e.working_dir.size() <= ProgramItemEntry::kWorkingDirCapacity &&
         e.icon_file.size() <= ProgramItemEntry::kIconFileCapacity;
}

}  // namespace

ProgramItemEntry ParseProgramItem(ScriptCursor& cursor) {
  ProgramItemEntry entry;
  entry.action = TakeActionOption(cursor);
  if (!cursor.AtEnd()) cursor.ReadQuoted(entry.group);
  if (!cursor.AtEnd()) cursor.ReadQuoted(entry.command);
  if (!cursor.AtEnd()) cursor.ReadQuoted(entry.title);
  if (!cursor.AtEnd()) {
    std::string fourth;
    cursor.ReadQuoted(fourth);
    if (!fourth.empty() && fourth.back() == '\\') {
      entry.working_dir = std::move(fourth);
      if (!cursor.AtEnd()) cursor.ReadQuoted(entry.icon_file);
    } else {
      entry.icon_file = std::move(fourth);
    }
  }
  if (!cursor.AtEnd()) cursor.ReadWord(entry.icon_index);
  entry.error = !Fits(entry);
  return entry;
}

}  // namespace install::script
