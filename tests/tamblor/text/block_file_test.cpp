#include "tamblor/text/block_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::text {
namespace {

using testing::CatchFatalExit;
using testing::FatalExitCalled;
using testing::TempDir;
using testing::WriteBytes;

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + i / 8192) % 26);
  return bytes;
}

TEST(BlockFileTest, NextAndPreviousSkipCarriageReturnsAndStopAtTheEnds) {
  TempDir dir;
  WriteBytes(dir / "f", std::string("a\r\nb\r\r\xC8", 7));
  BlockFile file;
  file.Open(dir / "f");
  EXPECT_EQ(file.Size(), 7);
  EXPECT_EQ(file.Next(), 'a');
  EXPECT_EQ(file.Next(), '\n');
  EXPECT_EQ(file.Position(), 3);
  EXPECT_EQ(file.Next(), 'b');
  EXPECT_EQ(file.Next(), 200);  // two carriage returns skipped; bytes come unsigned
  EXPECT_EQ(file.Next(), BlockFile::kEndOfFile);
  EXPECT_EQ(file.Position(), 7);
  EXPECT_EQ(file.Previous(), 200);
  EXPECT_EQ(file.Previous(), 'b');
  EXPECT_EQ(file.Previous(), '\n');
  EXPECT_EQ(file.Position(), 2);
  EXPECT_EQ(file.Previous(), 'a');
  EXPECT_EQ(file.Previous(), BlockFile::kEndOfFile);
  EXPECT_EQ(file.Position(), 0);
}

TEST(BlockFileTest, OpenAtAStartPositionAndSeekOutsideTheFile) {
  TempDir dir;
  WriteBytes(dir / "f", "0123456789");
  BlockFile file;
  file.Open(dir / "f", 4);
  EXPECT_EQ(file.Next(), '4');
  file.Seek(-5);
  EXPECT_EQ(file.Position(), 0);
  file.Seek(25);
  EXPECT_EQ(file.Next(), BlockFile::kEndOfFile);
  EXPECT_EQ(file.Previous(), BlockFile::kEndOfFile);  // no byte at 24 either
}

TEST(BlockFileTest, ReadsEveryByteAcrossBlocksForwardsAndBackwardsWithOneReadPerBlock) {
  TempDir dir;
  const std::string bytes = Pattern(3 * BlockFile::kBlockSize + 100);
  WriteBytes(dir / "f", bytes);
  BlockFile file;
  file.Open(dir / "f");
  std::string forwards;
  for (int c = file.Next(); c != BlockFile::kEndOfFile; c = file.Next()) forwards += static_cast<char>(c);
  EXPECT_EQ(forwards, bytes);
  EXPECT_EQ(file.BlockReads(), 4);

  std::string backwards;
  for (int c = file.Previous(); c != BlockFile::kEndOfFile; c = file.Previous()) backwards.insert(0, 1, static_cast<char>(c));
  EXPECT_EQ(backwards, bytes);
  EXPECT_EQ(file.BlockReads(), 4 + 2);  // the last two blocks were still cached
}

TEST(BlockFileTest, KeepsBothNeighboursOfABoundaryCached) {
  TempDir dir;
  WriteBytes(dir / "f", Pattern(4 * BlockFile::kBlockSize));
  BlockFile file;
  file.Open(dir / "f");
  for (int i = 0; i < 50; ++i) {
    file.Seek(2 * BlockFile::kBlockSize - 1);
    file.Next();
    file.Next();
  }
  EXPECT_EQ(file.BlockReads(), 2);
  file.Seek(0);  // a jump restarts the cache
  file.Next();
  file.Seek(2 * BlockFile::kBlockSize);
  file.Next();
  EXPECT_EQ(file.BlockReads(), 4);
}

