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


std::optional<Rgb> ParseColor(const std::string& text) {
  if (text.find(',') != std::string::npos) {
    ScriptCursor numbers;
    numbers.SetLine(text);
    Rgb rgb;
    rgb.red = static_cast<uint8_t>(numbers.ReadNumber());
    rgb.green = static_cast<uint8_t>(numbers.ReadNumber());
    rgb.blue = static_cast<uint8_t>(numbers.ReadNumber());
    return rgb;
  }
  for (const NamedColor& named : kNamedColors) {
    if (os::EqualsIgnoringCase(named.name, text)) return named.rgb;
  }
  return std::nullopt;
}

int32_t ParseSize(std::string_view text) {
  double value = 0;
  std::size_t i = 0;
  while (i < text.size() && os::IsDecimalDigit(text[i])) value = value * 10 + (text[i++] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && os::IsDecimalDigit(text[i]); ++i, scale /= 10) value += (text[i] - '0') * scale;
  }
  for (char c : text) {
    if (c == 'K' || c == 'k') {
      value *= 1000;
      break;
    }
    if (c == 'M' || c == 'm') {
      value *= 1000000;
      break;
    }
  }
  if (value >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(value);
}

struct ScriptParser::KeywordEntry {
  std::string_view keyword;
  LineResult (ScriptParser::*handler)(std::string_view);
  bool not_in_replay;
};

const std::vector<ScriptParser::KeywordEntry>& ScriptParser::KeywordTable() {
  static const std::vector<KeywordEntry> table = {
      {"IF", &ScriptParser::DoIf, false},
      {"ELSE", &ScriptParser::DoElse, false},
      {"ENDIF", &ScriptParser::DoEndIf, false},
      {"TITLE", &ScriptParser::DoTitle, false},
      {"TITLECOLOR", &ScriptParser::DoTitleColor, false},
      {"SCREENCOLOR", &ScriptParser::DoScreenColor, false},
      {"FONTNAME", &ScriptParser::DoFontName, false},
      {"SCREENGRAPHIC", &ScriptParser::DoScreenGraphic, false},
      {"INTROSCREEN", &ScriptParser::DoIntroScreen, false},
      {"DEFAULTDIR", &ScriptParser::DoDestination, false},
      {"DIR2", &ScriptParser::DoDestination, false},
      {"DIR3", &ScriptParser::DoDestination, false},
      {"ASK1", &ScriptParser::DoAsk, true},
      {"ASK2", &ScriptParser::DoAsk, true},
      {"ASK3", &ScriptParser::DoAsk, true},
      {"ASK4", &ScriptParser::DoAsk, true},
      {"ASK5", &ScriptParser::DoAsk, true},
      {"MINCPUTYPE", &ScriptParser::DoMinCpuType, false},
      {"MINDISKSPACE", &ScriptParser::DoMinDiskSpace, false},
      {"PROGRESSBAR", &ScriptParser::DoProgressBar, false},
      {"OVERWRITEFILE", &ScriptParser::DoOverwriteFile, false},
      {"COMPRESSION", &ScriptParser::DoCompression, false},
      {"REBOOTWINDOWS", &ScriptParser::DoRebootWindows, false},
      {"REBOOTSYSTEM", &ScriptParser::DoRebootSystem, false},
      {"REBOOT", &ScriptParser::DoReboot, false},
      {"RUNATSTART", &ScriptParser::DoRunAtStart, true},
      {"RUNATEXIT", &ScriptParser::DoRunAtExit, false},
      {"SHOWREADME", &ScriptParser::DoShowReadme, false},
      {"UNINSTALL", &ScriptParser::DoUninstall, false},
      {"COPYFILEPROMPT", &ScriptParser::DoPrompt, false},
      {"AUTOEXECPROMPT", &ScriptParser::DoPrompt, false},
      {"CONFIGPROMPT", &ScriptParser::DoPrompt, false},
      {"INIFILEPROMPT", &ScriptParser::DoPrompt, false},
      {"CPUPROMPT", &ScriptParser::DoPrompt, false},
      {"BADDIRPROMPT", &ScriptParser::DoPrompt, false},
      {"BADDRIVEPROMPT", &ScriptParser::DoPrompt, false},
      {"OKPROMPT", &ScriptParser::DoPrompt, false},
      {"CANCELPROMPT", &ScriptParser::DoPrompt, false},
      {"FILEEXISTPROMPT", &ScriptParser::DoPrompt, false},
      {"FILENOTFOUNDPROMPT", &ScriptParser::DoPrompt, false},
      {"INSERTDISKPROMPT", &ScriptParser::DoPrompt, false},
      {"LOCATEPROMPT", &ScriptParser::DoPrompt, false},
      {"NOGROUPPROMPT", &ScriptParser::DoPrompt, false},
      {"NOSPACEPROMPT", &ScriptParser::DoPrompt, false},
      {"QUITPROMPT", &ScriptParser::DoPrompt, false},
      {"REBOOTPROMPT", &ScriptParser::DoPrompt, false},
      {"UNINSTALLBEGINPROMPT", &ScriptParser::DoUninstallText, false},
      {"UNINSTALLENDPROMPT", &ScriptParser::DoUninstallText, false},
      {"UninstallTitlePrompt", &ScriptParser::DoUninstallText, false},
      {"REGSERVER", &ScriptParser::DoRegServer, false},
      {"FILE", &ScriptParser::DoFile, false},
      {"INSERTDISK", &ScriptParser::DoInsertDisk, false},
      {"DELETE", &ScriptParser::DoDelete, false},
      {"RENAME", &ScriptParser::DoRename, false},
      {"WINITEM", &ScriptParser::DoWinItem, false},
      {"INIFILE", &ScriptParser::DoIniFile, false},
      {"ADDTEXT", &ScriptParser::DoAddText, false},
      {"AUTOEXEC", &ScriptParser::DoAutoexec, false},
      {"CONFIG", &ScriptParser::DoConfig, false},
      {"BEGINREGISTRY", &ScriptParser::DoBeginRegistry, false},
      {"BEGINFIRSTSCREEN", &ScriptParser::DoScreen, true},
      {"BEGINLASTSCREEN", &ScriptParser::DoScreen, false},
      {"BEGINGROUP", &ScriptParser::DoBeginGroup, true},
      {"POPMESSAGE", &ScriptParser::DoPopMessage, false},
      {"EXITMESSAGE", &ScriptParser::DoExitMessage, false},
  };
  return table;
}

