#include "install/engine/disk_prompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/install/engine/run_services_fixture.h"

namespace install::engine {
namespace {

using script::FileEntry;
using script::FileEntryKind;

FileEntry File(const std::string& name) {
  FileEntry entry;
  entry.name = name;
  return entry;
}
FileEntry Disk(const std::string& name) {
  FileEntry entry;
  entry.kind = FileEntryKind::DiskChange;
  entry.name = name;
  return entry;
}
FileEntry CheckedDisk(const std::string& name, const std::string& check) {
  FileEntry entry = Disk(name);
  entry.kind = FileEntryKind::DiskChangeCheck;
  entry.disk_check = check;
  return entry;
}

constexpr unsigned kPromptStyle = ui::kMbOkCancel | ui::kMbIconInformation;

class DiskPromptTest : public testing::RunServicesFixture {
 protected:
  DiskPromptTest() {
    plan_->file_list = {Disk("Disk 1"), File("A.TXT"), CheckedDisk("Disk 2", "DISK2"), File("B.TXT"),
                        File("C.TXT"), Disk("Disk 3"), File("D.TXT")};
    sources_.SetInstallArchive("C:\\INSTALL.EXE");
  }
  // The texts of the message boxes shown so far.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const auto& m : desktop_.Messages()) texts.push_back(m.text);
    return texts;
  }

  archive::SourceReader sources_{machine_};
  DiskPrompter prompter_{*plan_, state_, machine_, desktop_, sources_};
};

TEST_F(DiskPromptTest, PromptBeepsShowsTheDiskAndSwitchesTheArchiveOff) {
  state_.current_disk_index = 0;
  EXPECT_FALSE(sources_.archive_disabled());
  EXPECT_EQ(prompter_.DiskPrompt(nullptr), kDiskPromptInPlace);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text, "Please insert Disk 1");
  EXPECT_EQ(desktop_.Messages()[0].caption, " ");
  EXPECT_EQ(desktop_.Messages()[0].style, kPromptStyle);
  EXPECT_EQ(machine_.Beeps(), std::vector<uint32_t>{0x40});
  EXPECT_TRUE(sources_.archive_disabled());
  EXPECT_TRUE(sources_.archive_path().empty());  // closed and forgotten
}

TEST_F(DiskPromptTest, MissingFileIsNamedForADiskKnownByNameOnly) {
  const std::string missing = "A:\\SETUP\\A.TXT";
  state_.current_disk_index = 0;
  EXPECT_EQ(prompter_.DiskPrompt(&missing), kDiskPromptInPlace);
  state_.current_disk_index = 2;
  machine_.SetDriveLabel('A', "DISK2");
  EXPECT_EQ(prompter_.DiskPrompt(&missing), kDiskPromptInPlace);
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         "File not found on the installation disk: A:\\SETUP\\A.TXT. Please insert Disk 1",
                         "Please insert Disk 2"}));
}

TEST_F(DiskPromptTest, ScriptTextsReplaceTheBuiltInOnes) {
  plan_->prompts.insert_disk = "Bitte einlegen: ";
  plan_->prompts.file_not_found = "Fehlt: ";
  const std::string missing = "X.DLL";
  state_.current_disk_index = 0;
  prompter_.DiskPrompt(&missing);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Fehlt: X.DLL. Bitte einlegen: Disk 1"});
}

TEST_F(DiskPromptTest, WithoutADiskChangeEntryAsksForTheNextDisk) {
  for (int index : {-1, 1, 7, 100}) {
    SCOPED_TRACE(index);
    state_.current_disk_index = index;
    EXPECT_EQ(prompter_.DiskPrompt(nullptr), kDiskPromptScratch);
    EXPECT_EQ(desktop_.Messages().back().text, "Please insert the next disk");
  }
  const std::string missing = "B.TXT";
  state_.current_disk_index = -1;
  EXPECT_EQ(prompter_.DiskPrompt(&missing), kDiskPromptScratch);
  EXPECT_EQ(desktop_.Messages().back().text,
            "File not found on the installation disk: B.TXT. Please insert the next disk");
}