TEST(BlockFileTest, WordTakesTheFirstPrintableRun) {
  struct Case {
    std::string line;
    size_t capacity;
    std::string word;
  } cases[] = {
      {"  readme.txt  A description", 260, "readme.txt"},
      {"\t\b readme.txt\r\n", 260, "readme.txt"},
      {"|  boxed text", 260, ""},
      {"utils/ more", 260, "utils/"},
      {"ab{cd", 260, "ab"},           // 123 ends a word
      {"{abc", 260, ""},              // and gives an empty word first
      {"~abc", 260, ""},
      {"\xC8name", 260, ""},          // above 127
      {"\x7Fname", 260, ""},
      {"", 260, ""},
      {"   ", 260, ""},
      {"\nname", 260, ""},
      {"abcdefgh", 5, "abcd"},
      {"abcdefgh", 1, ""},
      {"abcdefgh", 0, ""},
      {std::string(300, 'x'), 260, std::string(259, 'x')},
  };
  TempDir dir;
  for (const Case& c : cases) {
    WriteBytes(dir / "w", c.line);
    BlockFile file;
    file.Open(dir / "w");
    EXPECT_EQ(file.Word(0, c.capacity), c.word) << "line: " << c.line;
  }
}

TEST(BlockFileTest, AMissingFileEndsTheProcessWithItsMessage) {
  TempDir dir;
  const std::string path = dir / "missing.txt";
  EXPECT_EXIT(
      {
        BlockFile file;
        file.Open(path);
      },
      ::testing::ExitedWithCode(255), "Cannot open file '" + path + "': No such file or directory");
}

TEST(BlockFileTest, FatalErrorsGoThroughTheHookAfterTheirMessage) {
  TempDir dir;
  CatchFatalExit hook;
  BlockFile file;

  ::testing::internal::CaptureStderr();
  EXPECT_THROW(file.Open(dir / "missing.txt"), FatalExitCalled);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Cannot open file '" + (dir / "missing.txt") + "': No such file or directory\n");
  EXPECT_FALSE(file.IsOpen());

  const std::string long_path = dir.path() + "/" + std::string(260, 'n');
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(file.Open(long_path), FatalExitCalled);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Cannot open file '" + long_path + "': File name too long\n");

  try {
    file.Open(dir / "missing.txt");
    FAIL() << "no fatal exit";
  } catch (const FatalExitCalled& fatal) {
    EXPECT_EQ(fatal.exit_code, -1);
  }
}

std::vector<std::string> shown_messages;

TEST(BlockFileTest, AFatalMessageIsShownThroughTheMessageHookBeforeTheEnd) {
  TempDir dir;
  CatchFatalExit hook;
  shown_messages.clear();
  FatalMessageHook previous = SetFatalMessageHook([](const std::string& text) { shown_messages.push_back(text); });
  BlockFile file;
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(file.Open(dir / "gone.txt"), FatalExitCalled);
  std::string written = ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(shown_messages.size(), 1u);
  EXPECT_EQ(shown_messages[0], written) << "the same text on both";
  EXPECT_NE(written.find("gone.txt"), std::string::npos);

  // An empty message (the caller showed its own box) shows nothing more.
  EXPECT_THROW(FatalFileError(""), FatalExitCalled);
  EXPECT_EQ(shown_messages.size(), 1u);
  SetFatalMessageHook(previous);
}

TEST(BlockFileTest, ASeekErrorIsFatal) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  CatchFatalExit hook;
  BlockFile file;
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(file.Open("/proc/self/fd/" + std::to_string(ends[0])), FatalExitCalled);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "seek error: Illegal seek\n");
  file.Close();
  close(ends[0]);
  close(ends[1]);
}

TEST(BlockFileTest, AReadErrorIsFatal) {
  TempDir dir;
  CatchFatalExit hook;
  BlockFile file;
  // A directory opens; on ext4 it even seeks to an end, but it cannot be read.
  ::testing::internal::CaptureStderr();
  try {
    file.Open(dir.path());
  } catch (const FatalExitCalled&) {
    EXPECT_EQ(::testing::internal::GetCapturedStderr().rfind("seek error: ", 0), 0u);
    GTEST_SKIP() << "this file system cannot seek in a directory";
  }
  ASSERT_GT(file.Size(), 0);
  EXPECT_THROW(file.Next(), FatalExitCalled);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "read error: Is a directory\n");
}

