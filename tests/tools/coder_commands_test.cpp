// `quill implode` and `quill explode` through files and pipes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>
#include <string>

#include "tests/support/fixture_builder.h"
#include "tests/tools/quill_runner.h"

namespace {

using quill_test::Quill;

class CoderCommandsTest : public ::testing::Test {
 protected:
  std::string ReadBytes(const std::string& name) {
    std::ifstream in(dir_.path() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  test_support::TempDir dir_;
};

TEST_F(CoderCommandsTest, EveryModeAndDictionaryRoundTrips) {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "Line " + std::to_string(i % 37) + " of the sample readme.\r\n";
  dir_.Write("plain.txt", text);
  for (const char* settings : {"", "--ascii", "--dict 1024", "--ascii --dict 2048"}) {
    SCOPED_TRACE(settings);
    EXPECT_EQ(Quill(std::string("implode ") + settings + " plain.txt packed.dcl", dir_.path()).status, 0);
    EXPECT_LT(ReadBytes("packed.dcl").size(), text.size() / 4);
    EXPECT_EQ(Quill("explode packed.dcl unpacked.txt", dir_.path()).status, 0);
    EXPECT_EQ(ReadBytes("unpacked.txt"), text);
  }
  // Through standard input and output.
  EXPECT_EQ(Quill("implode < plain.txt | '" + quill_test::QuillProgram().string() + "' explode > piped.txt",
                  dir_.path()).status, 0);
  EXPECT_EQ(ReadBytes("piped.txt"), text);
}

TEST_F(CoderCommandsTest, EmptyInputGivesAStreamThatDecodesToNothing) {
  dir_.Write("empty", "");
  ASSERT_EQ(Quill("implode empty empty.dcl", dir_.path()).status, 0);
  EXPECT_EQ(ReadBytes("empty.dcl"), std::string("\x00\x06\x01\xFF\x00", 5));
  ASSERT_EQ(Quill("explode empty.dcl out", dir_.path()).status, 0);
  EXPECT_EQ(ReadBytes("out"), "");
}

TEST_F(CoderCommandsTest, BadDataAndBadCommandLines) {
  dir_.Write("cut.dcl", std::string("\x00\x06\x01", 3));  // ends before the end code
  quill_test::QuillRun cut = Quill("explode cut.dcl out.bin", dir_.path());
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.output.find("quill explode: cannot decode:"), std::string::npos) << cut.output;
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "out.bin"));  // no partial output left behind
  dir_.Write("bad.dcl", std::string("\x02\x06\x01\xFF\x00", 5));  // literal mode 2 does not exist
  EXPECT_EQ(Quill("explode bad.dcl", dir_.path()).status, 1);
  EXPECT_EQ(Quill("explode missing.dcl", dir_.path()).status, 1);

  quill_test::QuillRun usage = Quill("implode --dict 512 a b", dir_.path());
  EXPECT_EQ(usage.status, 1);
  EXPECT_NE(usage.output.find("usage: quill implode"), std::string::npos) << usage.output;
  EXPECT_EQ(Quill("explode a b c", dir_.path()).status, 1);
}

TEST_F(CoderCommandsTest, AFailedDecodeLeavesAnExistingOutputAsItWas) {
  dir_.Write("cut.dcl", std::string("\x00\x06\x01", 3));
  dir_.Write("keep.txt", std::string("precious"));
  quill_test::QuillRun cut = Quill("explode cut.dcl keep.txt", dir_.path());
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(ReadBytes("keep.txt"), "precious");
  // A decode that succeeds replaces it whole, and nothing is left beside it.
  dir_.Write("plain.txt", std::string("new text\r\n"));
  ASSERT_EQ(Quill("implode plain.txt packed.dcl", dir_.path()).status, 0);
  ASSERT_EQ(Quill("explode packed.dcl keep.txt", dir_.path()).status, 0);
  EXPECT_EQ(ReadBytes("keep.txt"), "new text\r\n");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"cut.dcl", "keep.txt", "packed.dcl", "plain.txt"}));
}

TEST_F(CoderCommandsTest, TheInputIsNeverItsOwnOutput) {
  dir_.Write("plain.txt", std::string("some text to pack\r\n"));
  ASSERT_EQ(Quill("implode plain.txt d.imp", dir_.path()).status, 0);
  const std::string packed = ReadBytes("d.imp");
  quill_test::QuillRun same = Quill("explode d.imp d.imp", dir_.path());
  EXPECT_EQ(same.status, 1);
  EXPECT_NE(same.output.find("quill explode: 'd.imp' is both the input and the output"), std::string::npos) << same.output;
  EXPECT_EQ(ReadBytes("d.imp"), packed);
  // The same file under another name.
  std::filesystem::create_directories(dir_.path() / "sub");
  EXPECT_EQ(Quill("implode plain.txt sub/../plain.txt", dir_.path()).status, 1);
  std::filesystem::create_hard_link(dir_.path() / "plain.txt", dir_.path() / "link.txt");
  EXPECT_EQ(Quill("implode plain.txt link.txt", dir_.path()).status, 1);
  EXPECT_EQ(ReadBytes("plain.txt"), "some text to pack\r\n");
}

TEST_F(CoderCommandsTest, AWriteBeyondTheFileSizeLimitIsAFailure) {
  std::string big(20000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7 + (i >> 9));
  dir_.Write("big.bin", big);
  ASSERT_EQ(Quill("implode big.bin big.dcl", dir_.path()).status, 0);
  dir_.Write("out.bin", std::string("old"));
  // 9 blocks of 1024 bytes: the output cannot be written whole.
  quill_test::QuillRun limited = Quill("explode big.dcl out.bin", dir_.path(), "trap '' XFSZ; ulimit -f 9; ");
  EXPECT_EQ(limited.status, 1) << limited.output;
  EXPECT_EQ(ReadBytes("out.bin"), "old");
}

}  // namespace
