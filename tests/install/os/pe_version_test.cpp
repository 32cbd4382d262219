#include "install/os/pe_version.h"

#include <gtest/gtest.h>

#include "install/os/host/host_machine.h"
#include "tests/support/fixture_builder.h"
#include "tests/support/pe_builder.h"

namespace install::os {
namespace {

using test_support::Bytes;
using test_support::BuildPeWithVersion;
using test_support::PeLayout;
using test_support::PeVersionOptions;
using test_support::PutLe16;
using test_support::PutLe32;

bool VersionOf(const Bytes& file, std::string* text) {
  return ReadPeVersionText(file.data(), file.size(), text);
}

TEST(PeVersionTest, ReadsFileVersionOfBothTablesAndBothHeaderKinds) {
  struct Case {
    std::string table;
    bool pe32_plus;
  } cases[] = {{"040904E4", false}, {"040904b0", false}, {"040904E4", true}, {"040904B0", true}};
  for (const Case& c : cases) {
    PeVersionOptions options;
    options.file_version = u"4.00.950";
    options.table = c.table;
    options.pe32_plus = c.pe32_plus;
    std::string text;
    ASSERT_TRUE(VersionOf(BuildPeWithVersion(options), &text)) << c.table << " " << c.pe32_plus;
    EXPECT_EQ(text, "4.00.950");
  }
}

TEST(PeVersionTest, TheUsEnglishResourceWinsOverAnEarlierLanguageThenNeutralThenTheFirst) {
  PeVersionOptions options;
  options.file_version = u"english";
  options.earlier_language_version = u"german";
  std::string text;
  ASSERT_TRUE(VersionOf(BuildPeWithVersion(options), &text));
  EXPECT_EQ(text, "english");
  options.language = 0;  // neutral
  ASSERT_TRUE(VersionOf(BuildPeWithVersion(options), &text));
  EXPECT_EQ(text, "english");
  options.language = 0x40C;  // neither: the first one
  ASSERT_TRUE(VersionOf(BuildPeWithVersion(options), &text));
  EXPECT_EQ(text, "german");
}

TEST(PeVersionTest, OtherTablesMissingValuesAndNoResourceGiveNoText) {
  std::string text = "unchanged";
  PeVersionOptions german;
  german.table = "040704E4";
  EXPECT_FALSE(VersionOf(BuildPeWithVersion(german), &text));
  PeVersionOptions no_value;
  no_value.file_version.reset();
  EXPECT_FALSE(VersionOf(BuildPeWithVersion(no_value), &text));
  PeVersionOptions no_resource;
  no_resource.with_version_resource = false;
  EXPECT_FALSE(VersionOf(BuildPeWithVersion(no_resource), &text));
  EXPECT_FALSE(VersionOf(test_support::BytesOf("MZ not a program"), &text));
  EXPECT_FALSE(VersionOf(Bytes{}, &text));
  EXPECT_EQ(text, "unchanged");
}

TEST(PeVersionTest, TextIsCutTo99CharactersAndWideCharactersBecomeQuestionMarks) {
  PeVersionOptions options;
  options.file_version = std::u16string(150, u'7');
  std::string text;
  ASSERT_TRUE(VersionOf(BuildPeWithVersion(options), &text));
  EXPECT_EQ(text, std::string(99, '7'));
  options.file_version = u"1.0 \u00e9\u4e2d";
  ASSERT_TRUE(VersionOf(BuildPeWithVersion(options), &text));
  EXPECT_EQ(text, std::string("1.0 \xe9?"));
}

TEST(PeVersionTest, LyingSizesAndOffsetsAreRefused) {
  PeLayout layout;
  const Bytes good = BuildPeWithVersion({}, &layout);
  auto refused = [](Bytes file) {
    std::string text;
    return !ReadPeVersionText(file.data(), file.size(), &text);
  };
  Bytes bad = good;
  PutLe32(bad, 0x3C, 0xFFFFFFF0u);  // PE header far beyond the end
  EXPECT_TRUE(refused(bad));
  bad = good;
  PutLe16(bad, layout.pe_header + 20, 0xFFFF);  // optional header runs past the file
  EXPECT_TRUE(refused(bad));
  bad = good;
  PutLe32(bad, layout.resource_data_entry + 4, 0x7FFFFFFF);  // resource size
  EXPECT_TRUE(refused(bad));
  bad = good;
  PutLe32(bad, layout.resource_data_entry, 0x00F00000);  // resource RVA in no section
  EXPECT_TRUE(refused(bad));
  bad = good;
  PutLe32(bad, layout.section_header + 20, 0xFFFFFF00u);  // section's raw data past the end
  EXPECT_TRUE(refused(bad));
  bad = good;
  PutLe16(bad, layout.version_block, 0xFFFF);  // root block longer than the resource
  EXPECT_TRUE(refused(bad));

  // A FileVersion block whose text has no NUL within the block stops at the
  // block's end rather than reading on.
  bad = good;
  ASSERT_NE(layout.file_version_block, 0u);
  std::string text;
  PutLe16(bad, layout.file_version_block + 2, 0x7FFF);  // claimed value length
  ASSERT_TRUE(ReadPeVersionText(bad.data(), bad.size(), &text));
  EXPECT_EQ(text, "1.0");
}

TEST(PeVersionTest, EveryTruncationAndSingleByteDamageIsSafe) {
  // Under the sanitizers: no read outside the buffer whatever the bytes say.
  PeLayout layout;
  const Bytes good = BuildPeWithVersion({}, &layout);
  const size_t version_end = layout.version_block + (good[layout.version_block] | good[layout.version_block + 1] << 8);
  std::string text;
  for (size_t n = 0; n < version_end; n += 3) {
    Bytes cut(good.begin(), good.begin() + n);
    EXPECT_FALSE(ReadPeVersionText(cut.data(), cut.size(), &text)) << "cut at " << n;
  }
  int readable = 0;
  for (size_t at = 0; at < good.size(); ++at) {
    for (uint8_t value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x80)}) {
      Bytes damaged = good;
      damaged[at] = value;
      text.clear();
      if (ReadPeVersionText(damaged.data(), damaged.size(), &text)) {
        ++readable;
        EXPECT_LE(text.size(), kVersionTextCapacity);
      }
    }
  }
  EXPECT_GT(readable, 0);  // damage outside the walked parts leaves the text readable
}

TEST(PeVersionTest, HostMachineReadsTheVersionOfAFileOnADrive) {
  test_support::TempDir dir;
  dir.Write("SYSTEM/CTL3D.DLL", test_support::PeWithVersion("2.31.000"));
  dir.Write("SYSTEM/PLAIN.DLL", std::string("no resource here"));
  HostMachine machine;
  machine.MapDrive('C', dir.path(), DriveType::Fixed);
  std::string text;
  ASSERT_TRUE(machine.GetFileVersionText("c:\\system\\ctl3d.dll", &text));
  EXPECT_EQ(text, "2.31.000");
  EXPECT_FALSE(machine.GetFileVersionText("C:\\SYSTEM\\PLAIN.DLL", &text));
  EXPECT_FALSE(machine.GetFileVersionText("C:\\SYSTEM\\MISSING.DLL", &text));
  EXPECT_FALSE(machine.GetFileVersionText("C:\\SYSTEM", &text));
}

}  // namespace
}  // namespace install::os