TEST(BlockFileTest, AFileThatShrankReadsAsEndedWhereItNowEnds) {
  TempDir dir;
  WriteBytes(dir / "f", Pattern(2 * BlockFile::kBlockSize));
  BlockFile file;
  file.Open(dir / "f");
  std::filesystem::resize_file(dir / "f", 10);
  file.Seek(8);
  EXPECT_NE(file.Next(), BlockFile::kEndOfFile);
  EXPECT_NE(file.Next(), BlockFile::kEndOfFile);
  EXPECT_EQ(file.Next(), BlockFile::kEndOfFile);
  EXPECT_EQ(file.Position(), 10);
  file.Seek(BlockFile::kBlockSize + 5);
  EXPECT_EQ(file.Next(), BlockFile::kEndOfFile);
  EXPECT_EQ(file.Previous(), BlockFile::kEndOfFile);
}

TEST(BlockFileTest, FindForwardIgnoresCaseAndCarriageReturns) {
  TempDir dir;
  WriteBytes(dir / "i", "readme.txt  Read me\r\nSETUP.EXE  Installs\r\nsetup again\r\nend\xFFsetup");
  BlockFile file;
  file.Open(dir / "i");
  EXPECT_EQ(file.FindForward(0, "setup"), 21);
  EXPECT_EQ(file.Word(21, 260), "SETUP.EXE");
  EXPECT_EQ(file.FindForward(22, "setup"), 42);
  EXPECT_EQ(file.FindForward(43, "setup"), -1);   // the byte 255 ends the search
  EXPECT_EQ(file.FindForward(0, "me\nsetup"), 17); // the line feed takes part, the CR not
  EXPECT_EQ(file.FindForward(0, "me\r\nsetup"), -1);
  EXPECT_EQ(file.FindForward(0, "sesetup"), -1);
  EXPECT_EQ(file.FindForward(file.Size(), "e"), -1);
  EXPECT_EQ(file.FindForward(0, ""), -1);
  EXPECT_EQ(file.FindForward(0, "READ ME"), 12);
  EXPECT_EQ(file.FindForward(0, std::string("read me") + std::string(100, 'x')), -1);
}

TEST(BlockFileTest, FindBackwardStartsAtThePositionAndGoesBack) {
  TempDir dir;
  WriteBytes(dir / "i", "Setup one\nsetup two\nthree");
  BlockFile file;
  file.Open(dir / "i");
  EXPECT_EQ(file.FindBackward(file.Size() - 1, "SETUP"), 10);
  EXPECT_EQ(file.FindBackward(10, "setup"), 10);
  EXPECT_EQ(file.FindBackward(9, "setup"), 0);
  EXPECT_EQ(file.FindBackward(9, "two"), -1);
  EXPECT_EQ(file.FindBackward(0, "setup"), 0);
  EXPECT_EQ(file.FindBackward(0, "x"), -1);
  EXPECT_EQ(file.FindBackward(5, ""), 0);
  EXPECT_EQ(file.FindBackward(file.Size(), "three"), -1);
}

TEST(BlockFileTest, SearchesFindTextAcrossABlockBoundary) {
  TempDir dir;
  std::string bytes(2 * BlockFile::kBlockSize, '.');
  bytes.replace(BlockFile::kBlockSize - 3, 6, "NEEDLE");
  WriteBytes(dir / "f", bytes);
  BlockFile file;
  file.Open(dir / "f");
  EXPECT_EQ(file.FindForward(0, "needle"), BlockFile::kBlockSize - 3);
  EXPECT_EQ(file.FindBackward(file.Size() - 1, "needle"), BlockFile::kBlockSize - 3);
}

}  // namespace
}  // namespace tamblor::text
