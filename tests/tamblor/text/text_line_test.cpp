#include "tamblor/text/text_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::text {
namespace {

using testing::TempDir;
using testing::WriteBytes;

struct Line {
  std::string text;
  int64_t start;
  int64_t end;
  bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Line& line) {
  return out << "[" << line.start << ".." << line.end << "] '" << line.text << "'";
}

std::vector<Line> ReadForwards(BlockFile& file, int limit) {
  std::vector<Line> lines;
  TextLine line(limit);
  for (int64_t p = 0; line.ReadLine(file, p); p = line.End() + 1) {
    lines.push_back({std::string(line.View()), line.Start(), line.End()});
  }
  return lines;
}

std::vector<Line> ReadBackwards(BlockFile& file, int limit) {
  std::vector<Line> lines;
  TextLine line(limit);
  for (int64_t p = file.Size(); line.ReadLineBefore(file, p); p = line.Start()) {
    lines.insert(lines.begin(), {std::string(line.View()), line.Start(), line.End()});
  }
  return lines;
}

std::vector<std::string> Texts(const std::vector<Line>& lines) {
  std::vector<std::string> texts;
  for (const Line& line : lines) texts.push_back(line.text);
  return texts;
}

// Lines of many lengths (empty, inline, heap, over the limit), crossing 8 KB boundaries.
std::vector<std::string> SampleLines() {
  std::vector<std::string> lines;
  const int lengths[] = {0, 1, 80, 81, 82, 200, 511, 512, 513, 600, 1500, 3, 0, 0, 77};
  for (int round = 0; round < 12; ++round) {
    for (int length : lengths) {
      std::string text;
      for (int i = 0; i < length; ++i) text += static_cast<char>('!' + (i + round) % 90);
      if (length > 0 && round % 3 == 0) text[0] = ' ';
      lines.push_back(text);
    }
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines, const std::string& end) {
  std::string out;
  for (const std::string& line : lines) out += line + end;
  return out;
}

TEST(TextLineTest, CrLfAndLfFilesGiveTheSameLines) {
  TempDir dir;
  const std::vector<std::string> lines = SampleLines();
  WriteBytes(dir / "lf", Join(lines, "\n"));
  WriteBytes(dir / "crlf", Join(lines, "\r\n"));
  BlockFile lf, crlf;
  lf.Open(dir / "lf");
  crlf.Open(dir / "crlf");
  ASSERT_GT(crlf.Size(), 4 * BlockFile::kBlockSize);
  for (int limit : {512, 77, 81, 2000}) {
    EXPECT_EQ(Texts(ReadForwards(lf, limit)), Texts(ReadForwards(crlf, limit))) << "limit " << limit;
    EXPECT_EQ(Texts(ReadBackwards(lf, limit)), Texts(ReadBackwards(crlf, limit))) << "limit " << limit;
  }
  std::vector<std::string> expected = lines;
  EXPECT_EQ(Texts(ReadForwards(crlf, 2000)), expected);
}

TEST(TextLineTest, BackwardsReadingMeetsForwardReadingAcrossBlockBoundaries) {
  TempDir dir;
  WriteBytes(dir / "f", Join(SampleLines(), "\r\n") + "no line feed at the end");
  BlockFile file;
  file.Open(dir / "f");
  for (int limit : {512, 40, 81, 82}) {
    std::vector<Line> forwards = ReadForwards(file, limit);
    EXPECT_EQ(ReadBackwards(file, limit), forwards) << "limit " << limit;
    EXPECT_EQ(forwards.back().end, file.Size() - 1);
  }
}

TEST(TextLineTest, ALineAcrossTheBlockBoundaryIsWhole) {
  TempDir dir;
  std::string first(BlockFile::kBlockSize - 40, 'a');
  std::string across = "across the boundary: " + std::string(60, 'b');
  WriteBytes(dir / "f", first + "\n" + across + "\n" + "last\n");
  BlockFile file;
  file.Open(dir / "f");
  TextLine line;
  ASSERT_TRUE(line.ReadLine(file, static_cast<int64_t>(first.size()) + 1));
  EXPECT_EQ(line.View(), across);
  EXPECT_GT(line.End(), BlockFile::kBlockSize);
  TextLine before;
  ASSERT_TRUE(before.ReadLineBefore(file, file.Size() - 5));
  EXPECT_EQ(before.View(), across);
  EXPECT_EQ(before.Start(), line.Start());
}

TEST(TextLineTest, ReadLineBeforeGivesTheLineHoldingThePreviousByteAtEveryPosition) {
  TempDir dir;
  // CR LF and LF, empty lines, a line cut by the limit, a byte 255, a block boundary.
  std::string bytes = "first\r\nsecond\n\n\r\n" + std::string(90, 'x') + "\n|box\xFFtail\n";
  bytes += std::string(BlockFile::kBlockSize - bytes.size() - 3, 'y') + "\r\nzz\r\nend";
  WriteBytes(dir / "f", bytes);
  BlockFile file;
  file.Open(dir / "f");
  const int limit = 64;
  std::vector<Line> lines = ReadForwards(file, limit);
  ASSERT_GT(lines.size(), 8u);
  TextLine line(limit);
  EXPECT_FALSE(line.ReadLineBefore(file, 0));
  EXPECT_EQ(line.Start(), -1);
  for (int64_t p = 1; p <= file.Size(); ++p) {
    const Line* holder = nullptr;
    for (const Line& l : lines) {
      if (l.start <= p - 1 && p - 1 <= l.end) holder = &l;
    }
    ASSERT_NE(holder, nullptr);
    ASSERT_TRUE(line.ReadLineBefore(file, p)) << p;
    EXPECT_EQ((Line{std::string(line.View()), line.Start(), line.End()}), *holder) << "position " << p;
  }
  EXPECT_FALSE(line.ReadLineBefore(file, file.Size() + 1));
}

TEST(TextLineTest, ReadLineBeforeAtTheStartOfTheSecondLineGivesTheFirst) {
  TempDir dir;
  WriteBytes(dir / "f", "one\r\ntwo\r\n");
  BlockFile file;
  file.Open(dir / "f");
  TextLine line;
  ASSERT_TRUE(line.ReadLineBefore(file, 5));
  EXPECT_EQ(line.View(), "one");
  EXPECT_EQ(line.Start(), 0);
  EXPECT_EQ(line.End(), 4);
  ASSERT_TRUE(line.ReadLineBefore(file, file.Size()));
  EXPECT_EQ(line.View(), "two");
  EXPECT_FALSE(line.ReadLine(file, file.Size()));
}

TEST(TextLineTest, ALineLongerThanTheLimitContinuesAsTheNextLine) {
  TempDir dir;
  std::string long_line;
  for (int i = 0; i < 600; ++i) long_line += static_cast<char>('a' + i % 26);
  WriteBytes(dir / "f", long_line + "\r\nnext\r\n");
  BlockFile file;
  file.Open(dir / "f");
  std::vector<Line> lines = ReadForwards(file, 512);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, long_line.substr(0, 512));
  EXPECT_EQ(lines[0].end, 511);
  EXPECT_EQ(lines[1].text, long_line.substr(512));
  EXPECT_EQ(lines[1].start, 512);
  EXPECT_EQ(lines[2].text, "next");

  TextLine line(512);
  ASSERT_TRUE(line.ReadLine(file, 0));
  EXPECT_TRUE(line.OnHeap());
  EXPECT_EQ(line.Length(), 512);
  EXPECT_EQ(std::string(line.Text()), long_line.substr(0, 512));  // terminated
}

TEST(TextLineTest, ALineOfExactlyTheLimitLeavesItsLineFeedForTheNextRead) {
  TempDir dir;
  WriteBytes(dir / "f", std::string(512, 'q') + "\nafter\n");
  BlockFile file;
  file.Open(dir / "f");
  EXPECT_EQ(Texts(ReadForwards(file, 512)), (std::vector<std::string>{std::string(512, 'q'), "", "after"}));
}

TEST(TextLineTest, ShortLinesStayInlineAndLongerOnesGoToTheHeap) {
  TempDir dir;
  WriteBytes(dir / "f", std::string(81, 'i') + "\n" + std::string(82, 'h') + "\n" + std::string(81, 'e'));
  BlockFile file;
  file.Open(dir / "f");
  TextLine line;
  ASSERT_TRUE(line.ReadLine(file, 0));
  EXPECT_FALSE(line.OnHeap());
  EXPECT_EQ(line.View(), std::string(81, 'i'));
  EXPECT_EQ(line.End(), 81);  // the line feed was consumed
  ASSERT_TRUE(line.ReadLine(file, 82));
  EXPECT_TRUE(line.OnHeap());
  EXPECT_EQ(line.View(), std::string(82, 'h'));
  EXPECT_EQ(line.End(), 82 + 82);
  ASSERT_TRUE(line.ReadLine(file, 165));
  EXPECT_FALSE(line.OnHeap());
  EXPECT_EQ(line.View(), std::string(81, 'e'));
  EXPECT_EQ(line.End(), file.Size() - 1);
}

TEST(TextLineTest, SmallLimitsCutInsideTheInlineBuffer) {
  TempDir dir;
  WriteBytes(dir / "f", "abcdefghij\n");
  BlockFile file;
  file.Open(dir / "f");
  EXPECT_EQ(Texts(ReadForwards(file, 4)), (std::vector<std::string>{"abcd", "efgh", "ij"}));
  EXPECT_EQ(Texts(ReadForwards(file, 0)).size(), 11u);  // a limit below 1 counts as 1
}

TEST(TextLineTest, AByte255EndsTheLineItIsIn) {
  TempDir dir;
  WriteBytes(dir / "f", std::string("abc\xFF" "def\n") + std::string(100, 'l') + "\xFF" + "rest");
  BlockFile file;
  file.Open(dir / "f");
  EXPECT_EQ(Texts(ReadForwards(file, 512)),
            (std::vector<std::string>{"abc", "def", std::string(100, 'l'), "rest"}));
}

TEST(TextLineTest, CopiesAreDeep) {
  TempDir dir;
  WriteBytes(dir / "f", std::string(300, 'c') + "\nshort\n");
  BlockFile file;
  file.Open(dir / "f");
  auto original = std::make_unique<TextLine>();
  ASSERT_TRUE(original->ReadLine(file, 0));
  TextLine copy(*original);
  TextLine assigned(20);
  ASSERT_TRUE(assigned.ReadLine(file, 301));
  assigned = *original;
  const char* original_text = original->Text();
  original.reset();
  for (const TextLine* line : {&copy, &assigned}) {
    EXPECT_NE(line->Text(), original_text);
    EXPECT_EQ(line->View(), std::string(300, 'c'));
    EXPECT_EQ(line->Start(), 0);
    EXPECT_EQ(line->End(), 300);
    EXPECT_EQ(line->Limit(), 512);
  }
  TextLine short_line;
  ASSERT_TRUE(short_line.ReadLine(file, 301));
  TextLine short_copy(short_line);
  EXPECT_EQ(short_copy.View(), "short");
  EXPECT_NE(short_copy.Text(), short_line.Text());  // its own inline buffer
}

}  // namespace
}  // namespace tamblor::text
