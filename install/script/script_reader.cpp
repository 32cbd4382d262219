#include "install/script/script_reader.h"

#include <array>
#include <string_view>

#include "install/ui/builtin_texts.h"
#include "install/archive/source_stream.h"
#include "install/ui/desktop.h"

#include "install/os/ascii_case.h"

namespace install::script {

namespace {


// Settings taken once at start-up; a replayed block skips their lines.
constexpr std::array<std::string_view, 12> kStartupOnlyKeywords = {
    "REM",         "TITLE",        "DEFAULTDIR",   "DIR2",       "DIR3",          "TITLECOLOR",
    "SCREENCOLOR", "MINCPUTYPE",   "MINDISKSPACE", "RUNATSTART", "SCREENGRAPHIC", "INTROSCREEN",
};

class SourceLineInput : public ScriptLineInput {
 public:
  SourceLineInput(archive::SourceReader& sources, std::unique_ptr<archive::SourceStream> stream)
      : sources_(sources), stream_(std::move(stream)) {}
  ~SourceLineInput() override { archive::SourceReader::CloseSource(std::move(stream_)); }

  bool ReadLine(std::string& line, std::size_t capacity) override {
    std::optional<std::string> read = sources_.ReadSourceLine(*stream_, capacity);
    if (!read) return false;
    line = std::move(*read);
    return true;
  }

 private:
  archive::SourceReader& sources_;
  std::unique_ptr<archive::SourceStream> stream_;
};

}  // namespace

std::string FirstBlankWord(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  std::size_t start = i;
  while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\n' &&
         line[i] != '\r')
    ++i;
  return line.substr(start, i - start);
}

std::string FirstKeywordWord(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == ',' ||
                              line[i] == '\n' || line[i] == '\r'))
    ++i;
  std::size_t start = i;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (i >= line.size() || !letter(line[i])) return {};
  while (i < line.size() && (letter(line[i]) || digit(line[i]))) ++i;
  return line.substr(start, i - start);
}

std::unique_ptr<ScriptLineInput> OpenScriptSource(archive::SourceReader& sources,
                                                  const std::string& path) {
  std::unique_ptr<archive::SourceStream> stream = sources.OpenSource(path);
  if (!stream) return nullptr;
  return std::make_unique<SourceLineInput>(sources, std::move(stream));
}

void ScriptReader::StartNormal(std::unique_ptr<ScriptLineInput> input) {
  replay_block_ = nullptr;
  input_ = std::move(input);
}

void ScriptReader::StartReplay(const DeferredBlock& block) {
  input_.reset();
  replay_block_ = &block;
  replay_next_ = 0;
  replay_after_endif_ = false;
}

void ScriptReader::Close() {
  input_.reset();
  replay_block_ = nullptr;
  replay_next_ = 0;
  replay_after_endif_ = false;
}

int ScriptReader::ReadNormal(std::string& line) {
  line.clear();
  if (!input_) return 0;
  if (!input_->ReadLine(line, kMaxLineLength + 1)) return 0;
  // A NUL byte ends a line's text.
  std::size_t nul = line.find('\0');
  if (nul != std::string::npos) line.resize(nul);
  if (line.size() > kMaxLineLength) line.resize(kMaxLineLength);
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return 1;
}

int ScriptReader::ReadScriptLine(std::string& line) {
  return ReplayMode() ? ReadReplay(line) : ReadNormal(line);
}

int ScriptReader::ReplayLineNumber() const {
  if (!replay_block_ || replay_next_ == 0) return replay_block_ ? replay_block_->first_line_number : 0;
  return replay_block_->first_line_number + static_cast<int>(replay_next_ - 1);
}

int ScriptReader::ReadReplay(std::string& line) {
  line.clear();
  const std::vector<std::string>& lines = replay_block_->lines;
  if (replay_after_endif_ || replay_next_ >= lines.size()) return kReplayEnd;
  std::size_t index = replay_next_++;
  std::string word = FirstBlankWord(lines[index]);
  if (os::EqualsIgnoringCase(word, "ENDIF")) {
    replay_after_endif_ = true;
  } else {
    for (std::string_view skipped : kStartupOnlyKeywords) {
      if (os::EqualsIgnoringCase(word, skipped)) return kReplaySkip;
    }
    if (os::EqualsIgnoringCase(word, "BEGINFIRSTSCREEN")) {
      for (std::size_t end = index + 1; end < lines.size(); ++end) {
        if (os::EqualsIgnoringCase(FirstBlankWord(lines[end]), "ENDFIRSTSCREEN")) {
          replay_next_ = end + 1;
          return kReplaySkip;
        }
      }
      desktop_.MessageBox(std::string(ui::kMissingEndFirstScreenText), nullptr,
                          ui::kMbOk | ui::kMbIconWarning);
      replay_next_ = lines.size();
      return kReplayError;
    }
  }
  line = lines[index];
  return replay_block_->first_line_number + static_cast<int>(index);
}

int ScriptReader::ReadBlockLine(std::string& line) {
  if (!ReplayMode()) return ReadNormal(line);
  line.clear();
  const std::vector<std::string>& lines = replay_block_->lines;
  if (replay_next_ >= lines.size()) return 0;
  line = lines[replay_next_++];
  return 1;
}

}  // namespace install::script