ScriptParser::ScriptParser(InstallPlan& plan, const ParserServices& services)
    : plan_(plan), services_(services), reader_(services.desktop) {
  cursor_.SetTokenHook([this](ScriptCursor& c) { SubstituteAtToken(c, plan_.macros); });
}

// --- Driving ----------------------------------------------------------------

int ScriptParser::Parse(const std::string& script_path) {
  error_ = false;
  line_number_ = 0;
  plan_.line_number = 0;
  plan_.if_state = IfState{};
  plan_.disk_space = 1;
  std::unique_ptr<ScriptLineInput> input;
  if (services_.sources) input = OpenScriptSource(*services_.sources, script_path);
  if (!input) {
    services_.desktop.MessageBox(plan_.prompts.file_not_found + script_path + ". ", nullptr,
                                 ui::kMbOk | ui::kMbIconWarning);
    return 1;
  }
  reader_.StartNormal(std::move(input));
  int result = RunLines();
  reader_.Close();
  if (result != 0) return result;  // an exit message was shown
  FinishNormalParse();
  return error_ ? 1 : 0;
}

int ScriptParser::ParseDeferredBlock(const DeferredBlock& block) {
  error_ = false;
  plan_.if_state = IfState{};
  reader_.StartReplay(block);
  line_number_ = block.first_line_number;
  int result = RunLines();
  reader_.Close();
  if (result != 0) return result;
  if (error_) {
    ReportSyntaxError();
    return 1;
  }
  return 0;
}

// Returns 1 when the parse ended early without a syntax error to report (an
// exit message, or a replay error already shown); 0 otherwise (error_ tells).
int ScriptParser::RunLines() {
  while (true) {
    int read = reader_.ReadScriptLine(line_);
    if (reader_.ReplayMode()) {
      if (read == kReplayEnd) return 0;
      if (read == kReplaySkip) continue;
      if (read == kReplayError) return 1;
      SetLineNumber(read);
    } else {
      if (read == 0) return 0;
      SetLineNumber(line_number_ + 1);
    }
    cursor_.SetLine(line_);
    LineResult result = ProcessLine();
    if (result == LineResult::Ok && cursor_.RewriteOverflow()) result = LineResult::Error;
    if (result == LineResult::Exit) return 1;
    if (result == LineResult::Error) {
      error_ = true;
      return 0;
    }
  }
}

