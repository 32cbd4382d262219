// The script parser: reads the script line by line, dispatches each keyword
// and fills the InstallPlan. Also runs once more per deferred IF block
// during the installation (replay mode), appending to the same lists.
//
// Results: 0 when the script (or block) was read to its end; 1 after a
// syntax error has been shown, when the script could not be opened (message
// shown), and after an exit message has been shown.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "install/script/install_plan.h"
#include "install/script/script_cursor.h"
#include "install/script/script_reader.h"
#include "install/script/text_block.h"
#include "install/ui/text_measure.h"

namespace install::os {
class Machine;
}
namespace install::ui {
class Desktop;
}
namespace install::archive {
class SourceReader;
}

namespace install::script {

class ScriptParser;

// Decides the conditions of IF lines.
class ConditionEvaluator {
 public:
  virtual ~ConditionEvaluator() = default;
  // Normal mode, the cursor after the IF keyword. 1 true, 0 false, 100 when
  // the condition can only be decided during the run (the evaluator has
  // captured the block with ScriptParser::CaptureDeferredBlock), -1 for a
  // syntax error.
  virtual int Evaluate(ScriptCursor& cursor, ScriptParser& parser) = 0;
  // Replay mode (group and answer conditions only): 1, 0 or -1.
  virtual int EvaluateDeferred(ScriptCursor& cursor, ScriptParser& parser) = 0;
};

// Shows the screens the parser itself shows: the exit message.
class ScreenPresenter {
 public:
  virtual ~ScreenPresenter() = default;
  // Shows the exit message as a modal dialog; returns when it was closed.
  // `lines` are the block's text lines, for presenters without windows.
  virtual void ShowExitMessage(const DialogTemplate& dialog,
                               const std::vector<std::string>& lines) = 0;
};

struct ParserServices {
  ui::Desktop& desktop;
  os::Machine& machine;  // the current directory of the default destination
  ui::TextMeasure& measure;
  archive::SourceReader* sources = nullptr;   // normal mode opens the script through it
  ConditionEvaluator* conditions = nullptr;  // none: every IF is an error
  // None: the exit message's text is shown in a message box (caption " ").
  ScreenPresenter* screens = nullptr;
};

class ScriptParser {
 public:
  ScriptParser(InstallPlan& plan, const ParserServices& services);

  // Normal mode: reads the script at `script_path` into the plan and runs the
  // end-of-parse steps.
  int Parse(const std::string& script_path);
  // Replay mode: parses the lines of `block` (IF line first).
  int ParseDeferredBlock(const DeferredBlock& block);

  // For condition evaluators, at a deferred IF in normal mode: stores the IF
  // line and the lines up to its ENDIF in a new DeferredBlock appended to the
  // plan; the line number grows by the lines read. 100 when captured; -1
  // when the block is too long (more than 60 lines) or the script ends
  // first, the line number then back on the IF line.
  int CaptureDeferredBlock();

  InstallPlan& plan() { return plan_; }
  ScriptCursor& cursor() { return cursor_; }
  ScriptReader& reader() { return reader_; }
  bool ReplayMode() const { return reader_.ReplayMode(); }
  int LineNumber() const { return line_number_; }
  bool ErrorFlag() const { return error_; }

  // A line's outcome inside the dispatcher.
  enum class LineResult { Ok, Error, Exit };

 private:
  struct KeywordEntry;
  static const std::vector<KeywordEntry>& KeywordTable();

  int RunLines();
  LineResult ProcessLine();
  LineResult ProcessSkippedLine(const std::string& keyword);
  void AdvanceLineNumber(int lines);
  void SetLineNumber(int number);
  void ReportSyntaxError();
  void FinishNormalParse();

  // Block readers: lines up to the one whose first word is `end_keyword`.
  // False when the script (or block) ends first. `lines` excludes the end
  // line; the line number grows by every line read.
  bool ReadBlockText(std::string_view end_keyword, std::vector<std::string>& lines);
  // Drops lines up to and including the EXIT line (EXITMESSAGE in a skipped branch).
  void SkipExitMessageBlock();
  // Packs `lines` and builds the screen. Error of the line when a line or the
  // block does not fit, or a numbered group line has no marker.
  LineResult BuildTextScreen(const std::vector<std::string>& lines, const ScreenStyle& style,
                             DialogTemplate& out, std::vector<GroupItemLine>* items,
                             int block_start_line);
  ui::MeasureFont ScreenMeasureFont(const std::string& face) const;
  std::string ScreenFace(const std::string& block_face) const;

  // Keyword handlers.
  LineResult DoIf(std::string_view);
  LineResult DoElse(std::string_view);
  LineResult DoEndIf(std::string_view);
  LineResult DoTitle(std::string_view);
  LineResult DoTitleColor(std::string_view);
  LineResult DoScreenColor(std::string_view);
  LineResult DoFontName(std::string_view);
  LineResult DoScreenGraphic(std::string_view);
  LineResult DoIntroScreen(std::string_view);
  LineResult DoDestination(std::string_view);
  LineResult DoAsk(std::string_view);
  LineResult DoMinCpuType(std::string_view);
  LineResult DoMinDiskSpace(std::string_view);
  LineResult DoProgressBar(std::string_view);
  LineResult DoOverwriteFile(std::string_view);
  LineResult DoCompression(std::string_view);
  LineResult DoRebootWindows(std::string_view);
  LineResult DoRebootSystem(std::string_view);
  LineResult DoReboot(std::string_view);
  LineResult DoRunAtStart(std::string_view);
  LineResult DoRunAtExit(std::string_view);
  LineResult DoShowReadme(std::string_view);
  LineResult DoUninstall(std::string_view);
  LineResult DoPrompt(std::string_view);
  LineResult DoUninstallText(std::string_view);
  LineResult DoRegServer(std::string_view);
  LineResult DoFile(std::string_view);
  LineResult DoInsertDisk(std::string_view);
  LineResult DoDelete(std::string_view);
  LineResult DoRename(std::string_view);
  LineResult DoWinItem(std::string_view);
  LineResult DoIniFile(std::string_view);
  LineResult DoAddText(std::string_view);
  LineResult DoAutoexec(std::string_view);
  LineResult DoConfig(std::string_view);
  LineResult DoBeginRegistry(std::string_view);
  LineResult DoScreen(std::string_view);
  LineResult DoBeginGroup(std::string_view);
  LineResult DoPopMessage(std::string_view);
  LineResult DoExitMessage(std::string_view);

  InstallPlan& plan_;
  ParserServices services_;
  ScriptCursor cursor_;
  ScriptReader reader_;
  int line_number_ = 0;
  bool error_ = false;
  std::string line_;  // the line most recently read
};

// Colour of TITLECOLOR and SCREENCOLOR: "(r,g,b)" numbers or one of eight
// names (letter case ignored). nullopt for an unknown name or empty text.
std::optional<Rgb> ParseColor(const std::string& text);

// MINDISKSPACE and PROGRESSBAR sizes: a decimal number with an optional
// fraction, times 1000 when the text holds "K" or "k", times 1000000 for "M"
// or "m" (the first such letter decides); saturated to the int32 range.
int32_t ParseSize(std::string_view text);

}  // namespace install::script
