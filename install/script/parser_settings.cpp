// The script keywords of destinations and answers, requirements and behaviour.
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

// --- Destinations and answers -----------------------------------------------------

LineResult ScriptParser::DoDestination(std::string_view keyword) {
  const int slot = IsKeywordOf(keyword, "DEFAULTDIR") ? 0 : IsKeywordOf(keyword, "DIR2") ? 1 : 2;
  std::string path;
  cursor_.ReadText(path);
  if (path.empty()) return LineResult::Error;

  // Normalise: "X:..." as given ("X:" becomes "X:\"); DIR2/DIR3 macros as
  // given; anything else on drive C:.
  if (path.size() > 1 && path[1] == ':') {
    if (path.size() == 2) path.push_back('\\');
  } else if (!(slot != 0 && path[0] == '$')) {
    path = (path[0] == '\\' ? "C:" : "C:\\") + path;
  }
  const std::size_t capacity = slot == 0 ? kDefaultDirCapacityChars : DestinationDir::kPathCapacity;
  if (path.size() > capacity) return LineResult::Error;

  std::optional<DestinationDir>& record = plan_.destinations[static_cast<std::size_t>(slot)];
  if (!record) record.emplace();
  record->path = path;
  record->prompt.clear();
  record->has_own_prompt = 0;
  if (slot == 0) {
    plan_.macros.Set(Macro::DefaultDir, path);
    plan_.macros.Set(Macro::DefaultDrive, path.substr(0, 1));
  } else {
    plan_.macros.Set(slot == 1 ? Macro::Dir2 : Macro::Dir3, path);
  }

  bool no_drive = false, no_dir = false;
  while (!cursor_.AtEnd()) {
    std::string option;
    cursor_.ReadWord(option);
    if (os::EqualsIgnoringCase(option, "NOASKDRIVE")) {
      no_drive = true;
    } else if (os::EqualsIgnoringCase(option, "NOASKDIR")) {
      no_dir = true;
    } else if (os::EqualsIgnoringCase(option, "prompt") && cursor_.TakeEquals()) {
      std::string prompt;
      cursor_.ReadText(prompt);
      if (prompt.size() > DestinationDir::kPromptCapacity) return LineResult::Error;
      record->prompt = prompt;
      record->has_own_prompt = 1;
    } else {
      return LineResult::Error;
    }
  }
  record->ask_mode = no_drive ? (no_dir ? kAskNothing : kAskDirectoryOnly)
                              : (no_dir ? kAskDriveOnly : kAskDriveAndDirectory);
  return LineResult::Ok;
}

LineResult ScriptParser::DoAsk(std::string_view keyword) {
  const int index = keyword.back() - '1';
  AskPrompt ask;
  if (cursor_.ReadQuotedRequired(ask.default_answer) < 0) return LineResult::Error;
  if (ask.default_answer.size() > AskPrompt::kAnswerCapacity) return LineResult::Error;
  std::string word;
  cursor_.ReadWord(word);
  if (!os::EqualsIgnoringCase(word, "prompt") || !cursor_.TakeEquals()) return LineResult::Error;
  cursor_.ReadText(ask.prompt);
  if (ask.prompt.empty() || ask.prompt.size() > AskPrompt::kPromptCapacity) return LineResult::Error;
  plan_.macros.Set(static_cast<Macro>(static_cast<int>(Macro::Ask1) + index), ask.default_answer);
  plan_.asks[static_cast<std::size_t>(index)] = std::move(ask);
  return LineResult::Ok;
}

// --- Requirements -------------------------------------------------------------

LineResult ScriptParser::DoMinCpuType(std::string_view) {
  std::string word;
  cursor_.ReadWord(word);
  if (word.size() < 2 || word.compare(0, 2, "80") != 0) return LineResult::Error;
  plan_.min_cpu = LeadingDecimal(std::string_view(word).substr(2));
  return LineResult::Ok;
}

LineResult ScriptParser::DoMinDiskSpace(std::string_view) {
  std::string size, group;
  cursor_.ReadWord(size);
  cursor_.ReadWord(group);
  int32_t bytes = ParseSize(size);
  if (group.empty()) {
    plan_.disk_space = bytes;
    return LineResult::Ok;
  }
  int32_t number = LeadingDecimal(group);
  if (number < 0 || number > 99) return LineResult::Error;
  plan_.group_disk_space[static_cast<std::size_t>(number)] = bytes;
  return LineResult::Ok;
}

LineResult ScriptParser::DoProgressBar(std::string_view) {
  std::string size;
  cursor_.ReadWord(size);
  if (size.empty()) return LineResult::Error;
  plan_.progress_total = ParseSize(size);
  return LineResult::Ok;
}