void ScriptParser::SetLineNumber(int number) {
  line_number_ = number;
  plan_.line_number = number;
}

void ScriptParser::AdvanceLineNumber(int lines) { SetLineNumber(line_number_ + lines); }

LineResult ScriptParser::ProcessLine() {
  cursor_.Rewind();
  std::string keyword;
  cursor_.ReadKeyword(keyword);
  if (plan_.if_state.skipping) return ProcessSkippedLine(keyword);
  if (IsKeywordOf(keyword, "REM")) return LineResult::Ok;
  for (std::string_view ignored : kIgnoredKeywords) {
    if (IsKeywordOf(keyword, ignored)) return LineResult::Ok;
  }
  for (const KeywordEntry& entry : KeywordTable()) {
    if (!IsKeywordOf(keyword, entry.keyword)) continue;
    if (entry.not_in_replay && reader_.ReplayMode()) return LineResult::Error;
    return (this->*entry.handler)(entry.keyword);
  }
  // An unknown word (or none) is dropped when nothing else is on the line.
  return cursor_.AtEnd() ? LineResult::Ok : LineResult::Error;
}

LineResult ScriptParser::ProcessSkippedLine(const std::string& keyword) {
  if (IsKeywordOf(keyword, "IF")) return DoIf("IF");
  if (IsKeywordOf(keyword, "ELSE")) return DoElse("ELSE");
  if (IsKeywordOf(keyword, "ENDIF")) return DoEndIf("ENDIF");
  if (IsKeywordOf(keyword, "EXITMESSAGE")) SkipExitMessageBlock();
  return LineResult::Ok;
}

void ScriptParser::SkipExitMessageBlock() {
  std::string line;
  while (reader_.ReadBlockLine(line) == 1) {
    AdvanceLineNumber(1);
    if (IsKeywordOf(FirstKeywordWord(line), "EXIT")) return;
  }
}

void ScriptParser::ReportSyntaxError() {
  std::string caption = std::string(ui::kSyntaxErrorCaption) + std::to_string(line_number_);
  services_.desktop.MessageBox(cursor_.Line(), caption.c_str(), ui::kMbOk | ui::kMbIconWarning);
}

void ScriptParser::FinishNormalParse() {
  // Disk space: one requirement per group item, or the overall one alone.
  plan_.item_disk_space.clear();
  if (plan_.group_item_count > 0) {
    plan_.item_disk_space.assign(static_cast<std::size_t>(plan_.group_item_count), 1);
    for (int number = 0; number < GroupMap::kGroupNumbers; ++number) {
      int item = plan_.group_map.ItemOf(number);
      if (item < 0 || item >= plan_.group_item_count) continue;
      int32_t given = plan_.group_disk_space[static_cast<std::size_t>(number)];
      plan_.item_disk_space[static_cast<std::size_t>(item)] = given != -1 ? given : 1;
    }
  } else {
    plan_.item_disk_space.push_back(plan_.disk_space);
  }
  if (plan_.if_state.skipping) error_ = true;  // IF without ENDIF
  if (error_) {
    ReportSyntaxError();
    return;
  }
  if (!plan_.destinations[0]) {
    std::string current = services_.machine.GetCurrentDirectory();
    if (current.size() > kDefaultDirCapacityChars) current.resize(kDefaultDirCapacityChars);
    const std::string& source_drive = plan_.macros.source_drive;
    if (!current.empty() && !source_drive.empty() &&
        os::UpperAscii(current[0]) == os::UpperAscii(source_drive[0])) {
      current = "C:\\NEWFILES";
      current[0] = plan_.hard_disk_letter;
    }
    plan_.macros.Set(Macro::DefaultDir, current);
    plan_.macros.Set(Macro::DefaultDrive, current.substr(0, 1));
  }
  ExpandAll(plan_.run_at_start.command, plan_.macros, RunCommand::kCapacity);
}

// --- Blocks -----------------------------------------------------------------

