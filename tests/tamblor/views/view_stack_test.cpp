#include "tamblor/views/view_stack.h"

#include <gtest/gtest.h>

#include <functional>

#include "tamblor/views/file_view.h"
#include "tamblor/views/index_view.h"
#include "tamblor/text/generated_index.h"
#include "tamblor/views/select.h"
#include "tests/tamblor/views/views_fixture.h"

namespace tamblor::testing {
namespace {

using views::FileKind;
using views::kMessageCommand;
using views::kMessageInitMenuPopup;

class ViewStackTest : public ViewsFixture {
 protected:
  void SetUp() override {
    ViewsFixture::SetUp();
    Write("cdrom.cfg", "DISC_TITLE \"Test\"\r\n");
    Write("00_index.txt",
          "==== Test disc ====\r\n"
          "README.TXT  About this disc\r\n"
          "            (read me first)\r\n"
          "UTILS       Utility programs\r\n"
          "\\DOCS\\A.TXT  From the root\r\n");
    Write("README.TXT", "Read me.\r\n");
    Write("UTILS/00_index.txt", "TOOL.EXE   A tool\r\nSUB        More\r\n");
    Write("UTILS/TOOL.EXE", std::string(600, 'x'));
    Write("DOCS/A.TXT", "a\r\n");
  }
};

TEST_F(ViewStackTest, PushLendsTheDocumentAndPopGivesItBackWithItsPlace) {
  Start();
  views::View* root = PushRoot();
  EXPECT_EQ(host_.attached, &root->document());
  EXPECT_EQ(root->document().path, "E:\\00_index.txt");
  EXPECT_EQ(root->document().mode, views::DisplayMode::IndexEntries);
  EXPECT_EQ(host_.title, "Test CDROM Root Directory");
  EXPECT_EQ(host_.menu, languages_->Menu("VIEWINDEXMENU"));
  EXPECT_NE(host_.menu, 0u);

  SelectLine("UTILS");
  int64_t utils = root->document().selection_start;
  host_.pane_top = 12;  // the user scrolled before opening the entry
  ASSERT_TRUE(Command(lang::kCmdSelect));
  ASSERT_EQ(stack_->Count(), 2u);
  views::View* sub = stack_->Top();
  EXPECT_EQ(host_.attached, &sub->document());
  EXPECT_EQ(sub->document().path, "E:\\UTILS\\00_index.txt");
  EXPECT_EQ(host_.title, "Directory: E:\\UTILS");
  EXPECT_EQ(root->document().top, 12) << "detaching stored the pane's top";

  // Escape (command 6) pops back to the root with its selection.
  host_.pane_top = 0;
  EXPECT_TRUE(Command(lang::kCmdBack));
  EXPECT_EQ(stack_->Top(), root);
  EXPECT_EQ(host_.attached, &root->document());
  EXPECT_EQ(root->document().selection_start, utils);
  EXPECT_EQ(root->document().top, 12);
  EXPECT_EQ(host_.title, "Test CDROM Root Directory");
  EXPECT_EQ(host_.closes, 0);

  // At the root Escape is not handled and nothing happens.
  EXPECT_FALSE(Command(lang::kCmdBack));
  EXPECT_EQ(stack_->Count(), 1u);
}

TEST_F(ViewStackTest, ParentDirIsGrayedOnlyAtADriveRoot) {
  Start();
  PushRoot();
  uintptr_t popup = 77;
  EXPECT_TRUE(stack_->Top()->HandleMessage(0, kMessageInitMenuPopup, popup, 1));
  SelectLine("UTILS");
  Command(lang::kCmdSelect);
  EXPECT_TRUE(stack_->Top()->HandleMessage(0, kMessageInitMenuPopup, popup, 1));
  EXPECT_EQ(host_.log.size() >= 2 ? std::vector<std::string>(host_.log.end() - 4, host_.log.end())
                                  : std::vector<std::string>{},
            (std::vector<std::string>{"enable 6 off", "detach", "attach E:\\UTILS\\00_index.txt", "enable 6 on"}));
  // The system menu is not ours.
  EXPECT_FALSE(stack_->Top()->HandleMessage(0, kMessageInitMenuPopup, popup, 1 | (1 << 16)));
}

TEST_F(ViewStackTest, BaseCommandsExitAboutAndUnknown) {
  Start();
  PushRoot();
  EXPECT_TRUE(Command(lang::kCmdExit));
  EXPECT_EQ(host_.closes, 1);
  EXPECT_TRUE(Command(lang::kCmdAbout));
  EXPECT_EQ(host_.abouts, 1);
  EXPECT_FALSE(Command(33));
  EXPECT_FALSE(Command(lang::kCmdFirstLanguage)) << "the current language";
  EXPECT_EQ(host_.menu, languages_->Menu("VIEWINDEXMENU")) << "the menu stays when nothing switched";
  // A notification code other than 0 is no command.
  EXPECT_FALSE(stack_->Top()->HandleMessage(0, kMessageCommand, lang::kCmdExit | (1u << 16), 0));
  EXPECT_EQ(host_.closes, 1);
  Command(lang::kCmdCopyFile);
  EXPECT_EQ(actions_.calls, (std::vector<std::string>{"copy E:\\00_index.txt"}));
}

TEST_F(ViewStackTest, SelectOnEachKind) {
  Write("cdrom.cfg", "DISC_TITLE \"Test\"\r\nUNCOMPRESS \".zip\" \"\\BIN\\UNZIP\"\r\nWIN_EXT \".wri\" \"write\"\r\n");
  Write("00_index.txt",
        "GONE.TXT   not on the disc\r\n"
        "README.TXT text\r\n"
        "DATA.BIN   other\r\n"
        "RUN.BAT    program\r\n"
        "SETUP.EXE  self-extractor\r\n"
        "GAME.ZIP   archive\r\n"
        "NOTE.WRI   document\r\n"
        "C:\\TEMP\\X.TXT  elsewhere\r\n"
        "\r\n"
        "| a rule\r\n");
  Write("DATA.BIN", "x");
  Write("RUN.BAT", "x");
  std::string setup(100, 'x');
  setup.replace(50, 6, "PKWARE");
  Write("SETUP.EXE", setup);
  Write("GAME.ZIP", "x");
  Write("NOTE.WRI", "x");
  std::filesystem::create_directories(root_ / "c" / "TEMP");
  std::ofstream(root_ / "c" / "TEMP" / "X.TXT") << "x";
  machine_.MapDrive('C', (root_ / "c").string());
  Start();
  PushRoot();

  auto resolve = [&](const std::string& line) {
    SelectLine(line);
    return views::ResolveSelection(*stack_->Top());
  };
  EXPECT_EQ(resolve("GONE.TXT").kind, FileKind::Missing);
  EXPECT_EQ(resolve("README.TXT").kind, FileKind::TextFile);
  EXPECT_EQ(resolve("DATA.BIN").kind, FileKind::OtherFile);
  EXPECT_EQ(resolve("RUN.BAT").full_path, "E:\\RUN.BAT");
  EXPECT_EQ(resolve("C:\\TEMP").full_path, "C:\\TEMP\\X.TXT") << "a full path is used as is";
  EXPECT_EQ(resolve("|").kind, FileKind::Missing);
  EXPECT_TRUE(resolve("|").full_path.empty()) << "a rule names nothing, not the directory";

  for (const char* line : {"GONE.TXT", "RUN.BAT", "SETUP.EXE", "GAME.ZIP", "NOTE.WRI", "| a rule"}) {
    SelectLine(line);
    views::Select(*stack_->Top(), 0);
  }
  EXPECT_EQ(stack_->Count(), 1u) << "programs and archives go to the actions";
  EXPECT_EQ(actions_.calls,
            (std::vector<std::string>{"launch E:\\RUN.BAT E:\\RUN.BAT 3", "install E:\\SETUP.EXE E:\\SETUP.EXE 4",
                                      "install E:\\GAME.ZIP E:\\GAME.ZIP 5", "launch E:\\NOTE.WRI E:\\NOTE.WRI 6"}));

  for (const char* line : {"README.TXT", "DATA.BIN"}) {
    SelectLine(line);
    ASSERT_TRUE(Command(lang::kCmdSelect));
    ASSERT_EQ(stack_->Count(), 2u);
    views::View* file = stack_->Top();
    EXPECT_EQ(file->MenuName(), "VIEWFILEMENU");
    EXPECT_EQ(file->document().mode, views::DisplayMode::PlainText);
    EXPECT_EQ(host_.title, "ViewFile: " + file->document().path);
    EXPECT_EQ(host_.attached, &file->document());
    EXPECT_TRUE(Command(lang::kCmdBack));
  }
  EXPECT_EQ(stack_->Count(), 1u);
}

TEST_F(ViewStackTest, FileViewTogglesTheWrapSettingForTheNextFileView) {
  Start();
  PushRoot();
  SelectLine("README.TXT");
  Command(lang::kCmdSelect);
  EXPECT_FALSE(stack_->Top()->document().wrap);
  EXPECT_TRUE(Command(lang::kCmdLineWrap));
  EXPECT_TRUE(stack_->Top()->document().wrap);
  EXPECT_EQ(host_.log.back(), "wrap on");
  EXPECT_EQ(host_.log[host_.log.size() - 2], "check 20 on");
  Command(lang::kCmdBack);
  Command(lang::kCmdSelect);
  EXPECT_TRUE(stack_->Top()->document().wrap) << "the next file view takes the setting";
  EXPECT_FALSE(stack_->Top()->HandleMessage(0, kMessageCommand, lang::kCmdSelect, 0));
}

TEST_F(ViewStackTest, EntryNamesFromTheRootAndRelativeOnes) {
  Start();
  PushRoot();
  SelectLine("\\DOCS");
  views::ResolvedEntry entry = views::ResolveSelection(*stack_->Top());
  EXPECT_EQ(entry.full_path, "E:\\DOCS\\A.TXT");
  EXPECT_EQ(entry.kind, FileKind::TextFile);
  SelectLine("UTILS");
  Command(lang::kCmdSelect);
  SelectLine("TOOL.EXE");
  entry = views::ResolveSelection(*stack_->Top());
  EXPECT_EQ(entry.full_path, "E:\\UTILS\\TOOL.EXE");
  EXPECT_EQ(entry.kind, FileKind::Program);
}

TEST_F(ViewStackTest, AMissingIndexIsFatalWithTheFileNamed) {
  Start();
  PushRoot();
  SelectLine("UTILS");
  Command(lang::kCmdSelect);
  MakeDirectory("UTILS/SUB");  // no index inside
  SelectLine("SUB");
  EXPECT_THROW(Command(lang::kCmdSelect), FatalExit);
  EXPECT_EQ(host_.fatal, "Can't Load Index File:\nE:\\UTILS\\SUB\\00_index.txt\nExiting Program");
}

TEST_F(ViewStackTest, OverlongEntryPathsAreNotOpened) {
  std::string name(255, 'N');
  Write("00_index.txt", "DIR\r\n");
  Write("DIR/00_index.txt", name + "\r\n");
  Start();
  PushRoot();
  SelectLine("DIR");
  Command(lang::kCmdSelect);
  SelectLine("NNN");
  views::ResolvedEntry entry = views::ResolveSelection(*stack_->Top());
  EXPECT_EQ(entry.kind, FileKind::Missing);
  EXPECT_TRUE(entry.full_path.empty());
  EXPECT_TRUE(Command(lang::kCmdSelect));
  EXPECT_EQ(stack_->Count(), 2u);
}

TEST_F(ViewStackTest, GlobalIndexResolvesBelowItsPathLineAndIgnoresEscape) {
  Write("00global.txt",
        "Global index\r\n"
        "path: \\games  (games)\r\n"
        "TETRIS.ZIP   blocks\r\n"
        "             falling\r\n"
        "path: /docs/\r\n"
        "A.TXT        a text\r\n");
  Write("GAMES/TETRIS.ZIP", "x");
  Start();
  PushRoot();
  ASSERT_TRUE(Command(lang::kCmdGlobalIndex));
  views::View* global = stack_->Top();
  EXPECT_EQ(global->document().path, "E:\\00global.txt");
  EXPECT_EQ(host_.title, "Test: Global CDROM Index");
  EXPECT_EQ(host_.menu, languages_->Menu("VIEWGLOBALINDEXMENU"));
  SelectLine("TETRIS.ZIP");
  EXPECT_EQ(global->EntryDirectory(), "E:\\games");
  EXPECT_EQ(views::ResolveSelection(*global).full_path, "E:\\games\\TETRIS.ZIP");
  SelectLine("A.TXT");
  EXPECT_EQ(global->EntryDirectory(), "E:\\docs");
  EXPECT_EQ(views::ResolveSelection(*global).kind, FileKind::TextFile);
  SelectLine("Global");
  EXPECT_EQ(global->EntryDirectory(), "");

  EXPECT_TRUE(Command(lang::kCmdBack));
  EXPECT_EQ(stack_->Top(), global) << "Escape does not leave the global index";
  EXPECT_TRUE(Command(lang::kCmdHierarchicalIndex));
  EXPECT_EQ(stack_->Count(), 1u);
}

TEST_F(ViewStackTest, GeneratedIndexAtADriveRootStaysAndClosingHandsOver) {
  MakeDirectory("INST/SUB");
  Write("INST/00_index._wc", "SUB   Directory\r\n");
  Write("INST/SUB/00_index._wc", "X.TXT\r\n");
  Write("INST/SUB/00_index.txt", "wrong\r\n");
  Start();
  PushRoot();
  stack_->Push(new views::GeneratedIndexView(*context_, "E:\\GAME.ZIP", "E:\\INST", text::kGeneratedIndexName, true));
  EXPECT_EQ(host_.title, "Archive: E:\\GAME.ZIP");
  EXPECT_EQ(host_.menu, languages_->Menu("VIEWAUTOGENINDEXMENU"));
  SelectLine("SUB");
  ASSERT_TRUE(Command(lang::kCmdSelect));
  auto* child = dynamic_cast<views::GeneratedIndexView*>(stack_->Top());
  ASSERT_NE(child, nullptr) << "a subdirectory of a generated index is one too";
  EXPECT_EQ(child->document().path, "E:\\INST\\SUB\\00_index._wc");
  EXPECT_TRUE(child->delete_on_close());
  EXPECT_TRUE(Command(lang::kCmdBack));
  EXPECT_EQ(actions_.calls, (std::vector<std::string>{"close-generated E:\\INST\\SUB"}));
  EXPECT_TRUE(Command(lang::kCmdBack));
  EXPECT_EQ(stack_->Count(), 1u);

  // A generated index in a drive root cannot be left.
  Write("00_index._wc", "X\r\n");
  stack_->Push(new views::GeneratedIndexView(*context_, "E:\\GAME.ZIP", "E:\\", nullptr, false));
  EXPECT_FALSE(Command(lang::kCmdBack));
  EXPECT_EQ(stack_->Count(), 2u);
  // Clearing destroys every view.
  stack_->Clear();
  EXPECT_TRUE(stack_->IsEmpty());
  EXPECT_EQ(host_.attached, nullptr);
}

TEST_F(ViewStackTest, PoppingTheLastViewClosesTheWindow) {
  Start();
  stack_->Push(new views::FileView(*context_, "E:\\README.TXT"));
  EXPECT_TRUE(Command(lang::kCmdBack));
  EXPECT_TRUE(stack_->IsEmpty());
  EXPECT_EQ(host_.closes, 1);
}

TEST_F(ViewStackTest, LanguageSwitchReopensTheIndexAndKeepsTheEntry) {
  Write("00_index.ger",
        "==== Testdisc ====\r\n"
        "UTILS       Hilfsprogramme\r\n"
        "README.TXT  Ueber diese Disc\r\n");
  Write("LANG/GER32.DLL", "MZ");
  resources_.AddLibrary("E:\\LANG\\GER32.DLL", LanguageModule("&Deutsch", "German", "00_index.ger"));
  Write("cdrom.cfg", "DISC_TITLE \"Test\"\r\nTRANS_DIR \"\\LANG\"\r\n");
  Start({"GER32.DLL"});
  views::View* root = PushRoot();
  SelectLine("UTILS");
  host_.pane_top = 0;
  EXPECT_TRUE(Command(lang::kCmdFirstLanguage + 1));
  EXPECT_EQ(root->document().path, "E:\\00_index.ger");
  EXPECT_EQ(root->document().selection_start, 20) << "the UTILS line of the German index";
  EXPECT_EQ(host_.attached, &root->document());
  EXPECT_EQ(host_.menu, languages_->Menu("VIEWINDEXMENU"));

  // A directory without the German index keeps the file it shows.
  Command(lang::kCmdFirstLanguage);
  EXPECT_EQ(root->document().path, "E:\\00_index.txt");
  SelectLine("UTILS");
  Command(lang::kCmdSelect);
  Command(lang::kCmdFirstLanguage + 1);
  EXPECT_EQ(stack_->Top()->document().path, "E:\\UTILS\\00_index.txt");
  EXPECT_EQ(host_.title, "Directory: E:\\UTILS");
  // Back at the root the German index is shown again.
  Command(lang::kCmdBack);
  EXPECT_EQ(root->document().path, "E:\\00_index.ger");
}

TEST_F(ViewStackTest, TheLineWrapMarkFollowsALanguageSwitchOverAFileView) {
  Write("LANG/GER32.DLL", "MZ");
  resources_.AddLibrary("E:\\LANG\\GER32.DLL", LanguageModule("&Deutsch", "German", "00_index.txt"));
  Write("cdrom.cfg", "DISC_TITLE \"Test\"\r\nTRANS_DIR \"\\LANG\"\r\n");
  Start({"GER32.DLL"});
  auto Marked = [this](os::MenuHandle menu) { return host_.marks[std::make_pair(menu, int{lang::kCmdLineWrap})]; };
  PushRoot();
  SelectLine("README.TXT");
  Command(lang::kCmdSelect);
  ASSERT_EQ(stack_->Top()->MenuName(), "VIEWFILEMENU");
  Command(lang::kCmdLineWrap);
  os::MenuHandle english = languages_->Menu("VIEWFILEMENU");
  EXPECT_TRUE(Marked(english));

  Command(lang::kCmdFirstLanguage + 1);
  os::MenuHandle german = languages_->Menu("VIEWFILEMENU");
  ASSERT_NE(german, english);
  EXPECT_EQ(host_.menu, german);
  EXPECT_TRUE(Marked(german)) << "the new language's menu carries the mark";
  Command(lang::kCmdLineWrap);
  EXPECT_FALSE(Marked(german));
  Command(lang::kCmdFirstLanguage);
  EXPECT_FALSE(Marked(languages_->Menu("VIEWFILEMENU")));
}

TEST_F(ViewStackTest, AnEntryNameWithAWildcardIsNoFile) {
  Write("00_index.txt", "READ*.TXT   no such file\r\nREADME.T?T  nor this\r\nUTIL?       nor a directory\r\n");
  Start();
  PushRoot();
  for (const char* line : {"READ*.TXT", "README.T?T", "UTIL?"}) {
    SelectLine(line);
    EXPECT_EQ(views::ResolveSelection(*stack_->Top()).kind, FileKind::Missing) << line;
    EXPECT_NO_THROW(Command(lang::kCmdSelect)) << line;
    EXPECT_EQ(stack_->Count(), 1u) << line << ": nothing opens, the program goes on";
  }
}

TEST_F(ViewStackTest, AnEntryNamingADeviceOpensNothing) {
  Write("00_index.txt", "CON         the console\r\nDOCS\\AUX.TXT  a device below a directory\r\n"
                        "README.TXT  a file\r\n");
  Write("00global.txt", "Global index\r\npath: \\LPT1\r\nTETRIS.ZIP   below a device\r\n");
  Write("README.TXT", "x\r\n");
  Start();
  PushRoot();
  for (const std::string line : {"CON", "DOCS\\AUX.TXT"}) {
    SelectLine(line);
    EXPECT_TRUE(views::ResolveSelection(*stack_->Top()).full_path.empty()) << line;
    EXPECT_NO_THROW(Command(lang::kCmdSelect)) << line;
    EXPECT_EQ(stack_->Count(), 1u) << line << ": nothing opens, the program goes on";
  }
  SelectLine("README.TXT");
  EXPECT_EQ(views::ResolveSelection(*stack_->Top()).full_path, "E:\\README.TXT");
  ASSERT_TRUE(Command(lang::kCmdGlobalIndex));
  SelectLine("TETRIS.ZIP");
  EXPECT_EQ(stack_->Top()->EntryDirectory(), "E:\\LPT1");
  EXPECT_TRUE(views::ResolveSelection(*stack_->Top()).full_path.empty());
}

TEST_F(ViewStackTest, AFileThatCannotBeOpenedIsReportedAndTheBrowserGoesOn) {
  // A directory named like a text file is classified TextFile (the extension
  // decides first); opening it as a file fails like a file gone since Select.
  Write("00_index.txt", "NOTES.TXT   a directory\r\nREADME.TXT  a file\r\n");
  Write("README.TXT", "x\r\n");
  MakeDirectory("NOTES.TXT");
  Start();
  PushRoot();
  SelectLine("NOTES.TXT");
  ASSERT_EQ(views::ResolveSelection(*stack_->Top()).kind, FileKind::TextFile);
  EXPECT_NO_THROW(Command(lang::kCmdSelect)) << "no fatal end";
  EXPECT_EQ(stack_->Count(), 1u);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].rfind("Tamblor: Cannot open file 'E:\\NOTES.TXT': ", 0), 0u) << host_.messages[0];
  SelectLine("README.TXT");
  Command(lang::kCmdSelect);
  EXPECT_EQ(stack_->Count(), 2u) << "the browser goes on";
}

