#include "install/script/script_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/ui/host/host_desktop.h"

namespace install::script {
namespace {

// Hands out fixed pieces, as the source streams would (capacity respected).
class PiecesInput : public ScriptLineInput {
 public:
  explicit PiecesInput(std::string text) : text_(std::move(text)) {}
  bool ReadLine(std::string& line, std::size_t capacity) override {
    if (at_ >= text_.size()) return false;
    line.clear();
    while (at_ < text_.size() && line.size() < capacity - 1) {
      char c = text_[at_++];
      if (c == '\r') continue;
      line.push_back(c);
      if (c == '\n') break;
    }
    return true;
  }

 private:
  std::string text_;
  std::size_t at_ = 0;
};

TEST(ScriptReaderTest, NormalModeCutsLongLinesAndDropsLineFeeds) {
  ui::HostDesktop desktop;
  ScriptReader reader(desktop);
  reader.StartNormal(std::make_unique<PiecesInput>(std::string(1200, 'a') + "\r\nlast"));
  std::string line;
  ASSERT_EQ(reader.ReadScriptLine(line), 1);
  EXPECT_EQ(line.size(), 998u);
  ASSERT_EQ(reader.ReadScriptLine(line), 1);
  EXPECT_EQ(line, std::string(202, 'a'));
  ASSERT_EQ(reader.ReadBlockLine(line), 1);
  EXPECT_EQ(line, "last");
  EXPECT_EQ(reader.ReadScriptLine(line), 0);
  EXPECT_EQ(reader.ReadScriptLine(line), 0);
}

TEST(ScriptReaderTest, ReplayClassifiesLines) {
  ui::HostDesktop desktop;
  ScriptReader reader(desktop);
  DeferredBlock block;
  block.first_line_number = 20;
  block.lines = {"IF group=2",      "\tDefaultDir C:\\X", "BeginFirstScreen", "IF text",
                 " endFirstScreen", "FILE a",           "TITLECOLORS x",    "  endif",
                 "FILE never"};
  reader.StartReplay(block);
  EXPECT_TRUE(reader.ReplayMode());
  std::string line;
  EXPECT_EQ(reader.ReadScriptLine(line), 20);
  EXPECT_EQ(line, "IF group=2");
  EXPECT_EQ(reader.ReadScriptLine(line), kReplaySkip);
  EXPECT_EQ(reader.ReadScriptLine(line), kReplaySkip);  // the whole first screen
  EXPECT_EQ(reader.ReadScriptLine(line), 25);
  EXPECT_EQ(line, "FILE a");
  EXPECT_EQ(reader.ReadScriptLine(line), 26);  // TITLECOLORS is not TITLECOLOR
  EXPECT_EQ(reader.ReadScriptLine(line), 27);
  EXPECT_EQ(line, "  endif");
  EXPECT_EQ(reader.ReadScriptLine(line), kReplayEnd);
  EXPECT_TRUE(desktop.Messages().empty());
}

TEST(ScriptReaderTest, ReplayBlockReadersSeeRawLines) {
  ui::HostDesktop desktop;
  ScriptReader reader(desktop);
  DeferredBlock block;
  block.first_line_number = 1;
  block.lines = {"IF group=1", "REM text of a screen", "ENDIF"};
  reader.StartReplay(block);
  std::string line;
  EXPECT_EQ(reader.ReadScriptLine(line), 1);
  EXPECT_EQ(reader.ReadBlockLine(line), 1);
  EXPECT_EQ(line, "REM text of a screen");
  EXPECT_EQ(reader.ReadBlockLine(line), 1);
  EXPECT_EQ(reader.ReadBlockLine(line), 0);
}

TEST(ScriptReaderTest, FirstWords) {
  EXPECT_EQ(FirstBlankWord(" \tENDIF: x"), "ENDIF:");
  EXPECT_EQ(FirstKeywordWord(" ,EXIT:now"), "EXIT");
  EXPECT_EQ(FirstKeywordWord("  EXITING"), "EXITING");
  EXPECT_EQ(FirstKeywordWord("1abc"), "");
}

}  // namespace
}  // namespace install::script