bool ScriptParser::ReadBlockText(std::string_view end_keyword, std::vector<std::string>& lines) {
  lines.clear();
  std::string line;
  while (reader_.ReadBlockLine(line) == 1) {
    AdvanceLineNumber(1);
    if (IsKeywordOf(FirstKeywordWord(line), end_keyword)) return true;
    lines.push_back(line);
  }
  return false;
}

int ScriptParser::CaptureDeferredBlock() {
  DeferredBlock block;
  block.first_line_number = line_number_;
  block.lines.push_back(cursor_.Line().substr(0, DeferredBlock::kMaxLineLength));
  // A block that cannot be captured is an error of its IF line.
  auto fail = [this, &block] {
    SetLineNumber(block.first_line_number);
    return -1;
  };
  std::string line;
  while (true) {
    if (reader_.ReadBlockLine(line) != 1) return fail();  // the script ended first
    AdvanceLineNumber(1);
    block.lines.push_back(line);
    if (IsKeywordOf(LeadingAlnumWord(line), "ENDIF")) break;
    if (block.lines.size() >= DeferredBlock::kMaxLines) return fail();
  }
  block.last_line_number = line_number_;
  plan_.deferred_blocks.push_back(std::move(block));
  return kDeferred;
}

std::string ScriptParser::ScreenFace(const std::string& block_face) const {
  if (!block_face.empty()) return block_face;
  if (!plan_.screen_font_face.empty()) return plan_.screen_font_face;
  return "MS Sans Serif";
}

ui::MeasureFont ScriptParser::ScreenMeasureFont(const std::string& face) const {
  ui::MeasureFont font;
  font.face = face;
  font.weight = 400;
  font.italic = plan_.title_font.italic != 0;
  font.underline = plan_.title_font.underline != 0;
  return font;
}

LineResult ScriptParser::BuildTextScreen(const std::vector<std::string>& lines,
                                         const ScreenStyle& style, DialogTemplate& out,
                                         std::vector<GroupItemLine>* items, int block_start_line) {
  TextBlock block;
  ui::MeasureFont font = ScreenMeasureFont(style.face);
  font.point_size = style.point_size;
  std::size_t bad = 0;
  // A failing text line is reported with its own number and text.
  auto fail_at = [&](std::size_t index) {
    if (index < lines.size()) {
      SetLineNumber(block_start_line + 1 + static_cast<int>(index));
      cursor_.SetLine(lines[index]);
    }
    return LineResult::Error;
  };
  if (PackTextBlock(lines, services_.measure, font, block, &bad) != PackResult::Ok) return fail_at(bad);
  switch (BuildScreen(block, style, out, items, &bad)) {
    case ScreenResult::Ok:
      return LineResult::Ok;
    case ScreenResult::MissingMarker: {
      // `bad` counts packed lines, which are the block's lines in order.
      return fail_at(bad);
    }
    case ScreenResult::TooLarge:
      return LineResult::Error;
  }
  return LineResult::Error;
}

// --- Conditions ---------------------------------------------------------------

LineResult ScriptParser::DoIf(std::string_view) {
  IfState& state = plan_.if_state;
  state.if_open = 1;
  if (state.skipping || cursor_.AtEnd()) return LineResult::Error;
  state.else_allowed = 1;
  if (!services_.conditions) return LineResult::Error;
  int result = reader_.ReplayMode() ? services_.conditions->EvaluateDeferred(cursor_, *this)
                                    : services_.conditions->Evaluate(cursor_, *this);
  if (result == -1) return LineResult::Error;
  if (result == kDeferred && !reader_.ReplayMode()) {
    state = IfState{};
  } else if (result != 0) {
    state.skipping = 0;
    state.else_skips = 0;
  } else {
    state.skipping = 1;
    state.else_skips = 1;
  }
  return LineResult::Ok;
}

LineResult ScriptParser::DoElse(std::string_view) {
  IfState& state = plan_.if_state;
  if (!state.else_allowed) return LineResult::Error;
  if (state.else_skips == 1) {
    state.skipping = 0;
    state.else_skips = 0;
  } else {
    state.skipping = 1;
    state.else_skips = 1;
  }
  state.else_allowed = 0;
  return LineResult::Ok;
}

LineResult ScriptParser::DoEndIf(std::string_view) {
  if (!plan_.if_state.if_open) return LineResult::Error;
  plan_.if_state = IfState{};
  return LineResult::Ok;
}

}  // namespace install::script
