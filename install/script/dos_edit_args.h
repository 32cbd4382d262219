// The AUTOEXEC and CONFIG lines of a script: what to change in AUTOEXEC.BAT
// and CONFIG.SYS once the files are installed. Several lines of one keyword
// add up in one record of the plan; the edit passes read the records.
//
//   AUTOEXEC [ASK] [ADDPATH] [ADDPATH="dir"] [SHARE] [SHARE="/F:n /L:n"] [ADD="line"] ...
//   CONFIG   [ASK] [BUFFERMIN=n] [FILEMIN=n] [ADD="line"] ...
//
// Option names compare without regard to letter case; options come in any
// order and number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace install::script {

class ScriptCursor;

enum class EditMode : int32_t {
  Untouched = 0,        // no line of this keyword: the file is not touched
  Edit = 1,
  EditThenAsk = 2,      // edit, then ask whether to keep the changes
};

// A text whose macros are expanded right before it is used. `pending` is
// cleared when an added line turns out to be present already.
struct MacroText {
  static constexpr std::size_t kCapacity = 999;
  std::string text;
  bool pending = true;
};

struct AutoexecEdits {
  EditMode mode = EditMode::Untouched;
  bool add_install_dir = false;          // ADDPATH without a value
  std::vector<MacroText> path_entries;   // ADDPATH="dir"
  std::vector<MacroText> added_lines;    // ADD="line"
  bool share_wanted = false;             // SHARE
  int32_t share_min_files = 0;           // /F: of SHARE=, 0 = no minimum
  int32_t share_min_locks = 0;           // /L: of SHARE=, 0 = no minimum
};

struct ConfigEdits {
  EditMode mode = EditMode::Untouched;
  int32_t buffers_min = 0;               // BUFFERMIN, 0 = none
  int32_t files_min = 0;                 // FILEMIN, 0 = none
  std::vector<MacroText> added_lines;    // ADD="line"
};

// Reads the options of one AUTOEXEC line into `edits`. 0 when accepted, 1 for
// a syntax error (unknown option, ADD without "=", ADDPATH= with an empty
// directory, a text beyond MacroText::kCapacity).
int ParseAutoexec(ScriptCursor& cursor, AutoexecEdits& edits);

// Reads the options of one CONFIG line into `edits`. 0 when accepted, 1 for a
// syntax error. BUFFERMIN or FILEMIN without "=" ends the line without error.
int ParseConfig(ScriptCursor& cursor, ConfigEdits& edits);

// The /F: and /L: numbers of a SHARE text; a missing part gives 0.
struct ShareNumbers {
  int32_t files = 0;
  int32_t locks = 0;
};
// Upper-cases `text` in place (as the edit pass relies on) and reads the
// digits after "/F:" and after "/L:", blanks after the colon skipped.
ShareNumbers ReadShareNumbers(std::string& text);

}  // namespace install::script
