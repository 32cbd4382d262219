// A text pane over files of a drive E: mapped to a temporary directory, with a
// window side that records what the pane asks of it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tamblor/os/host/host_machine.h"
#include "tamblor/views/scroll_pane.h"
#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::testing {

struct BarState {
  bool enabled = false;
  int range = 0;
  int position = 0;
};

class RecordingPaneWindow : public views::PaneWindow {
 public:
  void InvalidateRows(int first, int last) override { invalidated.push_back({first, last}); }
  void InvalidateAll() override { ++all_invalidated; }
  void ScrollContent(int rows) override { scrolled += rows; }
  void SetVerticalBar(bool enabled, int range, int position) override {
    vertical = {enabled, range, position};
    vertical_positions.push_back(position);
  }
  void SetHorizontalBar(bool enabled, int range, int position) override { horizontal = {enabled, range, position}; }
  void SendCommand(int command) override { commands.push_back(command); }
  void PassCharacter(unsigned character) override { passed.push_back(character); }
  void ReportNotFound() override { ++not_found; }
  void BeginWait() override { ++waits; }
  void EndWait() override { --waits; }

  std::vector<std::pair<int, int>> invalidated;
  int all_invalidated = 0;
  int scrolled = 0;
  BarState vertical, horizontal;
  std::vector<int> vertical_positions;
  std::vector<int> commands;
  std::vector<unsigned> passed;
  int not_found = 0;
  int waits = 0;
};

class PaneFixture : public ::testing::Test {
 protected:
  static constexpr int kCharWidth = 8;
  static constexpr int kLineHeight = 16;

  void SetUp() override { machine_.MapDrive('E', dir_.path(), os::DriveType::CdRom); }

  // Shows `content` as file `name` in a pane of `columns` x `rows`.
  void Show(const std::string& name, const std::string& content, views::DisplayMode mode, int rows = 10,
            int columns = 80, bool wrap = false) {
    pane_.Detach();
    text::testing::WriteBytes(dir_ / name, content);
    document_ = views::ViewDocument{};
    document_.path = "E:\\" + name;
    document_.mode = mode;
    document_.wrap = wrap;
    pane_.SetFontMetrics(kCharWidth, kLineHeight);
    pane_.Resize((columns - 1) * kCharWidth, (rows - 1) * kLineHeight);
    pane_.Attach(&document_);
  }

  std::string Row(int row) const { return std::string(pane_.RowText(row)); }
  // The pixel point of a column and row of the pane.
  static int X(int column) { return column * kCharWidth + 1; }
  static int Y(int row) { return row * kLineHeight + 1; }

  text::testing::TempDir dir_;
  os::host::HostMachine machine_;
  RecordingPaneWindow window_;
  views::ScrollPane pane_{machine_, window_};
  views::ViewDocument document_;
};

// "line 0\n" ... "line N-1\n".
inline std::string NumberedLines(int count, const std::string& prefix = "line ") {
  std::string text;
  for (int i = 0; i < count; ++i) text += prefix + std::to_string(i) + "\n";
  return text;
}

inline int64_t StartOfLine(const std::string& content, int line) {
  size_t at = 0;
  for (int i = 0; i < line; ++i) at = content.find('\n', at) + 1;
  return static_cast<int64_t>(at);
}

}  // namespace tamblor::testing
