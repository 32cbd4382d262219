// The block-scanning word search against the reading rules it must keep: the
// search as written byte by byte with Next and Previous (carriage returns
// skipped, byte 255 ends it, the last look at the file start in lower case).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tamblor/text/block_file.h"
#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::text {
namespace {

using testing::TempDir;
using testing::WriteBytes;

bool SameLetter(int c, char upper, char lower) {
  return c == static_cast<unsigned char>(upper) || c == static_cast<unsigned char>(lower);
}

std::string Forms(const std::string& text, size_t limit, bool upper) {
  std::string form = text.substr(0, limit);
  for (char& c : form) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return form;
}

bool MatchesAt(BlockFile& file, int64_t at, const std::string& upper, const std::string& lower) {
  file.Seek(at);
  for (size_t i = 0; i < upper.size(); ++i) {
    if (!SameLetter(file.Next(), upper[i], lower[i])) return false;
  }
  return true;
}

int64_t ReferenceForward(BlockFile& file, int64_t position, const std::string& text) {
  if (file.Size() == 0 || position < 0 || position >= file.Size() || text.empty()) return -1;
  std::string upper = Forms(text, 80, true), lower = Forms(text, 80, false);
  file.Seek(position);
  for (;;) {
    int c = file.Next();
    if (c == BlockFile::kEndOfFile || c == 255) return -1;
    if (!SameLetter(c, upper[0], lower[0])) continue;
    int64_t at = file.Position() - 1;
    if (MatchesAt(file, at, upper, lower)) return at;
    file.Seek(at + 1);
  }
}

int64_t ReferenceBackward(BlockFile& file, int64_t position, const std::string& text) {
  if (file.Size() == 0 || position < 0 || position >= file.Size()) return -1;
  if (text.empty()) return 0;
  std::string upper = Forms(text, 81, true), lower = Forms(text, 81, false);
  file.Seek(position + 1);
  for (;;) {
    int c = file.Previous();
    if (c == BlockFile::kEndOfFile || c == 255) {
      int64_t at = file.Position();
      return MatchesAt(file, at, lower, lower) ? at : -1;
    }
    if (!SameLetter(c, upper[0], lower[0])) continue;
    int64_t at = file.Position();
    if (MatchesAt(file, at, upper, lower)) return at;
    file.Seek(at);
  }
}

TEST(WordSearchTest, BlockScanningFindsWhatReadingByteByByteFinds) {
  // Small alphabets make many near misses: repeated prefixes, case changes,
  // carriage returns inside words, bytes 255, and matches across the 8 KB
  // block boundaries.
  TempDir dir;
  std::mt19937 random(13);
  const char alphabet[] = {'s', 'S', 'e', 'E', 't', '\r', '\n', ' ', 'x'};
  for (int file_round = 0; file_round < 6; ++file_round) {
    std::string content(3 * BlockFile::kBlockSize + random() % 500, 'x');
    for (char& c : content) c = alphabet[random() % sizeof alphabet];
    if (file_round % 2 == 1) content[random() % content.size()] = static_cast<char>(255);
    WriteBytes(dir / "f.txt", content);
    BlockFile fast, slow;
    fast.Open(dir / "f.txt");
    slow.Open(dir / "f.txt");
    for (int round = 0; round < 300; ++round) {
      std::string text;
      for (size_t n = 1 + random() % 4; n > 0; --n) text += alphabet[random() % 7];
      int64_t position = static_cast<int64_t>(random() % content.size());
      if (round % 50 == 0) position = 0;
      if (round % 50 == 1) position = static_cast<int64_t>(content.size()) - 1;
      ASSERT_EQ(fast.FindForward(position, text), ReferenceForward(slow, position, text))
          << "forward '" << text << "' from " << position;
      ASSERT_EQ(fast.FindBackward(position, text), ReferenceBackward(slow, position, text))
          << "backward '" << text << "' from " << position;
    }
  }
}

TEST(WordSearchTest, TheEdgesOfTheFileAndOfTheText) {
  TempDir dir;
  WriteBytes(dir / "f.txt", "Setup\r\nsesetup\r\n" + std::string(BlockFile::kBlockSize, '.') + "SETUP");
  BlockFile file;
  file.Open(dir / "f.txt");
  const int64_t last = file.Size() - 5;
  EXPECT_EQ(file.FindForward(0, "setup"), 0) << "a match at the very start";
  EXPECT_EQ(file.FindForward(1, "setup"), 9) << "the search starts over inside a repeated prefix";
  EXPECT_EQ(file.FindForward(10, "setup"), last) << "a match that ends at the end of the file";
  EXPECT_EQ(file.FindForward(last + 1, "setup"), -1) << "a match would need bytes past the end";
  EXPECT_EQ(file.FindBackward(file.Size() - 1, "setup"), last);
  EXPECT_EQ(file.FindBackward(last - 1, "setup"), 9);
  EXPECT_EQ(file.FindBackward(8, "setup"), 0) << "the last comparison reaches the first byte";
  EXPECT_EQ(file.FindForward(0, "\rsetup"), -1) << "a carriage return in the text never matches";
  EXPECT_EQ(file.FindForward(0, "p\nse"), 4) << "the line feed takes part, the carriage return not";
  // 80 characters that match, then one that does not: forwards only the 80
  // count, backwards the 81st spoils it.
  const std::string head = "setup\nsesetup\n";
  std::string eighty_one = head + std::string(80 - head.size(), '.') + "Z";
  EXPECT_EQ(file.FindForward(0, eighty_one), 0) << "only the first 80 characters count forwards";
  EXPECT_EQ(file.FindBackward(100, eighty_one), -1) << "81 count backwards";
  std::string eighty_two = head + std::string(81 - head.size(), '.') + "Z";
  EXPECT_EQ(file.FindBackward(100, eighty_two), 0) << "but not 82";
}

}  // namespace
}  // namespace tamblor::text
