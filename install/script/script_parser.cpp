#include "install/script/script_parser.h"

#include <array>
#include <climits>

#include "install/ui/builtin_texts.h"
#include "install/os/machine.h"
#include "install/os/ascii_case.h"
#include "install/ui/desktop.h"

namespace install::script {

namespace {

using LineResult = ScriptParser::LineResult;

constexpr int kDeferred = 100;
constexpr std::size_t kPathCapacity = 499;
constexpr std::size_t kDefaultDirCapacityChars = 498;  // $DEFAULTDIR$ holds no more
constexpr std::size_t kCommandCapacity = 999;
constexpr std::size_t kFaceCapacity = 30;
constexpr std::size_t kTitleFaceCapacity = 31;  // a font face name holds 31 characters
constexpr std::size_t kUninstallTextCapacity = 999;

// Accepted anywhere, doing nothing.
constexpr std::array<std::string_view, 19> kIgnoredKeywords = {
    "SCREENFILLCHAR",   "WINDOWBACKGROUND", "WINDOWFOREGROUND", "SCREENBACKGROUND",
    "SCREENFOREGROUND", "TITLEBACKGROUND",  "TITLEFOREGROUND",  "BOTTOMBACKGROUND",
    "BOTTOMFOREGROUND", "PROMPTBACKGROUND", "PROMPTFOREGROUND", "EnterKeyPrompt",
    "EscPrompt",        "F2KeyPrompt",      "PressKeyPrompt",   "PressKeyQuitPrompt",
    "ReadmePrompt",     "YesNoPrompt",      "YesNoKey",
};

struct NamedColor {
  std::string_view name;
  Rgb rgb;
};
constexpr std::array<NamedColor, 8> kNamedColors = {{
    {"Black", {0, 0, 0}},
    {"Blue", {0, 0, 255}},
    {"Green", {0, 255, 0}},
    {"Cyan", {0, 255, 255}},
    {"Red", {255, 0, 0}},
    {"Magenta", {255, 0, 255}},
    {"Yellow", {255, 255, 0}},
    {"White", {255, 255, 255}},
}};

constexpr std::array<std::string_view, 10> kPlacements = {
    "TOPLEFT",     "TOPMIDDLE",    "TOPRIGHT",   "MIDDLERIGHT", "BOTTOMRIGHT",
    "BOTTOMMIDDLE", "BOTTOMLEFT", "MIDDLELEFT", "TILE",        "FULLSCREEN",
};

bool IsKeywordOf(std::string_view word, std::string_view keyword) {
  return os::EqualsIgnoringCase(word, keyword);
}

bool StartsWithDigit(std::string_view text) { return !text.empty() && os::IsDecimalDigit(text[0]); }

// The first word of a line for IF capture: letters and digits after leading
// spaces and tabs.
std::string LeadingAlnumWord(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  std::size_t start = i;
  while (i < line.size() && ((line[i] >= 'A' && line[i] <= 'Z') ||
                             (line[i] >= 'a' && line[i] <= 'z') || os::IsDecimalDigit(line[i])))
    ++i;
  return line.substr(start, i - start);
}

// A path of the source directory: dir + "\" (unless it ends in one) + name.
std::string InSourceDir(const std::string& source_dir, const std::string& name) {
  std::string path = source_dir;
  if (path.empty() || path.back() != '\\') path.push_back('\\');
  return path + name;
}

}  // namespace

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
  std::string line;
  while (true) {
    if (reader_.ReadBlockLine(line) != 1) return -1;  // the script ended first
    AdvanceLineNumber(1);
    block.lines.push_back(line);
    if (IsKeywordOf(LeadingAlnumWord(line), "ENDIF")) break;
    if (block.lines.size() >= DeferredBlock::kMaxLines) return -1;
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

// --- Appearance -----------------------------------------------------------------

LineResult ScriptParser::DoTitle(std::string_view) {
  std::string title;
  cursor_.ReadText(title);
  if (title.empty() || title.size() > InstallPlan::kTitleCapacity) return LineResult::Error;
  plan_.title = title;
  for (int i = 0; i < 5; ++i) {
    std::string token;
    cursor_.ReadQuoted(token);
    if (!token.empty()) {
      if (token.size() > kTitleFaceCapacity) return LineResult::Error;
      plan_.title_font.face = token;
      continue;
    }
    cursor_.ReadWord(token);
    if (token.empty()) break;
    if (os::EqualsIgnoringCase(token, "Italic")) {
      plan_.title_font.italic = 1;
    } else if (os::EqualsIgnoringCase(token, "Bold")) {
      plan_.title_font.bold = 1;
    } else if (os::EqualsIgnoringCase(token, "Underline")) {
      plan_.title_font.underline = 1;
    } else if (StartsWithDigit(token)) {
      plan_.title_font.point_size = LeadingDecimal(token);
    } else {
      return LineResult::Error;
    }
  }
  return LineResult::Ok;
}

namespace {
void ReadColorText(ScriptCursor& cursor, std::string& out) {
  cursor.SkipSeparatorsA();
  if (cursor.Current() == '(')
    cursor.ReadParenthesised(out);
  else
    cursor.ReadWord(out);
}
}  // namespace

LineResult ScriptParser::DoTitleColor(std::string_view) {
  std::string text;
  ReadColorText(cursor_, text);
  if (std::optional<Rgb> rgb = ParseColor(text)) plan_.title_color = *rgb;
  return LineResult::Ok;
}

LineResult ScriptParser::DoScreenColor(std::string_view) {
  std::string first, second;
  ReadColorText(cursor_, first);
  ReadColorText(cursor_, second);
  std::optional<Rgb> from = ParseColor(first);
  if (second.empty()) {
    if (from) plan_.screen_color_from = plan_.screen_color_to = *from;
    return LineResult::Ok;
  }
  if (from) plan_.screen_color_from = *from;
  if (std::optional<Rgb> to = ParseColor(second)) plan_.screen_color_to = *to;
  return LineResult::Ok;
}

LineResult ScriptParser::DoFontName(std::string_view) {
  std::string face;
  cursor_.ReadQuoted(face);
  if (face.size() > kFaceCapacity) return LineResult::Error;
  plan_.screen_font_face = face;
  return LineResult::Ok;
}

LineResult ScriptParser::DoScreenGraphic(std::string_view) {
  std::string name, placement_word;
  cursor_.ReadText(name);
  ScreenGraphic graphic;
  graphic.path = InSourceDir(plan_.macros.source_dir, name);
  if (graphic.path.size() > kPathCapacity) return LineResult::Error;
  cursor_.ReadWord(placement_word);
  if (!placement_word.empty()) {
    graphic.placement = -1;
    for (std::size_t i = 0; i < kPlacements.size(); ++i) {
      if (os::EqualsIgnoringCase(kPlacements[i], placement_word)) graphic.placement = static_cast<int>(i) + 1;
    }
    if (graphic.placement < 0) return LineResult::Error;
  } else if (!cursor_.AtEnd()) {
    return LineResult::Error;  // a bare "=" where the placement belongs
  }
  plan_.screen_graphic = graphic;
  return LineResult::Ok;
}

LineResult ScriptParser::DoIntroScreen(std::string_view) {
  std::string name, seconds;
  cursor_.ReadText(name);
  ExpandPrefix(name, plan_.macros, kPathCapacity + 1);
  IntroScreen intro;
  if ((!name.empty() && name[0] == '\\') || (name.size() > 1 && name[1] == ':'))
    intro.path = name;
  else
    intro.path = InSourceDir(plan_.macros.source_dir, name);
  if (intro.path.size() > kPathCapacity) return LineResult::Error;
  cursor_.ReadWord(seconds);
  intro.seconds = LeadingDecimal(seconds);
  plan_.intro_screen = intro;
  return LineResult::Ok;
}

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

// --- Screens ----------------------------------------------------------------------

LineResult ScriptParser::DoScreen(std::string_view keyword) {
  const bool first = IsKeywordOf(keyword, "BEGINFIRSTSCREEN");
  std::string face, size;
  cursor_.ReadQuoted(face);
  if (face.size() > kFaceCapacity) return LineResult::Error;
  cursor_.ReadWord(size);
  plan_.next_screen_face = face;
  plan_.next_screen_size = LeadingDecimal(size);

  const int start = line_number_;
  std::vector<std::string> lines;
  bool ended = ReadBlockText(first ? "ENDFIRSTSCREEN" : "ENDLASTSCREEN", lines);
  ScreenStyle style;
  style.kind = ScreenKind::TextScreen;
  style.face = ScreenFace(plan_.next_screen_face);
  style.point_size = plan_.next_screen_size > 0 ? plan_.next_screen_size : 10;
  style.ok_text = plan_.prompts.ok;
  style.cancel_text = plan_.prompts.cancel;
  plan_.next_screen_face.clear();
  plan_.next_screen_size = 0;
  if (!ended) return LineResult::Error;
  DialogTemplate dialog;
  LineResult result = BuildTextScreen(lines, style, dialog, nullptr, start);
  if (result != LineResult::Ok) return result;
  (first ? plan_.first_screen : plan_.last_screen) = std::move(dialog);
  return LineResult::Ok;
}

LineResult ScriptParser::DoBeginGroup(std::string_view) {
  std::string first, second;
  cursor_.ReadWord(first);
  cursor_.ReadWord(second);
  const bool exclusive = os::EqualsIgnoringCase(first, "EXCLUSIVE");
  const bool is_header = !StartsWithDigit(first) && !StartsWithDigit(second);
  const int start = line_number_;
  std::vector<std::string> lines;
  if (!ReadBlockText("ENDGROUP", lines)) return LineResult::Error;
  if (!is_header && static_cast<int>(plan_.group_pages.size()) >= InstallPlan::kMaxGroupPages)
    return LineResult::Error;

  ScreenStyle style;
  style.kind = ScreenKind::GroupPage;
  style.face = ScreenFace("");
  style.ok_text = plan_.prompts.ok;
  style.cancel_text = plan_.prompts.cancel;
  style.exclusive = exclusive;
  style.first_item_index = plan_.group_item_count;
  DialogTemplate dialog;
  std::vector<GroupItemLine> items;
  LineResult result = BuildTextScreen(lines, style, dialog, &items, start);
  if (result != LineResult::Ok) return result;
  if (plan_.group_item_count + static_cast<int>(items.size()) > InstallPlan::kMaxGroupItems)
    return LineResult::Error;

  const int items_before = plan_.group_item_count;
  for (const GroupItemLine& item : items) {
    const int index = plan_.group_item_count++;
    plan_.group_map.Set(item.number, index);
    plan_.group_preselected[static_cast<std::size_t>(index)] = item.preselected ? 1 : 0;
  }
  if (is_header) {
    GroupHeader header;
    header.dialog = std::move(dialog);
    header.exclusive = exclusive ? 1 : 0;
    header.items_before = items_before;
    plan_.group_header = std::move(header);
    return LineResult::Ok;
  }
  GroupPage page;
  page.dialog = std::move(dialog);
  page.page_number = LeadingDecimal(exclusive ? second : first);
  page.first_item = items_before;
  page.bit_mask = items_before < 32 ? (1u << items_before) : 0u;
  page.end_item = plan_.group_item_count;
  page.exclusive = exclusive ? 1 : 0;
  plan_.group_pages.push_back(std::move(page));
  return LineResult::Ok;
}

LineResult ScriptParser::DoPopMessage(std::string_view) {
  std::string number, face, size;
  cursor_.ReadWord(number);
  if (!StartsWithDigit(number)) return LineResult::Error;
  cursor_.ReadQuoted(face);
  if (face.size() > PopupMessage::kFaceCapacity) return LineResult::Error;
  cursor_.ReadWord(size);
  if (static_cast<int>(plan_.popups.size()) >= InstallPlan::kMaxPopups) return LineResult::Error;

  PopupMessage popup;
  popup.number = LeadingDecimal(number);
  popup.face = face.empty() ? "MS Sans Serif" : face;
  popup.size = LeadingDecimal(size);
  if (popup.size == 0) popup.size = 10;
  const int start = line_number_;
  std::vector<std::string> lines;
  if (!ReadBlockText("ENDPOP", lines)) return LineResult::Error;
  ScreenStyle style;
  style.kind = ScreenKind::Popup;
  style.face = popup.face;
  style.point_size = popup.size;
  LineResult result = BuildTextScreen(lines, style, popup.dialog, nullptr, start);
  if (result != LineResult::Ok) return result;
  plan_.popups.push_back(std::move(popup));
  return LineResult::Ok;
}

LineResult ScriptParser::DoExitMessage(std::string_view) {
  const int start = line_number_;
  std::vector<std::string> lines;
  if (!ReadBlockText("EXIT", lines)) return LineResult::Error;
  ScreenStyle style;
  style.kind = ScreenKind::ExitMessage;
  style.face = ScreenFace("");
  style.ok_text = plan_.prompts.ok;
  DialogTemplate dialog;
  LineResult result = BuildTextScreen(lines, style, dialog, nullptr, start);
  if (result != LineResult::Ok) return result;
  plan_.exit_message = dialog;
  if (services_.screens) {
    services_.screens->ShowExitMessage(dialog, lines);
  } else {
    std::string text;
    for (const std::string& line : lines) {
      if (!text.empty()) text.push_back('\n');
      text += line;
    }
    services_.desktop.MessageBox(text, " ", ui::kMbOk);
  }
  plan_.exit_message.reset();  // shown once, then freed
  return LineResult::Exit;
}

}  // namespace install::script
