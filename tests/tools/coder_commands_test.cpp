// `quill implode` and `quill explode` through files and pipes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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

}  // namespace
