// The line source of the script parser.
//
// Normal mode reads the script file (a plain file or a member of the install
// archive) line by line. Replay mode hands out the stored lines of one
// DeferredBlock, classifying each: settings taken at start-up are skipped,
// and the block ends after its ENDIF line.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace install::ui {
class Desktop;
}
namespace install::archive {
class SourceReader;
}

namespace install::script {

// The lines of an IF block whose condition could only be decided during the
// run, stored at parse time and parsed again in replay mode.
struct DeferredBlock {
  static constexpr std::size_t kMaxLines = 60;
  static constexpr std::size_t kMaxLineLength = 998;

  std::vector<std::string> lines;  // the IF line first, the ENDIF line last
  int first_line_number = 0;       // line number of the IF line
  int last_line_number = 0;        // line number of the ENDIF line
};

// Where normal mode reads from. The installer's implementation opens the
// script through the source streams (archive member or plain file).
class ScriptLineInput {
 public:
  virtual ~ScriptLineInput() = default;
  // Reads one line of at most capacity - 1 characters into `line` (carriage
  // returns dropped, the line feed kept when it fits). False at the end of
  // the input or on a read error.
  virtual bool ReadLine(std::string& line, std::size_t capacity) = 0;
};

// Opens `path` through the source streams (an install-archive member of the
// same file name, else the plain file). nullptr when it cannot be opened.
std::unique_ptr<ScriptLineInput> OpenScriptSource(archive::SourceReader& sources,
                                                  const std::string& path);

// Results of ReadScriptLine in replay mode, besides a line number (> 0).
enum : int {
  kReplayEnd = 0,
  kReplayError = -1,
  kReplaySkip = -2,
};

class ScriptReader {
 public:
  // A line holds at most this many characters; a longer one is cut and its
  // rest read as the next line.
  static constexpr std::size_t kMaxLineLength = 998;

  explicit ScriptReader(ui::Desktop& desktop) : desktop_(desktop) {}

  // Normal mode over `input` (nullptr: no script open).
  void StartNormal(std::unique_ptr<ScriptLineInput> input);
  // Replay mode over `block` (which must outlive the replay).
  void StartReplay(const DeferredBlock& block);
  // Ends either mode; closes the script.
  void Close();

  bool ReplayMode() const { return replay_block_ != nullptr; }

  // Normal mode: 1 with the next line (one trailing line feed removed), 0 at
  // the end. Replay mode: the line's number, kReplaySkip for a line taken at
  // start-up, kReplayError after "Missing EndFirstScreen " has been shown,
  // kReplayEnd after the block's ENDIF.
  int ReadScriptLine(std::string& line);

  // For block readers (text screens, groups, pop-ups, registry sections, IF
  // capture): the next line without replay classification. 1, or 0 at the
  // end of the script (or of the block's stored lines).
  int ReadBlockLine(std::string& line);

  // Replay: the line number of the line most recently handed out.
  int ReplayLineNumber() const;

 private:
  int ReadNormal(std::string& line);
  int ReadReplay(std::string& line);

  ui::Desktop& desktop_;
  std::unique_ptr<ScriptLineInput> input_;
  const DeferredBlock* replay_block_ = nullptr;
  std::size_t replay_next_ = 0;     // index of the next stored line
  bool replay_after_endif_ = false;  // the ENDIF line has been returned
};

// The first blank-delimited word of `line` (leading spaces and tabs skipped).
std::string FirstBlankWord(const std::string& line);
// The first word of `line`: letters and digits after leading separators.
std::string FirstKeywordWord(const std::string& line);

}  // namespace install::script