// --- Behaviour ------------------------------------------------------------------

LineResult ScriptParser::DoOverwriteFile(std::string_view) {
  std::string word;
  cursor_.ReadWord(word);
  if (os::EqualsIgnoringCase(word, "YES"))
    plan_.default_overwrite = OverwriteMode::Yes;
  else if (os::EqualsIgnoringCase(word, "NO"))
    plan_.default_overwrite = OverwriteMode::No;
  else if (os::EqualsIgnoringCase(word, "ASK"))
    plan_.default_overwrite = OverwriteMode::Ask;
  else if (os::EqualsIgnoringCase(word, "NEW"))
    plan_.default_overwrite = OverwriteMode::New;
  else
    return LineResult::Error;
  return LineResult::Ok;
}

LineResult ScriptParser::DoCompression(std::string_view) {
  std::string word;
  cursor_.ReadWord(word);
  if (os::EqualsIgnoringCase(word, "PKWARE"))
    plan_.unpacker = kUnpackerPkware;
  else if (os::EqualsIgnoringCase(word, "LHA"))
    plan_.unpacker = kUnpackerLha;
  else
    return LineResult::Error;
  return LineResult::Ok;
}

LineResult ScriptParser::DoRebootWindows(std::string_view) {
  plan_.reboot_mode = kRebootWindows;
  return LineResult::Ok;
}

LineResult ScriptParser::DoRebootSystem(std::string_view) {
  plan_.reboot_mode = kRebootSystem;
  return LineResult::Ok;
}

LineResult ScriptParser::DoReboot(std::string_view) {
  std::string word;
  cursor_.ReadWord(word);
  if (os::EqualsIgnoringCase(word, "Windows") || os::EqualsIgnoringCase(word, "Window"))
    plan_.reboot_mode = kRebootWindows;
  else if (os::EqualsIgnoringCase(word, "System"))
    plan_.reboot_mode = kRebootSystem;
  else
    return LineResult::Error;
  return LineResult::Ok;
}

LineResult ScriptParser::DoRunAtStart(std::string_view) {
  std::string command;
  cursor_.ReadQuoted(command);
  if (command.empty() || command.size() > kCommandCapacity) return LineResult::Error;
  plan_.run_at_start.command = command;
  return LineResult::Ok;
}

LineResult ScriptParser::DoRunAtExit(std::string_view) {
  std::string command;
  cursor_.ReadQuoted(command);
  if (command.empty() || command.size() > kCommandCapacity) return LineResult::Error;
  plan_.run_at_exit.push_back(RunCommand{command});
  return LineResult::Ok;
}

LineResult ScriptParser::DoShowReadme(std::string_view) {
  std::string path;
  cursor_.ReadText(path);
  if (path.size() > InstallPlan::kReadmeCapacity) return LineResult::Error;
  plan_.readme = path;
  return LineResult::Ok;
}

LineResult ScriptParser::DoUninstall(std::string_view) {
  std::string word;
  cursor_.ReadWord(word);
  if (os::EqualsIgnoringCase(word, "YES"))
    plan_.uninstall = 1;
  else if (os::EqualsIgnoringCase(word, "NO"))
    plan_.uninstall = 0;
  else
    return LineResult::Error;
  return LineResult::Ok;
}

LineResult ScriptParser::DoPrompt(std::string_view keyword) {
  std::size_t capacity = 0;
  std::string* target = plan_.prompts.ForKeyword(keyword, &capacity);
  std::string text;
  cursor_.ReadQuoted(text);
  if (!target || text.size() >= capacity) return LineResult::Error;
  *target = text;
  return LineResult::Ok;
}

LineResult ScriptParser::DoUninstallText(std::string_view keyword) {
  std::string text;
  cursor_.ReadQuoted(text);
  if (text.empty() || text.size() > kUninstallTextCapacity) return LineResult::Error;
  if (IsKeywordOf(keyword, "UNINSTALLBEGINPROMPT"))
    plan_.uninstall_begin = text;
  else if (IsKeywordOf(keyword, "UNINSTALLENDPROMPT"))
    plan_.uninstall_end = text;
  else
    plan_.uninstall_title = text;
  return LineResult::Ok;
}

LineResult ScriptParser::DoRegServer(std::string_view) {
  std::string path;
  cursor_.ReadText(path);
  if (path.empty() || path.size() > kCommandCapacity) return LineResult::Error;
  plan_.reg_servers.push_back(path);
  return LineResult::Ok;
}

}  // namespace install::script
