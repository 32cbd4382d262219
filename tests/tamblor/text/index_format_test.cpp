#include "tamblor/text/index_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tamblor/support/faulty_machine.h"
#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::text {
namespace {

using testing::TempDir;
using testing::WriteBytes;

const char kIndex[] =
    "====================\r\n"          // 0: heading (continuation lines at the start)
    "|  Disc of utilities |\r\n"
    "readme.txt   How to use this disc\r\n"  // entry
    "  more description\r\n"
    "\r\n"                               // an empty line is an entry of its own
    "  utils/     Utilities\r\n"         // continuation of the empty-line entry
    "|------|\r\n"
    "path: \\games\\arcade more words\r\n"
    "tetris.zip   Falling blocks\r\n"
    "= rule\r\n";

struct Entry {
  int64_t start;
  std::string name;
  bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& e) { return out << e.start << ":'" << e.name << "'"; }

TEST(IndexFormatTest, LinesGroupIntoEntries) {
  TempDir dir;
  WriteBytes(dir / "00_index.txt", kIndex);
  BlockFile file;
  file.Open(dir / "00_index.txt");
  std::vector<Entry> entries;
  for (int64_t p = 0; p < file.Size(); p = NextEntryStart(file, p)) entries.push_back({p, EntryName(file, p)});
  const std::string text = kIndex;
  std::vector<Entry> expected = {
      {0, "===================="},  // the heading: "=" is a word character, "|" is not
      {static_cast<int64_t>(text.find("readme.txt")), "readme.txt"},
      {static_cast<int64_t>(text.find("\r\n\r\n") + 2), ""},
      {static_cast<int64_t>(text.find("path: ")), "path:"},
      {static_cast<int64_t>(text.find("tetris")), "tetris.zip"},
  };
  EXPECT_EQ(entries, expected);

  // Every byte of an entry leads back to the entry's first line.
  for (size_t i = 0; i < expected.size(); ++i) {
    int64_t end = i + 1 < expected.size() ? expected[i + 1].start : file.Size();
    for (int64_t p = expected[i].start; p < end; ++p) ASSERT_EQ(EntryStart(file, p), expected[i].start) << p;
  }
  EXPECT_EQ(EntryStart(file, file.Size()), file.Size());
  EXPECT_EQ(NextEntryStart(file, file.Size()), file.Size());
}

TEST(IndexFormatTest, ContinuationLinesBeginWithBlankBarOrEquals) {
  TempDir dir;
  WriteBytes(dir / "f", "name\n blank\n|bar\n=rule\n\ttab\n\n");
  BlockFile file;
  file.Open(dir / "f");
  std::vector<bool> continuation, starts;
  TextLine line;
  for (int64_t p = 0; line.ReadLine(file, p); p = line.End() + 1) {
    continuation.push_back(IsContinuationLine(line));
    starts.push_back(StartsEntry(line));
  }
  EXPECT_EQ(continuation, (std::vector<bool>{false, true, true, true, false, false}));
  EXPECT_EQ(starts, (std::vector<bool>{true, false, false, false, true, true}));
}

TEST(IndexFormatTest, PathLinesNameTheDirectoryUpToTheFirstBlank) {
  struct Case {
    std::string line;
    bool is_path;
    std::string directory;
  } cases[] = {
      {"path: \\games\\arcade  Arcade games", true, "\\games\\arcade"},
      {"PATH: \\UTIL", true, "\\UTIL"},
      {"Path: ", true, ""},
      {"path:\\x", false, ""},
      {"path", false, ""},
      {" path: \\x", false, ""},
      {"path: \\" + std::string(300, 'd'), true, "\\" + std::string(258, 'd')},
  };
  TempDir dir;
  for (const Case& c : cases) {
    WriteBytes(dir / "g", c.line + "\n");
    BlockFile file;
    file.Open(dir / "g");
    TextLine line;
    ASSERT_TRUE(line.ReadLine(file, 0));
    EXPECT_EQ(IsPathLine(line), c.is_path) << c.line;
    EXPECT_EQ(PathLineDirectory(line), c.directory) << c.line;
  }
}

TEST(IndexFormatTest, EntryNamesAreCutAt259Characters) {
  TempDir dir;
  WriteBytes(dir / "f", std::string(400, 'n') + " description\n");
  BlockFile file;
  file.Open(dir / "f");
  EXPECT_EQ(EntryName(file, 0), std::string(259, 'n'));
}

}  // namespace
}  // namespace tamblor::text

