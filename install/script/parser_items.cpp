// The script keywords that add installation items.
#include "install/script/script_parser.h"

#include <array>
#include <climits>

#include "install/os/ascii_case.h"
#include "install/os/machine.h"
#include "install/script/parser_parts.h"
#include "install/ui/builtin_texts.h"
#include "install/ui/desktop.h"

namespace install::script {

using namespace parsing;

// --- Items ------------------------------------------------------------------------

LineResult ScriptParser::DoFile(std::string_view) {
  FileLineContext context;
  context.default_overwrite = plan_.default_overwrite;
  context.group_map = &plan_.group_map;
  FileEntry entry;
  if (ParseFileLine(cursor_, context, &entry) != 0 || entry.error) return LineResult::Error;
  if (entry.compression != Compression::None) plan_.uses_external_unpacker = 1;
  plan_.file_list.push_back(std::move(entry));
  ++plan_.file_count;
  return LineResult::Ok;
}

LineResult ScriptParser::DoInsertDisk(std::string_view) {
  plan_.file_list.push_back(ParseInsertDiskLine(cursor_));
  return LineResult::Ok;
}

LineResult ScriptParser::DoDelete(std::string_view) {
  DeleteEntry entry;
  cursor_.ReadText(entry.path);
  if (entry.path.empty() || entry.path.size() > DeleteEntry::kCapacity) return LineResult::Error;
  plan_.deletions.push_back(std::move(entry));
  return LineResult::Ok;
}

LineResult ScriptParser::DoRename(std::string_view) {
  RenameEntry entry;
  cursor_.ReadText(entry.old_path);
  cursor_.ReadText(entry.new_path);
  if (entry.old_path.empty() || entry.new_path.empty()) return LineResult::Error;
  if (entry.old_path.size() > RenameEntry::kCapacity || entry.new_path.size() > RenameEntry::kCapacity)
    return LineResult::Error;
  plan_.renames.push_back(std::move(entry));
  return LineResult::Ok;
}

LineResult ScriptParser::DoWinItem(std::string_view) {
  ProgramItemEntry entry = ParseProgramItem(cursor_);
  if (entry.error) return LineResult::Error;
  plan_.program_items.push_back(std::move(entry));
  return LineResult::Ok;
}

LineResult ScriptParser::DoIniFile(std::string_view) {
  IniEntry entry = ParseIniFile(cursor_);
  if (entry.error) return LineResult::Error;
  plan_.ini_edits.push_back(std::move(entry));
  return LineResult::Ok;
}

LineResult ScriptParser::DoAddText(std::string_view) {
  AddTextEntry entry = ParseAddText(cursor_, plan_.macros.search);
  if (entry.error) return LineResult::Error;
  plan_.text_insertions.push_back(std::move(entry));
  return LineResult::Ok;
}

LineResult ScriptParser::DoAutoexec(std::string_view) {
  return ParseAutoexec(cursor_, plan_.autoexec_edits) == 0 ? LineResult::Ok : LineResult::Error;
}

LineResult ScriptParser::DoConfig(std::string_view) {
  return ParseConfig(cursor_, plan_.config_edits) == 0 ? LineResult::Ok : LineResult::Error;
}

LineResult ScriptParser::DoBeginRegistry(std::string_view) {
  const int start = line_number_;
  int consumed = 0;
  RegistryBlock block;
  int ended = ParseRegistrySection(
      cursor_, [this](std::string& line) { return reader_.ReadBlockLine(line); }, &consumed, &block);
  SetLineNumber(start + consumed);
  if (ended != 1) return LineResult::Error;
  plan_.registry_blocks.push_back(std::move(block));
  return LineResult::Ok;
}

}  // namespace install::script