TEST_F(DiskPromptTest, LabelMatchingIgnoresLetterCase) {
  machine_.SetDriveLabel('A', "disk2");
  state_.current_disk_index = 2;
  // Should the label be refused, the second showing quits instead of looping.
  for (int answer : {ui::kIdOk, ui::kIdCancel, ui::kIdYes}) desktop_.QueueAnswer(answer);
  EXPECT_EQ(prompter_.DiskPrompt(nullptr), kDiskPromptInPlace);
  EXPECT_EQ(desktop_.Messages().size(), 1u);
}

TEST_F(DiskPromptTest, WrongOrMissingLabelShowsThePromptAgainUntilTheDiskIsRight) {
  machine_.SetDriveLabel('A', "DISK1");
  int prompts = 0;
  desktop_.before_box = [&](const std::string& text) {
    if (text != "Please insert Disk 2") return;
    ++prompts;
    if (prompts == 2) machine_.SetDriveLabel('A', std::nullopt);  // no disk: label query fails
    if (prompts == 3) machine_.SetDriveLabel('A', "Disk2");
    if (prompts == 4) {  // still refused: quit rather than loop
      desktop_.QueueAnswer(ui::kIdCancel);
      desktop_.QueueAnswer(ui::kIdYes);
    }
  };
  state_.current_disk_index = 2;
  EXPECT_EQ(prompter_.DiskPrompt(nullptr), kDiskPromptInPlace);
  EXPECT_EQ(prompts, 3);
  EXPECT_EQ(machine_.Beeps().size(), 1u);  // one beep per prompt, not per showing
}

TEST_F(DiskPromptTest, LabelIsReadFromTheSourceDirectorysDrive) {
  machine_.SetDriveLabel('A', "DISK1");
  machine_.MapDrive('E', Local("D"), os::DriveType::CdRom, "DISK2");
  state_.source_dir = "E:\\SETUP";
  state_.current_disk_index = 2;
  for (int answer : {ui::kIdOk, ui::kIdCancel, ui::kIdYes}) desktop_.QueueAnswer(answer);
  EXPECT_EQ(prompter_.DiskPrompt(nullptr), kDiskPromptInPlace);
  EXPECT_EQ(desktop_.Messages().size(), 1u);
}

TEST_F(DiskPromptTest, CancelAsksToQuit) {
  state_.current_disk_index = 0;
  desktop_.QueueAnswer(ui::kIdCancel);
  desktop_.QueueAnswer(ui::kIdNo);  // do not quit: the prompt comes back
  desktop_.QueueAnswer(ui::kIdOk);
  EXPECT_EQ(prompter_.DiskPrompt(nullptr), kDiskPromptInPlace);
  ASSERT_EQ(desktop_.Messages().size(), 3u);
  EXPECT_EQ(desktop_.Messages()[1].text, "Do you wish to quit?");
  EXPECT_EQ(desktop_.Messages()[1].caption, "");
  EXPECT_EQ(desktop_.Messages()[1].style, ui::kMbYesNo | ui::kMbIconWarning);
  EXPECT_EQ(desktop_.Messages()[2].text, "Please insert Disk 1");

  desktop_.QueueAnswer(ui::kIdCancel);
  desktop_.QueueAnswer(ui::kIdYes);
  EXPECT_EQ(prompter_.DiskPrompt(nullptr), kDiskPromptQuit);
  // A scratch prompt quits the same way.
  state_.current_disk_index = -1;
  desktop_.QueueAnswer(ui::kIdCancel);
  desktop_.QueueAnswer(ui::kIdYes);
  EXPECT_EQ(prompter_.DiskPrompt(nullptr), kDiskPromptQuit);
}

