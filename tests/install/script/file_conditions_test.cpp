#include "install/script/file_conditions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/os/host/host_machine.h"
#include "tests/support/fixture_builder.h"

namespace install::script {
namespace {

// Drives: A: floppy (the source), C: and D: fixed, E: network, F: CD-ROM.
class FileConditionsTest : public ::testing::Test {
 protected:
  FileConditionsTest() {
    for (const char* folder : {"a", "c", "d", "e", "f"}) std::filesystem::create_directories(dir_.path() / folder);
    machine_.MapDrive('A', dir_.path() / "a", os::DriveType::Removable);
    machine_.MapDrive('C', dir_.path() / "c", os::DriveType::Fixed);
    machine_.MapDrive('D', dir_.path() / "d", os::DriveType::Fixed);
    machine_.MapDrive('E', dir_.path() / "e", os::DriveType::Remote);
    machine_.MapDrive('F', dir_.path() / "f", os::DriveType::CdRom);
    machine_.SetCurrentDirectory("C:\\");
  }
  void Put(const std::string& relative, const std::string& text = "x") { dir_.Write(relative, text); }
  std::vector<std::string> Lines(const std::string& content) {
    Put("c/T.TXT", content);
    TextFileLines reader(machine_.Open("C:\\T.TXT", os::OpenMode::Read));
    std::vector<std::string> lines;
    for (std::string line; reader.Next(line);) lines.push_back(line);
    return lines;
  }
  std::optional<std::string> Locate(const std::string& pattern, const std::string& spec, char source = 'A') {
    std::optional<DriveSpec> drives = ParseDriveSpec(spec);
    EXPECT_TRUE(drives) << spec;
    return LocateFile(machine_, pattern, drives.value_or(DriveSpec{}), source);
  }

