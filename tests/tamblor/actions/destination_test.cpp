#include "tamblor/actions/destination.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tamblor/os/host/host_machine.h"
#include "tests/tamblor/text/text_fixture.h"

namespace tamblor::actions {
namespace {

using Texts = std::vector<std::string>;

TEST(DestinationTest, FreeSpaceInGroupsOfThreeDigits) {
  struct {
    int64_t bytes;
    const char* text;
  } cases[] = {{0, "0"},           {5, "5"},           {999, "999"},           {1000, "1,000"},
               {1001, "1,001"},    {999999, "999,999"}, {1000000, "1,000,000"}, {1234567, "1,234,567"},
               {5000000000LL, "5,000,000,000"}, {-1, ""}};
  for (const auto& c : cases) EXPECT_EQ(FreeSpaceText(c.bytes), c.text) << c.bytes;
}

class DestinationMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_ / "c");
    std::filesystem::create_directories(dir_ / "e");
    machine_.MapDrive('C', dir_ / "c", os::DriveType::Fixed);
    machine_.MapDrive('E', dir_ / "e", os::DriveType::CdRom);
    machine_.MapDrive('R', dir_ / "c", os::DriveType::Removable);
  }
  std::filesystem::path Local(const std::string& drive) const { return std::filesystem::path(dir_.path()) / drive; }

  text::testing::TempDir dir_;
  os::host::HostMachine machine_;
};

TEST_F(DestinationMachineTest, AValidDestinationIsAFullPathWithoutBlanksOffTheCdRom) {
  EXPECT_TRUE(ValidDestination(machine_, "C:\\TEMP"));
  EXPECT_TRUE(ValidDestination(machine_, "C:\\")) << "three characters are enough";
  EXPECT_TRUE(ValidDestination(machine_, "r:\\GAMES")) << "a removable drive, any letter case";
  EXPECT_FALSE(ValidDestination(machine_, "C:"));
  EXPECT_FALSE(ValidDestination(machine_, ""));
  EXPECT_FALSE(ValidDestination(machine_, "C:\\MY DIR")) << "a blank";
  EXPECT_FALSE(ValidDestination(machine_, "C:\\MY\tDIR")) << "a tab";
  EXPECT_FALSE(ValidDestination(machine_, "E:\\GAMES")) << "the CD-ROM";
  EXPECT_FALSE(ValidDestination(machine_, "F:\\GAMES")) << "no such drive";
  EXPECT_FALSE(ValidDestination(machine_, "1:\\GAMES"));
  EXPECT_FALSE(ValidDestination(machine_, "C:GAMES"));
  EXPECT_FALSE(ValidDestination(machine_, "\\GAMES"));
  const std::string longest = "C:\\" + std::string(257, 'a');
  EXPECT_TRUE(ValidDestination(machine_, longest)) << "260 characters";
  EXPECT_FALSE(ValidDestination(machine_, longest + "a")) << "261 characters";
}

TEST_F(DestinationMachineTest, MakeDirectoriesCreatesEveryMissingLevel) {
  std::filesystem::create_directories(Local("c") / "UNZIPPED");
  EXPECT_TRUE(MakeDirectories(machine_, "C:\\UNZIPPED\\WIN95\\UTIL"));
  EXPECT_TRUE(std::filesystem::is_directory(Local("c") / "UNZIPPED" / "WIN95" / "UTIL"));
  EXPECT_EQ(machine_.CurrentDirectory(), "C:\\UNZIPPED") << "it enters what exists and makes what does not";
  EXPECT_TRUE(MakeDirectories(machine_, "C:\\UNZIPPED\\WIN95\\UTIL")) << "everything there already";
  EXPECT_EQ(machine_.CurrentDirectory(), "C:\\UNZIPPED\\WIN95\\UTIL") << "entered level by level";
  std::ofstream(Local("c") / "FILE") << "x";
  EXPECT_FALSE(MakeDirectories(machine_, "C:\\FILE\\SUB")) << "a file where a directory should be";
  EXPECT_FALSE(std::filesystem::exists(Local("c") / "FILE" / "SUB"));
}

TEST(DestinationTest, ProposalsFollowTheSourcesPlaceOnTheDisc) {
  DestinationProposals p = ProposeDestinations("UNZIPPED", "E:\\win95\\util\\foo.zip", "");
  EXPECT_EQ(p.choices, (Texts{"C:\\UNZIPPED\\foo", "C:\\UNZIPPED\\win95\\foo", "C:\\UNZIPPED\\util\\foo",
                              "C:\\UNZIPPED\\win95\\util\\foo"}));
  EXPECT_EQ(p.edit_text, "C:\\UNZIPPED\\win95\\util\\foo");

  p = ProposeDestinations("UNZIPPED", "E:\\util\\foo.zip", "D:\\LAST");
  EXPECT_EQ(p.choices, (Texts{"C:\\UNZIPPED\\foo", "C:\\UNZIPPED\\util\\foo", "D:\\LAST"}))
      << "two separators: the short form and the whole base, then the last destination";
  p = ProposeDestinations("UNZIPPED", "E:\\foo.zip", "");
  EXPECT_EQ(p.choices, (Texts{"C:\\UNZIPPED\\foo"})) << "one separator: the base only";

  p = ProposeDestinations("VERYLONGROOT", "E:\\a\\b.zip", "");
  EXPECT_EQ(p.edit_text, "C:\\VERYLONG\\a\\b") << "only 8 characters of UNZIP_ROOT count";
  p = ProposeDestinations("UNZIPPED", "E:\\v1.2\\tool.zip", "");
  EXPECT_EQ(p.edit_text, "C:\\UNZIPPED\\v1") << "the base ends at its first dot";
  p = ProposeDestinations("", "E:\\util\\foo.zip", "");
  EXPECT_EQ(p.choices, (Texts{"C:\\foo", "C:\\util\\foo"})) << "no root: no empty components";
}

TEST(DestinationTest, BrowsingDrivesAndDirectories) {
  EXPECT_EQ(BrowsePattern("C:\\"), "C:\\*.*");
  EXPECT_EQ(BrowsePattern("C:\\TEMP"), "C:\\TEMP\\*.*");
  EXPECT_EQ(BrowseTo("C:\\TEMP", "[..]"), "C:\\");
  EXPECT_EQ(BrowseTo("C:\\A\\B", "[..]"), "C:\\A");
  EXPECT_EQ(BrowseTo("C:\\", "[..]"), "C:\\");
  EXPECT_EQ(BrowseTo("C:\\TEMP", "[-d-]"), "D:\\");
  EXPECT_EQ(BrowseTo("C:\\", "[DOS]"), "C:\\DOS");
  EXPECT_EQ(BrowseTo("C:\\A", "[DOS]"), "C:\\A\\DOS");
  EXPECT_EQ(BrowseTo("C:\\A", "DOS"), "C:\\A") << "not a list item";
  EXPECT_EQ(BrowseTo("C:\\A", "[]"), "C:\\A");
}

TEST(DestinationTest, TheFieldsTextBecomesADestination) {
  EXPECT_EQ(DestinationFromField("C:/TEMP/"), "C:\\TEMP");
  EXPECT_EQ(DestinationFromField("C:\\"), "C:\\");
  EXPECT_EQ(DestinationFromField("C:\\" + std::string(300, 'x')).size(), kDestinationCapacity);
  EXPECT_EQ(QuotedForCommand("C:\\A&B"), "\"C:\\A&B\"");
}

}  // namespace
}  // namespace tamblor::actions
