// Runs `quill list` and `quill extract` on compressed volume sets made by the
// fixture builder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/fixture_builder.h"
#include "tests/tools/quill_runner.h"

namespace {

namespace fs = std::filesystem;
using test_support::Bytes;
using test_support::BytesOf;
using test_support::ImplodedMember;
using test_support::VolumeSetOptions;

constexpr uint32_t kDate = (15u << 9) | (8u << 5) | 24u;  // 1995-08-24
constexpr uint32_t kTime = (9u << 11) | (30u << 5) | 5u;  // 09:30:10

using quill_test::Quill;
using quill_test::QuillProgram;
using quill_test::QuillRun;

Bytes Pattern(size_t size) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = uint8_t((i * 7) ^ (i >> 5));
  return out;
}

// Options naming the volume files, with a byte budget per volume.
VolumeSetOptions Volumes(std::vector<std::string> names, uint32_t budget = 1u << 20) {
  VolumeSetOptions options;
  options.volume_names = std::move(names);
  options.budgets = {budget};
  return options;
}

class QuillVolumeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(QuillProgram())) << "build the quill target first: " << QuillProgram();
  }
  void WriteSet(const std::vector<test_support::VolumeMember>& members, const VolumeSetOptions& options,
                const std::string& subdir = "set") {
    auto volumes = test_support::BuildVolumeSet(members, options);
    ASSERT_FALSE(volumes.empty());
    ASSERT_TRUE(test_support::WriteVolumeSet(dir_.path() / subdir, volumes));
    volume_count_ = volumes.size();
  }
  std::string Text(const fs::path& relative) {
    auto bytes = test_support::ReadLocalFile(dir_.path() / relative);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
  }
  test_support::TempDir dir_;
  size_t volume_count_ = 0;
};

TEST_F(QuillVolumeTest, ListsAndExtractsASetSpreadOverVolumes) {
  const Bytes big = Pattern(60000);
  VolumeSetOptions options;
  options.volume_names = {"APP.1", "APP.2"};
  options.budgets = {4000};
  WriteSet({ImplodedMember("README.TXT", BytesOf("hello\r\n"), kDate, kTime),
            ImplodedMember("bin\\APP.EXE", big, kDate, kTime)},
           options);
  ASSERT_GE(volume_count_, 2u);

  QuillRun list = Quill("list set/APP.1", dir_.path());
  EXPECT_EQ(list.status, 0) << list.output;
  ASSERT_EQ(list.output.rfind("README.TXT\t", 0), 0u) << list.output;
  EXPECT_NE(list.output.find("\t1995-08-24 09:30:10\nbin\\APP.EXE\t"), std::string::npos) << list.output;
  EXPECT_EQ(std::count(list.output.begin(), list.output.end(), '\n'), 2);

  QuillRun extract = Quill("extract -d out set/APP.1", dir_.path());
  EXPECT_EQ(extract.status, 0) << extract.output;
  EXPECT_EQ(extract.output, "");  // no progress when not on a terminal
  EXPECT_EQ(Text("out/README.TXT"), "hello\r\n");
  auto app = test_support::ReadLocalFile(dir_.path() / "out" / "bin" / "APP.EXE");
  ASSERT_TRUE(app);
  EXPECT_EQ(*app, big);
  EXPECT_EQ(fs::directory_iterator(dir_.path() / "out") != fs::directory_iterator(), true);
  for (const auto& entry : fs::recursive_directory_iterator(dir_.path() / "out")) {
    EXPECT_NE(entry.path().filename().string().rfind("~INS", 0), 0u) << entry.path();
  }

  // Without -d the current directory receives the files, and again replaces them.
  QuillRun here = Quill("extract ../../set/APP.1", dir_.path() / "out" / "bin");
  EXPECT_EQ(here.status, 0) << here.output;
  EXPECT_EQ(Text("out/bin/README.TXT"), "hello\r\n");
}