class InsertingPrompt : public config::DiscPrompt {
 public:
  void BeginWait() override {}
  void EndWait() override {}
  bool AskForDisc(const std::string& path, const std::string&, int disc) override {
    asked.push_back(path + " #" + std::to_string(disc));
    if (insert) insert();
    return answer;
  }
  std::function<void()> insert;
  bool answer = true;
  std::vector<std::string> asked;
};

TEST_F(ViewStackTest, AMultiDiscSetAsksForTheDiscOfAMissingEntry) {
  Write("cdrom.cfg", "DISC_TITLE \"Set\"\r\nMULTIDISCS\r\nDISC # 1\r\n");
  Write("00_index.txt", "\\DISC2\\B.TXT  on the second disc\r\n");
  Start();
  InsertingPrompt prompt;
  context_->disc_prompt = &prompt;
  PushRoot();
  SelectLine("\\DISC2");
  prompt.answer = false;
  EXPECT_TRUE(Command(lang::kCmdSelect));
  EXPECT_EQ(stack_->Count(), 1u) << "Cancel abandons";
  prompt.answer = true;
  prompt.insert = [this] { Write("DISC2/B.TXT", "b\r\n"); };
  EXPECT_TRUE(Command(lang::kCmdSelect));
  EXPECT_EQ(prompt.asked, (std::vector<std::string>{"E:\\DISC2\\B.TXT #2", "E:\\DISC2\\B.TXT #2"}));
  ASSERT_EQ(stack_->Count(), 2u);
  EXPECT_EQ(stack_->Top()->document().path, "E:\\DISC2\\B.TXT");
}

}  // namespace
}  // namespace tamblor::testing
