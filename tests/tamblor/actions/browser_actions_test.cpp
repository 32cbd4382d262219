#include "tamblor/actions/browser_actions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tamblor/os/directory.h"
#include "tamblor/text/generated_index.h"
#include "tamblor/views/index_view.h"
#include "tests/tamblor/actions/actions_fixture.h"

namespace tamblor::testing {
namespace {

// --- Copy File -------------------------------------------------------------------

TEST_F(BrowserActionsTest, CopyFileAsksForADestinationAndCopiesThroughTheInterpreter) {
  SelectLine("README.TXT");
  machine_.SetCommandRunner([this](const std::string& command) { return StandInCopy(machine_, command); });
  ui_.answers = {"C:\\MY DIR", "C:/DOCS/COPIES/"};
  EXPECT_TRUE(Command(lang::kCmdCopyFile));
  ASSERT_EQ(ui_.requests.size(), 1u);
  EXPECT_EQ(ui_.requests[0].caption, "Copy File: Destination Query");
  EXPECT_EQ(ui_.requests[0].source, "E:\\README.TXT");
  EXPECT_EQ(ui_.requests[0].proposals.edit_text, "C:\\UNZIPPED\\README");
  EXPECT_EQ(ui_.messages, (Texts{"Tamblor: Copy File: Destination directory is invalid."})) << "the blank";
  EXPECT_EQ(machine_.commands(), (Texts{"copy \"E:\\README.TXT\" \"C:\\DOCS\\COPIES\\~tbcopy.tmp\""}));
  EXPECT_EQ(ReadFile(OnC("DOCS/COPIES/README.TXT")), "Read me.\r\n") << "the copy takes the source's name";
  EXPECT_FALSE(fs::exists(OnC("DOCS/COPIES/~tbcopy.tmp")));
  EXPECT_TRUE(fs::is_directory(OnC("DOCS/COPIES"))) << "the destination's directories are made";
  EXPECT_EQ(browser_actions_->last_destination(), "C:\\DOCS\\COPIES");
  EXPECT_EQ(ui_.waits, 0);

  // The next dialog offers the last destination again, last.
  ui_.answers = {kCancel};
  Command(lang::kCmdCopyFile);
  ASSERT_EQ(ui_.requests.size(), 2u);
  EXPECT_EQ(ui_.requests[1].proposals.choices.back(), "C:\\DOCS\\COPIES");
  EXPECT_EQ(machine_.commands().size(), 1u) << "Cancel copies nothing";
}

TEST_F(BrowserActionsTest, CopyFileRefusesTheCdRomAndReportsAFailedCopy) {
  SelectLine("README.TXT");
  machine_.SetCommandResult(1);
  ui_.answers = {"E:\\BACK", "C:\\OUT"};
  Command(lang::kCmdCopyFile);
  EXPECT_EQ(ui_.messages, (Texts{"Tamblor: Copy File: Destination directory is invalid.",
                                 "Tamblor: Copy File: Could not copy E:\\README.TXT to C:\\OUT."}));
  EXPECT_EQ(machine_.commands().size(), 1u);
}

TEST_F(BrowserActionsTest, CopyFileNeverOverwritesAReadOnlyFileOrAFileUnderItsWorkingName) {
  SelectLine("README.TXT");
  machine_.SetCommandRunner([this](const std::string& command) { return StandInCopy(machine_, command); });
  fs::create_directories(OnC("RO"));
  std::ofstream(OnC("RO/README.TXT")) << "kept";
  fs::permissions(OnC("RO/README.TXT"), fs::perms::owner_write, fs::perm_options::remove);
  fs::create_directories(OnC("BUSY"));
  std::ofstream(OnC("BUSY/~tbcopy.tmp")) << "someone else's";
  ui_.answers = {"C:\\RO"};
  Command(lang::kCmdCopyFile);
  ui_.answers = {"C:\\BUSY"};
  Command(lang::kCmdCopyFile);
  EXPECT_EQ(ui_.messages, (Texts{"Tamblor: Copy File: Could not copy E:\\README.TXT to C:\\RO.",
                                 "Tamblor: Copy File: Could not copy E:\\README.TXT to C:\\BUSY."}));
  EXPECT_TRUE(machine_.commands().empty()) << "nothing was copied over either";
  EXPECT_EQ(ReadFile(OnC("RO/README.TXT")), "kept");
  EXPECT_EQ(ReadFile(OnC("BUSY/~tbcopy.tmp")), "someone else's");
  EXPECT_FALSE(fs::exists(OnC("BUSY/README.TXT")));

  // A source whose size the copy does not reach is reported and leaves nothing.
  machine_.SetCommandRunner([this](const std::string& command) {
    StandInCopy(machine_, command);
    fs::resize_file(OnC("OUT/~tbcopy.tmp"), 3);  // cut short, yet the interpreter answers 0
    return 0;
  });
  ui_.messages.clear();
  ui_.answers = {"C:\\OUT"};
  Command(lang::kCmdCopyFile);
  EXPECT_EQ(ui_.messages, (Texts{"Tamblor: Copy File: Could not copy E:\\README.TXT to C:\\OUT."}));
  EXPECT_TRUE(fs::is_empty(OnC("OUT")));
}

TEST_F(BrowserActionsTest, CopyFileLeavesDirectoriesAndMissingEntriesAlone) {
  for (const char* line : {"UTILS", "GONE.TXT"}) {
    SelectLine(line);
    Command(lang::kCmdCopyFile);
  }
  EXPECT_TRUE(ui_.requests.empty());
}

// --- Programs ---------------------------------------------------------------------

TEST_F(BrowserActionsTest, ProgramsStartInTheirDirectoryWithoutWaiting) {
  machine_.ChangeDirectory("C:\\");
  SelectLine("UTILS");
  Command(lang::kCmdSelect);
  SelectLine("TOOL.EXE");
  Command(lang::kCmdSelect);
  ASSERT_EQ(machine_.started().size(), 1u);
  EXPECT_EQ(machine_.started()[0], (Texts{"E:\\UTILS\\TOOL.EXE", "E:\\UTILS\\TOOL.EXE"}))
      << "the path as program and as its only argument";
  EXPECT_EQ(machine_.CurrentDirectory(), "C:\\") << "back where it was";

  Command(lang::kCmdBack);
  SelectLine("NOTE.WRI");
  Command(lang::kCmdSelect);
  ASSERT_EQ(machine_.started().size(), 2u);
  EXPECT_EQ(machine_.started()[1], (Texts{"E:\\BIN\\WRITE.EXE", "E:\\BIN\\WRITE.EXE", "E:\\NOTE.WRI"}))
      << "a document starts with its handler";
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(BrowserActionsTest, AProgramThatCannotStartIsReported) {
  browser_actions_->LaunchProgram("E:\\NONE.EXE", "E:\\NONE.EXE", views::FileKind::Program);
  EXPECT_EQ(ui_.messages, (Texts{"Tamblor: Cannot start E:\\NONE.EXE."}));
}

// --- Program install ----------------------------------------------------------------

TEST_F(BrowserActionsTest, AnArchiveIsUnpackedIndexedShownAndDeletedOnClose) {
  UnpackOnCommand();
  SelectLine("GAME.ZIP");
  ui_.answers = {"C:\\UNZIPPED\\GAME"};
  Command(lang::kCmdSelect);
  ASSERT_EQ(ui_.requests.size(), 1u);
  EXPECT_EQ(ui_.requests[0].caption, "Program Install: Destination Query");
  EXPECT_EQ(machine_.commands(), (Texts{"E:\\BIN\\UNZIP -d \"E:\\GAME.ZIP\""}));
  EXPECT_EQ(ran_in, (Texts{"C:\\UNZIPPED\\GAME"})) << "the unpacker runs in the destination";
  EXPECT_TRUE(fs::exists(OnC("UNZIPPED/GAME/00_index._wc")));
  EXPECT_TRUE(fs::exists(OnC("UNZIPPED/GAME/DOCS/00_index._wc"))) << "one in every directory";

  ASSERT_EQ(stack_->Count(), 2u);
  views::View* generated = stack_->Top();
  EXPECT_EQ(generated->MenuName(), "VIEWAUTOGENINDEXMENU");
  EXPECT_EQ(host_.title, "Archive: E:\\GAME.ZIP");
  EXPECT_EQ(generated->document().path, "C:\\UNZIPPED\\GAME\\00_index._wc");
  EXPECT_EQ(machine_.CurrentDirectory(), "C:\\UNZIPPED\\GAME") << "the current directory stays there";

  EXPECT_TRUE(Command(lang::kCmdBack));
  EXPECT_EQ(ui_.questions, (Texts{"Tamblor: Would you like to delete the directory:\n\"C:\\UNZIPPED\\GAME\"?\n "}));
  EXPECT_FALSE(fs::exists(OnC("UNZIPPED/GAME"))) << "the installed tree is gone, also though it was current";
  EXPECT_TRUE(fs::is_directory(OnC("UNZIPPED"))) << "nothing above it";
  EXPECT_EQ(machine_.CurrentDirectory(), "C:\\UNZIPPED");
  EXPECT_EQ(ui_.waits, 0);
}

TEST_F(BrowserActionsTest, AnsweringNoKeepsTheInstalledFiles) {
  UnpackOnCommand();
  SelectLine("GAME.ZIP");
  ui_.answers = {"C:\\KEEP"};
  Command(lang::kCmdSelect);
  ui_.yes = false;
  Command(lang::kCmdBack);
  EXPECT_EQ(ui_.questions.size(), 1u);
  EXPECT_TRUE(fs::exists(OnC("KEEP/README.TXT")));
}

TEST_F(BrowserActionsTest, ASelfExtractorRunsByItselfInTheDestination) {
  UnpackOnCommand();
  SelectLine("SETUP.EXE");
  ui_.answers = {"C:\\SETUP"};
  Command(lang::kCmdSelect);
  EXPECT_EQ(machine_.commands(), (Texts{"\"E:\\SETUP.EXE\""}));
  EXPECT_EQ(ran_in, (Texts{"C:\\SETUP"}));
  EXPECT_EQ(stack_->Count(), 2u);
}

TEST_F(BrowserActionsTest, AnUnusableDestinationKeepsTheDialogOpen) {
  UnpackOnCommand();
  std::ofstream(OnC("FILE")) << "a file, not a directory";
  SelectLine("GAME.ZIP");
  ui_.answers = {"C:\\FILE\\GAME", "E:\\GAME", kCancel};
  Command(lang::kCmdSelect);
  EXPECT_EQ(ui_.messages, (Texts{"Tamblor: Program Install: Destination directory is invalid.",
                                 "Tamblor: Program Install: Destination directory is invalid."}));
  EXPECT_TRUE(machine_.commands().empty()) << "no unpacker where no directory could be made";
  EXPECT_EQ(stack_->Count(), 1u) << "Cancel installs nothing";
}

TEST_F(BrowserActionsTest, AFailingUnpackerIsReportedAndWhatItLeftIsShown) {
  UnpackOnCommand(2);
  SelectLine("GAME.ZIP");
  ui_.answers = {"C:\\PART"};
  Command(lang::kCmdSelect);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].find("ended with code 2"), std::string::npos) << ui_.messages[0];
  EXPECT_EQ(stack_->Count(), 2u);
}

// --- Deleting an installed tree -----------------------------------------------------

TEST_F(BrowserActionsTest, DeleteTreeStaysInsideItsDirectory) {
  fs::create_directories(OnC("T/SUB"));
  std::ofstream(OnC("T/SUB/A.TXT")) << "a";
  fs::create_directories(OnC("OUTSIDE"));
  std::ofstream(OnC("OUTSIDE/KEEP.TXT")) << "keep";
  fs::create_directory_symlink(OnC("OUTSIDE"), OnC("T/LINK"));
  EXPECT_TRUE(browser_actions_->DeleteTree("C:\\T"));
  EXPECT_FALSE(fs::exists(OnC("T")));
  EXPECT_TRUE(fs::exists(OnC("OUTSIDE/KEEP.TXT"))) << "a link is removed, not followed";

  fs::create_directories(OnC("U"));
  for (const char* refused : {"C:\\", "C:", "C:\\U\\..", "C:\\.\\U", "U", "\\U", "C:\\U\\\\X"}) {
    EXPECT_FALSE(browser_actions_->DeleteTree(refused)) << refused;
  }
  EXPECT_TRUE(fs::exists(OnC("U")));
  EXPECT_TRUE(fs::exists(OnC("OUTSIDE")));
}

TEST_F(BrowserActionsTest, AGeneratedIndexAtADriveRootIsNeverDeleted) {
  UnpackOnCommand();
  Write("00_index.txt", "GAME.ZIP    A game\r\n");
  text::GeneratedIndexTexts texts{"Directory", "| header |\n", "d", "d", "t", "b", "p", " "};
  ASSERT_TRUE(text::WriteGeneratedIndex(machine_, *directories_, "C:\\", texts));
  auto* root_view = new views::GeneratedIndexView(*context_, "E:\\GAME.ZIP", "C:\\", text::kGeneratedIndexName, true);
  stack_->Push(root_view);
  views::DestroyView(stack_->Pop());
  EXPECT_EQ(ui_.questions.size(), 1u);
  EXPECT_TRUE(fs::exists(OnC("00_index._wc"))) << "a drive root stays";
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace tamblor::testing