namespace tamblor::text {
namespace {

TEST(FindLineStartingWithTest, FindsTheFirstLineBeginningWithTheNameFromAPosition) {
  testing::TempDir dir;
  const std::string index = "UTILS  tools\nREADME readme\nREADME.TXT text\nSETUP.EXE\n";
  testing::WriteBytes(dir / "i.txt", index);
  BlockFile file;
  file.Open(dir / "i.txt");
  EXPECT_EQ(FindLineStartingWith(file, 0, "UTILS"), 0);
  EXPECT_EQ(FindLineStartingWith(file, 0, "README"), 13) << "a prefix of a later line's name matches the first";
  EXPECT_EQ(FindLineStartingWith(file, 14, "README"), 27) << "from inside a line: the rest of it counts as a line";
  EXPECT_EQ(FindLineStartingWith(file, 0, "readme"), static_cast<int64_t>(index.size())) << "with case";
  EXPECT_EQ(FindLineStartingWith(file, 0, "SETUP.EXE"), 43) << "the last line, without text after the name";
  EXPECT_EQ(FindLineStartingWith(file, static_cast<int64_t>(index.size()), "UTILS"),
            static_cast<int64_t>(index.size()));
}

TEST(FindLineStartingWithTest, AFileCutWhileOpenEndsTheScan) {
  testing::TempDir dir;
  std::string index;
  for (int i = 0; i < 300; ++i) index += "ENTRY" + std::to_string(i) + std::string(90, ' ') + "\n";
  testing::WriteBytes(dir / "i.txt", index);
  BlockFile file;
  file.Open(dir / "i.txt");
  testing::WriteBytes(dir / "i.txt", index.substr(0, 5000));
  // From beyond what is left nothing can be read; the scan must stop, not spin.
  EXPECT_EQ(FindLineStartingWith(file, 20000, "NOTHERE"), 20000);
}

}  // namespace
}  // namespace tamblor::text

namespace tamblor::text {
namespace {

// The index shrinks while it is open, between two block reads, as when
// another program rewrites it; found by the index fuzz target.
TEST(IndexFormatTest, EntriesOfAFileThatShrankWhileOpenEndWhereItNowEnds) {
  testing::TempDir dir;
  std::string index;
  for (int i = 0; i < 200; ++i) index += "ENTRY" + std::to_string(i) + std::string(94, ' ') + "\r\n";
  ASSERT_GT(index.size(), 2u * BlockFile::kBlockSize);
  testing::WriteBytes(dir / "00_index.txt", index);
  for (int64_t cut : {int64_t{0}, int64_t{5000}, int64_t{BlockFile::kBlockSize}, int64_t{BlockFile::kBlockSize + 1}}) {
    SCOPED_TRACE(cut);
    tamblor::testing::FaultyMachine machine;
    machine.MapDrive('E', dir.path(), os::DriveType::CdRom);
    machine.ShrinkBeforeRead(2, cut);  // the first block is read whole, the second after the cut
    BlockFile file;
    file.Open(machine, "E:\\00_index.txt");
    int steps = 0;
    for (int64_t p = 0; p < file.Size(); ++steps) {
      ASSERT_LT(steps, 300) << "the entry walk does not end";
      int64_t next = NextEntryStart(file, p);
      ASSERT_GT(next, p) << "no progress at " << p;
      p = next;
    }
    TextLine line;
    EXPECT_FALSE(line.ReadLine(file, BlockFile::kBlockSize + 200)) << "nothing is left there to read";
    EXPECT_EQ(line.Start(), -1);
    testing::WriteBytes(dir / "00_index.txt", index);
  }
}

}  // namespace
}  // namespace tamblor::text