  test_support::TempDir dir_;
  os::HostMachine machine_;
};

TEST_F(FileConditionsTest, FilesDirectoriesAndWildcards) {
  Put("c/APP/README.TXT");
  Put("c/APP/DATA/x.dat");
  EXPECT_TRUE(FileExists(machine_, "C:\\APP\\README.TXT"));
  EXPECT_TRUE(FileExists(machine_, "c:\\app\\readme.txt"));
  EXPECT_FALSE(FileExists(machine_, "C:\\APP\\MISSING.TXT"));
  EXPECT_TRUE(FileExists(machine_, "C:\\APP\\*.TXT"));
  EXPECT_FALSE(FileExists(machine_, "C:\\APP\\*.DOC"));
  // A directory is not a file, not even through a wildcard...
  EXPECT_FALSE(FileExists(machine_, "C:\\APP\\DATA"));
  EXPECT_FALSE(FileExists(machine_, "C:\\APP\\DA*"));
  // ...but a trailing backslash asks for a directory.
  EXPECT_TRUE(FileExists(machine_, "C:\\APP\\DATA\\"));
  EXPECT_FALSE(FileExists(machine_, "C:\\APP\\README.TXT\\"));
  EXPECT_FALSE(FileExists(machine_, "C:\\NOPE\\"));
  EXPECT_TRUE(FileExists(machine_, "C:\\"));
  EXPECT_FALSE(FileExists(machine_, "Q:\\"));
  // Relative to the current directory.
  EXPECT_TRUE(FileExists(machine_, "APP\\README.TXT"));
  EXPECT_FALSE(FileExists(machine_, ""));
}

TEST_F(FileConditionsTest, TextLinesAreReadAsInTextMode) {
  EXPECT_EQ(Lines("one\r\ntwo\nthree"), (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(Lines("a\rb\r\n\r\n"), (std::vector<std::string>{"a\rb", ""}));
  EXPECT_TRUE(Lines("").empty());
  // Ctrl-Z ends the text.
  EXPECT_EQ(Lines("kept\r\nalso\x1A" "dropped\r\n"), (std::vector<std::string>{"kept", "also"}));
  // 998 characters at most: the rest is the next line, and a line feed right
  // after a full line makes an empty one.
  const std::string full(998, 'x');
  EXPECT_EQ(Lines(full + "yz\n"), (std::vector<std::string>{full, "yz"}));
  EXPECT_EQ(Lines(full + "\r\nnext\n"), (std::vector<std::string>{full, "", "next"}));
  // A carriage return and line feed split by the read buffer still read as one line end.
  const std::string long_line(4095, 'q');
  EXPECT_EQ(Lines(long_line + "\r\nend"),
            (std::vector<std::string>{long_line.substr(0, 998), long_line.substr(998, 998),
                                      long_line.substr(1996, 998), long_line.substr(2994, 998),
                                      long_line.substr(3992), "end"}));
}

TEST_F(FileConditionsTest, SearchFindsTheFirstLineHoldingTheText) {
  Put("c/CONFIG.SYS", "REM device=old.sys\r\nFILES=30\r\nDEVICE=C:\\DOS\\HIMEM.SYS /v\r\ndevice=x\r\n");
  std::optional<TextHit> hit = SearchTextFile(machine_, "C:\\CONFIG.SYS", "device=", "");
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->line_number, 1);
  EXPECT_EQ(hit->left, "REM ");
  EXPECT_EQ(hit->right, "old.sys");
  // Lines beginning with the prefix are passed over (letter case ignored).
  hit = SearchTextFile(machine_, "C:\\CONFIG.SYS", "himem", "rem");
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->line_number, 3);
  EXPECT_EQ(hit->left, "DEVICE=C:\\DOS\\");
  EXPECT_EQ(hit->right, ".SYS /v");
  // A text found only on a skipped line is not found.
  EXPECT_FALSE(SearchTextFile(machine_, "C:\\CONFIG.SYS", "old.sys", "REM"));
  EXPECT_FALSE(SearchTextFile(machine_, "C:\\CONFIG.SYS", "EMM386", ""));
  EXPECT_FALSE(SearchTextFile(machine_, "C:\\MISSING.SYS", "x", ""));
}

TEST_F(FileConditionsTest, DriveSpecs) {
  struct Case {
    const char* word;
    bool valid;
    DriveChoice choice;
    char letter;
  };
  for (const Case& c : std::vector<Case>{{"", true, DriveChoice::FixedAndNetwork, 0},
                                         {"LOCAL", true, DriveChoice::Fixed, 0},
                                         {"Network", true, DriveChoice::Network, 0},
                                         {"d", true, DriveChoice::OneLetter, 'D'},
                                         {"Z", true, DriveChoice::OneLetter, 'Z'},
                                         {"D:", false, {}, 0},
                                         {"1", false, {}, 0},
                                         {"fixed", false, {}, 0}}) {
    std::optional<DriveSpec> spec = ParseDriveSpec(c.word);
    ASSERT_EQ(spec.has_value(), c.valid) << c.word;
    if (!spec) continue;
    EXPECT_EQ(spec->choice, c.choice) << c.word;
    EXPECT_EQ(spec->letter, c.letter) << c.word;
  }
}

TEST_F(FileConditionsTest, LocateSearchesDrivesInOrderAndEachTreeDepthFirst) {
  Put("d/B/DEEP/TOOL.EXE");
  Put("d/A/X/TOOL.EXE");
  Put("d/A/TOOL.EXE");
  Put("e/TOOL.EXE");
  Put("f/TOOL.EXE");
  Put("a/TOOL.EXE");
  // C: has none; on D: directory A comes before B, and A itself before A\X.
  EXPECT_EQ(Locate("TOOL.EXE", ""), "D:\\A");
  EXPECT_EQ(Locate("tool.exe", "local"), "D:\\A");
  EXPECT_EQ(Locate("TOOL.EXE", "network"), "E:\\");
  EXPECT_EQ(Locate("TOOL.EXE", "F"), "F:\\");  // one letter: whatever its type
  // The source drive is never searched, even when asked for.
  EXPECT_EQ(Locate("TOOL.EXE", "a"), std::nullopt);
  EXPECT_EQ(Locate("TOOL.EXE", "a", 'C'), "A:\\");
  EXPECT_EQ(Locate("TOOL.EXE", "", 'D'), "E:\\");
  EXPECT_EQ(Locate("TOOL.EXE", "", 'd'), "E:\\");
  EXPECT_EQ(Locate("T??L.*", "D"), "D:\\A");
  EXPECT_EQ(Locate("NONE.EXE", ""), std::nullopt);
  EXPECT_EQ(Locate("", ""), std::nullopt);
  // A directory of that name is not a match.
  Put("c/TOOL.EXE/inside.txt");
  EXPECT_EQ(Locate("TOOL.EXE", "C"), std::nullopt);
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\");
}

TEST_F(FileConditionsTest, LocateDoesNotEnterPathsTooLongForWindows) {
  std::string deep = "d";
  for (int i = 0; i < 30; ++i) deep += "/DIRECTORY" + std::to_string(i);  // about 340 characters
  Put(deep + "/FAR.TXT");
  Put("d/DIRECTORY0/NEAR.TXT");
  EXPECT_EQ(Locate("FAR.TXT", "D"), std::nullopt);
  EXPECT_EQ(Locate("NEAR.TXT", "D"), "D:\\DIRECTORY0");
}

}  // namespace
}  // namespace install::script