TEST_F(QuillVolumeTest, AnExtractionBeyondTheFileSizeLimitFailsAndKeepsTheOldFile) {
  // A file-size limit of 9 blocks stands for a disk that fills up: the
  // 10000-byte member cannot be written whole.
  WriteSet({ImplodedMember("BIG.BIN", Pattern(10000), kDate, kTime)}, Volumes({"BIG.1"}));
  ASSERT_TRUE(test_support::WriteLocalFile(dir_.path() / "out" / "BIG.BIN", BytesOf("old")));
  QuillRun run = Quill("extract -d out set/BIG.1", dir_.path(), "trap '' XFSZ; ulimit -f 9; ");
  EXPECT_NE(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Writing disk error."), std::string::npos) << run.output;
  EXPECT_EQ(Text("out/BIG.BIN"), "old");
  for (const auto& entry : fs::recursive_directory_iterator(dir_.path() / "out")) {
    EXPECT_NE(entry.path().filename().string().rfind("~INS", 0), 0u) << entry.path();
  }
}

TEST_F(QuillVolumeTest, UsageErrorsExitWithOne) {
  for (const char* arguments : {"list", "list a b", "list -x A.1", "extract", "extract -d", "extract -q A.1",
                                "extract A.1 B.1"}) {
    QuillRun run = Quill(arguments, dir_.path());
    EXPECT_EQ(run.status, 1) << arguments;
    EXPECT_NE(run.output.find("usage: quill"), std::string::npos) << arguments;
  }
}

TEST_F(QuillVolumeTest, MembersLeavingTheDirectoryAreRefusedAndNothingIsWrittenOutside) {
  for (const char* bad : {"..\\ESCAPED.TXT", "C:\\ESCAPED.TXT", "\\ESCAPED.TXT", "a\\..\\..\\ESCAPED.TXT"}) {
    SCOPED_TRACE(bad);
    WriteSet({ImplodedMember("FIRST.TXT", BytesOf("first")), ImplodedMember(bad, BytesOf("escaped"))},
             Volumes({"BAD.1"}));
    QuillRun run = Quill("extract -d out/inner set/BAD.1", dir_.path());
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("quill extract: Invalid compressed file " + (dir_.path() / "set" / "BAD.1").string()),
              std::string::npos)
        << run.output;
    EXPECT_EQ(Text("out/inner/FIRST.TXT"), "first");
    EXPECT_EQ(Text("out/ESCAPED.TXT"), "<none>");
    EXPECT_EQ(Text("ESCAPED.TXT"), "<none>");
    EXPECT_EQ(Text("set/ESCAPED.TXT"), "<none>");

    QuillRun list = Quill("list set/BAD.1", dir_.path());
    EXPECT_EQ(list.status, 2);
    EXPECT_EQ(list.output.rfind("FIRST.TXT\t", 0), 0u) << list.output;
  }
}

TEST_F(QuillVolumeTest, NamesWithControlCharactersOrDevicesForgeNothing) {
  for (const char* bad : {"A.TXT\t5\t1995-08-24 09:30:10\nFORGED.TXT", "BELL\a.TXT", "sub\\NUL.TXT", "CON"}) {
    SCOPED_TRACE(bad);
    fs::remove_all(dir_.path() / "set");
    fs::remove_all(dir_.path() / "out");
    WriteSet({ImplodedMember("FIRST.TXT", BytesOf("first")), ImplodedMember(bad, BytesOf("bad"))},
             Volumes({"BAD.1"}));
    QuillRun list = Quill("list set/BAD.1", dir_.path());
    EXPECT_EQ(list.status, 2);
    EXPECT_EQ(list.output.find("FORGED"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("Invalid compressed file"), std::string::npos) << list.output;
    QuillRun run = Quill("extract -d out set/BAD.1", dir_.path());
    EXPECT_EQ(run.status, 2) << run.output;
    std::vector<std::string> written;
    for (const auto& entry : fs::recursive_directory_iterator(dir_.path() / "out")) {
      written.push_back(entry.path().lexically_relative(dir_.path() / "out").string());
    }
    EXPECT_EQ(written, std::vector<std::string>{"FIRST.TXT"});
  }
}

TEST_F(QuillVolumeTest, DamagedSetsExitWithTwoAndNameTheVolumeOrMember) {
  VolumeSetOptions options;
  options.volume_names = {"PART.1", "PART.2"};
  options.budgets = {3000};
  WriteSet({ImplodedMember("DATA.BIN", Pattern(20000))}, options);
  fs::remove(dir_.path() / "set" / "PART.2");
  QuillRun missing = Quill("extract -d out set/PART.1", dir_.path());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.output.find("next volume not found: " + (dir_.path() / "set" / "PART.2").string()),
            std::string::npos)
      << missing.output;
  EXPECT_EQ(Text("out/DATA.BIN"), "<none>");  // nothing half-written

  // Damaged compressed data: the dictionary byte of the stream is wrong.
  auto member = ImplodedMember("BROKEN.BIN", Pattern(5000));
  member.compressed[1] = 9;
  WriteSet({member}, Volumes({"BROKEN.1"}));
  QuillRun broken = Quill("extract -d out set/BROKEN.1", dir_.path());
  EXPECT_EQ(broken.status, 2);
  EXPECT_NE(broken.output.find("member BROKEN.BIN: damaged compressed data"), std::string::npos) << broken.output;

  dir_.Write("set/PLAIN.TXT", std::string("just text, not a set"));
  QuillRun plain = Quill("list set/PLAIN.TXT", dir_.path());
  EXPECT_EQ(plain.status, 2);
  EXPECT_NE(plain.output.find("not the first volume of a compressed volume set"), std::string::npos);
  QuillRun absent = Quill("extract set/NOWHERE.1", dir_.path());
  EXPECT_EQ(absent.status, 2);
  EXPECT_NE(absent.output.find("NOWHERE.1: cannot open the volume"), std::string::npos);
}

}  // namespace