TEST_F(DiskPromptTest, NextDiskAdvancesOverFileEntriesToTheNextDiskChange) {
  // The executor is at C.TXT (index 4) whose volume set goes on on the next disk.
  state_.position = 4;
  state_.current_disk_index = 2;
  EXPECT_EQ(prompter_.NextDiskPrompt(true), kDiskPromptInPlace);
  EXPECT_EQ(state_.position, 5);
  EXPECT_EQ(state_.current_disk_index, 5);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Please insert Disk 3"});

  // From a FILE entry the walk goes on to the disk change after it.
  state_.position = 2;
  machine_.SetDriveLabel('A', "DISK2");
  desktop_.QueueAnswer(ui::kIdOk);
  EXPECT_EQ(prompter_.NextDiskPrompt(true), kDiskPromptInPlace);
  EXPECT_EQ(state_.position, 5);
  EXPECT_EQ(state_.current_disk_index, 5);
}

TEST_F(DiskPromptTest, NextDiskWithoutAdvanceAsksForTheCurrentDiskAgain) {
  machine_.SetDriveLabel('A', "DISK2");
  state_.position = 3;
  state_.current_disk_index = 2;
  EXPECT_EQ(prompter_.NextDiskPrompt(false), kDiskPromptInPlace);
  EXPECT_EQ(state_.position, 2);
  EXPECT_EQ(state_.current_disk_index, 2);
  // No file-not-found text in the next-disk prompt.
  EXPECT_EQ(Shown(), std::vector<std::string>{"Please insert Disk 2"});
  EXPECT_TRUE(sources_.archive_disabled());
}

TEST_F(DiskPromptTest, NoFurtherDiskChangeEndsTheRequestWithoutAPrompt) {
  state_.position = 6;
  state_.current_disk_index = 5;
  EXPECT_EQ(prompter_.NextDiskPrompt(true), kDiskPromptQuit);
  EXPECT_EQ(prompter_.RequestNextDisk(true), kDiskPromptQuit);
  EXPECT_TRUE(desktop_.Messages().empty());
  EXPECT_TRUE(machine_.Beeps().empty());

  // Before any disk change the walk starts at the first entry.
  state_.position = 0;
  state_.current_disk_index = -1;
  EXPECT_EQ(prompter_.RequestNextDisk(false), archive::kDiskInPlace);
  EXPECT_EQ(state_.current_disk_index, 0);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Please insert Disk 1"});

  desktop_.QueueAnswer(ui::kIdCancel);
  desktop_.QueueAnswer(ui::kIdYes);
  EXPECT_EQ(prompter_.RequestNextDisk(false), 1);
}

TEST_F(DiskPromptTest, AfterThePromptSourcesAreOnlyLookedUpOnTheDisk) {
  // An install archive holding "install.pif", and a different one on the disk.
  test_support::ArchiveMember member;
  member.name = "install.pif";
  member.data = test_support::BytesOf("from the archive");
  const test_support::Bytes program = test_support::BuildProgramWithArchive(test_support::BytesOf("MZ"), {member});
  test_support::WriteLocalFile(Local("C/INSTALL.EXE"), program);
  WriteLocal("A/SETUP/INSTALL.PIF", "from the disk");

  auto read_all = [&](const std::string& path) {
    auto stream = sources_.OpenSource(path);
    if (!stream) return std::string("<none>");
    std::string text(stream->size, '\0');
    sources_.ReadSource(*stream, text.data(), stream->size);
    return text;
  };
  EXPECT_EQ(read_all("A:\\SETUP\\install.pif"), "from the archive");
  state_.current_disk_index = 0;
  ASSERT_EQ(prompter_.DiskPrompt(nullptr), kDiskPromptInPlace);
  EXPECT_EQ(read_all("A:\\SETUP\\install.pif"), "from the disk");
  EXPECT_EQ(read_all("A:\\SETUP\\NOTHERE.PIF"), "<none>");
}

}  // namespace
}  // namespace install::engine
