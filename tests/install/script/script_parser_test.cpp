#include "install/script/script_parser.h"

#include <gtest/gtest.h>

#include "tests/install/script/parser_fixture.h"

namespace install::script {
namespace {

using testing::ParserFixture;

// A realistic script touching every kind of keyword.
constexpr const char* kFullScript =
    "REM Quillmarsh sample installation\r\n"
    "TITLE \"Marsh Writer 2.0\" \"Times New Roman\" Bold italic 24\r\n"
    "TITLECOLOR (0,128,0)\r\n"
    "SCREENCOLOR Blue Black\r\n"
    "FONTNAME \"Arial\"\r\n"
    "SCREENGRAPHIC logo.bmp TopRight\r\n"
    "INTROSCREEN \"$WINDIR$\\intro.bmp\" 5\r\n"
    "SCREENFILLCHAR 176\r\n"
    "DEFAULTDIR \\MARSH NOASKDRIVE prompt=\"Where shall it go?\"\r\n"
    "DIR2 $WINDIR$\\MARSH NOASKDIR NOASKDRIVE\r\n"
    "DIR3 D:\r\n"
    "ASK1 \"Jane\" prompt=\"Your name?\"\r\n"
    "ASK3 \"\" prompt = \"Company\"\r\n"
    "MINCPUTYPE 80486\r\n"
    "MINDISKSPACE 1.5M\r\n"
    "MINDISKSPACE 200K 7\r\n"
    "PROGRESSBAR 2M\r\n"
    "OVERWRITEFILE new\r\n"
    "COMPRESSION LHA\r\n"
    "REBOOT window\r\n"
    "RUNATSTART \"$SOURCEDIR$\\pre.exe $DEFAULTDIR$\"\r\n"
    "RUNATEXIT \"notepad $DEFAULTDIR$\\readme.txt\"\r\n"
    "RUNATEXIT \"$DEFAULTDIR$\\marsh.exe /first\"\r\n"
    "SHOWREADME readme.txt\r\n"
    "UNINSTALL Yes\r\n"
    "UninstallTitlePrompt \"Remove Marsh\"\r\n"
    "UNINSTALLBEGINPROMPT \"Remove it?\"\r\n"
    "UNINSTALLENDPROMPT \"Gone.\"\r\n"
    "OKPROMPT \"Fine\"\r\n"
    "QUITPROMPT \"Really quit?\"\r\n"
    "BEGINGROUP\r\n"
    "Choose the parts:\r\n"
    "07 [X] Program files\r\n"
    "12 [ ] Samples\r\n"
    "ENDGROUP\r\n"
    "BEGINGROUP 7\r\n"
    "7 [ ] Spell checker\r\n"
    "ENDGROUP\r\n"
    "POPMESSAGE 3 \"Arial\" 0\r\n"
    "Copying the samples\r\n"
    "ENDPOP\r\n"
    "BEGINFIRSTSCREEN \"Courier New\" 12\r\n"
    "Welcome to Marsh Writer.\r\n"
    "\r\n"
    "  Press OK to go on.\r\n"
    "ENDFIRSTSCREEN\r\n"
    "BEGINLASTSCREEN\r\n"
    "Done.\r\n"
    "ENDLASTSCREEN\r\n"
    "FILE marsh.exe\r\n"
    "FILE: \"sample one.txt\" GROUP=12 OVERWRITE=yes POPID=3\r\n"
    "INSERTDISK \"Disk 2\" \"DISK2\"\r\n"
    "file spell.dll COMPRESSED GROUP=7\r\n"
    "DELETE \"$DEFAULTDIR$\\old.tmp\"\r\n"
    "RENAME old.ini new.ini\r\n"
    "REGSERVER \"$DEFAULTDIR$\\marsh.ocx\"\r\n"
    "WINITEM \"Marsh\" \"$DEFAULTDIR$\\marsh.exe\" \"Marsh Writer\"\r\n"
    "INIFILE \"Marsh\" \"Path\" \"$DEFAULTDIR$\" \"win.ini\"\r\n"
    "AUTOEXEC ADDPATH=\"$DEFAULTDIR$\"\r\n"
    "CONFIG FILEMIN=40 BUFFERMIN=20\r\n"
    "BEGINREGISTRY\r\n"
    "KEY NEW \"HKEY_LOCAL_MACHINE\\Software\\Marsh\"\r\n"
    "VALUE STRING NEW \"Path\" \"$DEFAULTDIR$\"\r\n"
    "ENDREGISTRY\r\n"
    "Unknown\r\n"
    "   \r\n"
    "COPYFILEPROMPT \"Copying: \"\r\n";

TEST_F(ParserFixture, FullScriptFillsThePlan) {
  ASSERT_EQ(Parse(kFullScript), 0) << SyntaxError();
  const InstallPlan& p = *plan_;
  EXPECT_TRUE(desktop_.Messages().empty());
  EXPECT_EQ(p.line_number, 67);

  EXPECT_EQ(p.title, "Marsh Writer 2.0");
  EXPECT_EQ(p.title_font.face, "Times New Roman");
  EXPECT_EQ(p.title_font.bold, 1);
  EXPECT_EQ(p.title_font.italic, 1);
  EXPECT_EQ(p.title_font.underline, 0);
  EXPECT_EQ(p.title_font.point_size, 24);
  EXPECT_EQ(p.title_color, (Rgb{0, 128, 0}));
  EXPECT_EQ(p.screen_color_from, (Rgb{0, 0, 255}));
  EXPECT_EQ(p.screen_color_to, (Rgb{0, 0, 0}));
  EXPECT_EQ(p.screen_font_face, "Arial");
  ASSERT_TRUE(p.screen_graphic);
  EXPECT_EQ(p.screen_graphic->path, "C:\\SETUP\\logo.bmp");
  EXPECT_EQ(p.screen_graphic->placement, 3);
  ASSERT_TRUE(p.intro_screen);
  EXPECT_EQ(p.intro_screen->path, "C:\\WINDOWS\\intro.bmp");
  EXPECT_EQ(p.intro_screen->seconds, 5);

  ASSERT_TRUE(p.destinations[0]);
  EXPECT_EQ(p.destinations[0]->path, "C:\\MARSH");
  EXPECT_EQ(p.destinations[0]->ask_mode, kAskDirectoryOnly);
  EXPECT_EQ(p.destinations[0]->has_own_prompt, 1);
  EXPECT_EQ(p.destinations[0]->prompt, "Where shall it go?");
  ASSERT_TRUE(p.destinations[1]);
  EXPECT_EQ(p.destinations[1]->path, "$WINDIR$\\MARSH");
  EXPECT_EQ(p.destinations[1]->ask_mode, kAskNothing);
  ASSERT_TRUE(p.destinations[2]);
  EXPECT_EQ(p.destinations[2]->path, "D:\\");
  EXPECT_EQ(p.destinations[2]->ask_mode, kAskDriveAndDirectory);
  EXPECT_EQ(p.macros.default_dir, "C:\\MARSH");
  EXPECT_EQ(p.macros.default_drive, "C");
  EXPECT_EQ(p.macros.dir2, "$WINDIR$\\MARSH");
  EXPECT_EQ(p.macros.dir3, "D:\\");
  ASSERT_TRUE(p.asks[0]);
  EXPECT_EQ(p.asks[0]->default_answer, "Jane");
  EXPECT_EQ(p.asks[0]->prompt, "Your name?");
  EXPECT_EQ(p.macros.answers[0], "Jane");
  ASSERT_TRUE(p.asks[2]);
  EXPECT_EQ(p.asks[2]->prompt, "Company");
  EXPECT_FALSE(p.asks[1]);

  EXPECT_EQ(p.min_cpu, 486);
  EXPECT_EQ(p.disk_space, 1500000);
  EXPECT_EQ(p.group_disk_space[7], 200000);
  EXPECT_EQ(p.progress_total, 2000000);
  EXPECT_EQ(p.default_overwrite, OverwriteMode::New);
  EXPECT_EQ(p.unpacker, kUnpackerLha);
  EXPECT_EQ(p.reboot_mode, kRebootWindows);
  EXPECT_EQ(p.run_at_start.command, "C:\\SETUP\\pre.exe C:\\MARSH");
  ASSERT_EQ(p.run_at_exit.size(), 2u);
  EXPECT_EQ(p.run_at_exit[0].command, "notepad $DEFAULTDIR$\\readme.txt");  // expanded at exit
  EXPECT_EQ(p.readme, "readme.txt");
  EXPECT_EQ(p.uninstall, 1);
  EXPECT_EQ(p.uninstall_title, "Remove Marsh");
  EXPECT_EQ(p.uninstall_begin, "Remove it?");
  EXPECT_EQ(p.uninstall_end, "Gone.");
  EXPECT_EQ(p.prompts.ok, "Fine");
  EXPECT_EQ(p.prompts.quit, "Really quit?");
  EXPECT_EQ(p.prompts.copy_file, "Copying: ");
  EXPECT_EQ(p.prompts.cancel, "Cancel");

  // Groups: the header registers 7 and 12, the page for group 7 one more item.
  ASSERT_TRUE(p.group_header);
  EXPECT_EQ(p.group_header->items_before, 0);
  EXPECT_EQ(p.group_header->exclusive, 0);
  EXPECT_EQ(p.group_item_count, 3);
  EXPECT_EQ(p.group_map.ItemOf(7), 2);  // re-registered by the page
  EXPECT_EQ(p.group_map.ItemOf(12), 1);
  EXPECT_EQ(p.group_preselected[0], 1);
  EXPECT_EQ(p.group_preselected[1], 0);
  ASSERT_EQ(p.group_pages.size(), 1u);
  EXPECT_EQ(p.group_pages[0].page_number, 7);
  EXPECT_EQ(p.group_pages[0].first_item, 2);
  EXPECT_EQ(p.group_pages[0].end_item, 3);
  EXPECT_EQ(p.group_pages[0].bit_mask, 4u);
  ASSERT_EQ(p.item_disk_space.size(), 3u);
  EXPECT_EQ(p.item_disk_space[0], 1);  // no number maps to item 0 any more
  EXPECT_EQ(p.item_disk_space[1], 1);
  EXPECT_EQ(p.item_disk_space[2], 200000);

  ASSERT_EQ(p.popups.size(), 1u);
  EXPECT_EQ(p.popups[0].number, 3);
  EXPECT_EQ(p.popups[0].face, "Arial");
  EXPECT_EQ(p.popups[0].size, 10);
  EXPECT_FALSE(p.popups[0].dialog.bytes.empty());
  EXPECT_TRUE(p.first_screen);
  EXPECT_TRUE(p.last_screen);
  EXPECT_FALSE(p.exit_message);
  EXPECT_TRUE(p.next_screen_face.empty());

  ASSERT_EQ(p.file_list.size(), 4u);
  EXPECT_EQ(p.file_count, 3);
  EXPECT_EQ(p.file_list[0].name, "marsh.exe");
  EXPECT_EQ(p.file_list[0].overwrite, OverwriteMode::New);
  EXPECT_EQ(p.file_list[1].name, "sample one.txt");
  EXPECT_EQ(p.file_list[1].overwrite, OverwriteMode::Yes);
  EXPECT_EQ(p.file_list[1].popup, 3);
  EXPECT_EQ(p.file_list[1].groups[0], 1);
  EXPECT_TRUE(p.file_list[2].IsDiskChange());
  EXPECT_EQ(p.file_list[2].name, "Disk 2");
  EXPECT_EQ(p.file_list[3].compression, Compression::Compressed);
  EXPECT_EQ(p.file_list[3].groups[0], 2);
  EXPECT_EQ(p.uses_external_unpacker, 1);
  ASSERT_EQ(p.deletions.size(), 1u);
  EXPECT_EQ(p.deletions[0].path, "$DEFAULTDIR$\\old.tmp");
  ASSERT_EQ(p.renames.size(), 1u);
  EXPECT_EQ(p.renames[0].new_path, "new.ini");
  ASSERT_EQ(p.reg_servers.size(), 1u);
  ASSERT_EQ(p.program_items.size(), 1u);
  EXPECT_EQ(p.program_items[0].title, "Marsh Writer");
  ASSERT_EQ(p.ini_edits.size(), 1u);
  EXPECT_EQ(p.ini_edits[0].file, "win.ini");
  EXPECT_EQ(p.autoexec_edits.path_entries.size(), 1u);
  EXPECT_EQ(p.config_edits.files_min, 40);
  EXPECT_EQ(p.config_edits.buffers_min, 20);
  ASSERT_EQ(p.registry_blocks.size(), 1u);
  EXPECT_EQ(p.registry_blocks[0].key_path, "Software\\Marsh");
}

// --- Error rules of the keyword table, one line each -----------------------------

struct ErrorCase {
  const char* line;
  bool error;
};

class KeywordErrors : public ParserFixture, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(KeywordErrors, LineIsAcceptedOrRejected) {
  const ErrorCase& c = GetParam();
  int result = Parse(std::string("REM first\n") + c.line + "\nREM after\n");
  if (c.error) {
    EXPECT_EQ(result, 1) << c.line;
    EXPECT_EQ(SyntaxError(), std::string("Syntax error, line: 2|") + c.line);
    EXPECT_EQ(plan_->line_number, 2);
  } else {
    EXPECT_EQ(result, 0) << c.line << " -> " << SyntaxError();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeywordErrors,
    ::testing::Values(
        ErrorCase{"TITLE", true}, ErrorCase{"TITLE \"T\" Italic Wide", true},
        ErrorCase{"TITLE T bold 12 \"Arial\" underline", false},
        ErrorCase{"FONTNAME \"123456789012345678901234567890\"", false},
        ErrorCase{"FONTNAME \"1234567890123456789012345678901\"", true},
        ErrorCase{"SCREENGRAPHIC a.bmp CENTER", true}, ErrorCase{"SCREENGRAPHIC a.bmp tile", false},
        ErrorCase{"DEFAULTDIR", true}, ErrorCase{"DEFAULTDIR C:\\A NOASK", true},
        ErrorCase{"DEFAULTDIR C:\\A prompt \"x\"", true}, ErrorCase{"DIR2 X =y", true},
        ErrorCase{"ASK1 Jane prompt=\"x\"", true}, ErrorCase{"ASK2 \"Jane\"", true},
        ErrorCase{"ASK2 \"Jane\" prompt \"x\"", true}, ErrorCase{"ASK5 \"\" PROMPT=Q", false},
        ErrorCase{"MINCPUTYPE 486", true}, ErrorCase{"MINCPUTYPE 80386", false},
        ErrorCase{"MINDISKSPACE 2M 100", true}, ErrorCase{"MINDISKSPACE 2M 99", false},
        ErrorCase{"PROGRESSBAR", true}, ErrorCase{"OVERWRITEFILE maybe", true},
        ErrorCase{"OVERWRITEFILE ask", false}, ErrorCase{"COMPRESSION", true},
        ErrorCase{"COMPRESSION zip", true}, ErrorCase{"REBOOT", true}, ErrorCase{"REBOOT now", true},
        ErrorCase{"REBOOT System", false}, ErrorCase{"RUNATSTART \"\"", true},
        ErrorCase{"RUNATSTART go.exe", true}, ErrorCase{"RUNATEXIT", true},
        ErrorCase{"UNINSTALL", true}, ErrorCase{"UNINSTALL maybe", true},
        ErrorCase{"UNINSTALLENDPROMPT \"\"", true}, ErrorCase{"UninstallTitlePrompt", true},
        ErrorCase{"REGSERVER", true}, ErrorCase{"DELETE", true}, ErrorCase{"RENAME a", true},
        ErrorCase{"RENAME a b", false}, ErrorCase{"FILE x.txt WHATEVER", true},
        ErrorCase{"FILE x.txt GROUP=7", true}, ErrorCase{"INSERTDISK \"d\" \"c\" junk", false},
        ErrorCase{"INIFILE \"s\" \"k\" \"v\" f.ini NOPE", true},
        ErrorCase{"ADDTEXT \"line\"", true}, ErrorCase{"AUTOEXEC BOGUS", true},
        ErrorCase{"CONFIG ADD \"x\"", true}, ErrorCase{"POPMESSAGE x", true},
        ErrorCase{"POPMESSAGE", true}, ErrorCase{"; a comment", true}, ErrorCase{"# hash", true},
        ErrorCase{"UnknownWord", false}, ErrorCase{"UnknownWord second", true},
        ErrorCase{"rem ; anything at all", false}, ErrorCase{"", false}, ErrorCase{" , \t", false},
        ErrorCase{"yesnokey whatever it says", false}, ErrorCase{"ELSE", true},
        ErrorCase{"ENDIF", true}, ErrorCase{"IF", true}, ErrorCase{"IF bogus", true},
        ErrorCase{"1abc", true}));

TEST_F(ParserFixture, PromptCapacitiesAreExclusive) {
  EXPECT_EQ(Parse("OKPROMPT \"" + std::string(499, 'o') + "\"\n"), 0);
  EXPECT_EQ(plan_->prompts.ok.size(), 499u);
  EXPECT_EQ(Parse("OKPROMPT \"" + std::string(500, 'o') + "\"\n"), 1);
  EXPECT_EQ(Parse("NOSPACEPROMPT \"" + std::string(980, 'n') + "\"\n"), 0);
  EXPECT_EQ(Parse("TITLE \"" + std::string(500, 't') + "\"\n"), 1);
  EXPECT_EQ(Parse("DEFAULTDIR C:\\" + std::string(496, 'd') + "\n"), 1);
  EXPECT_EQ(Parse("DEFAULTDIR C:\\" + std::string(495, 'd') + "\n"), 0);
}

// --- Colours, sizes and destinations -----------------------------------------------

TEST_F(ParserFixture, ColoursNeedParenthesesForNumbers) {
  ASSERT_EQ(Parse("TITLECOLOR 0,128,0\nSCREENCOLOR Red\n"), 0);
  EXPECT_EQ(plan_->title_color, (Rgb{128, 128, 255}));  // unchanged
  EXPECT_EQ(plan_->screen_color_from, (Rgb{255, 0, 0}));
  EXPECT_EQ(plan_->screen_color_to, (Rgb{255, 0, 0}));
  ASSERT_EQ(Parse("TITLECOLOR (300, 7x, 1)\nSCREENCOLOR mauve (1,2,3)\n"), 0);
  EXPECT_EQ(plan_->title_color, (Rgb{44, 7, 1}));  // stored as bytes
  EXPECT_EQ(plan_->screen_color_from, (Rgb{255, 0, 0}));
  EXPECT_EQ(plan_->screen_color_to, (Rgb{1, 2, 3}));
}

TEST(ParseSizeTest, FractionsAndMultipliers) {
  EXPECT_EQ(ParseSize("1.5M"), 1500000);
  EXPECT_EQ(ParseSize("2k"), 2000);
  EXPECT_EQ(ParseSize("3.25"), 3);
  EXPECT_EQ(ParseSize("1km"), 1000);
  EXPECT_EQ(ParseSize("9999M"), INT32_MAX);
  EXPECT_EQ(ParseSize("x"), 0);
}

TEST_F(ParserFixture, DestinationPathsAreNormalised) {
  ASSERT_EQ(Parse("DEFAULTDIR \\APPS\\TOOL\nDIR2 TOOLS\nDIR3 $SOURCEDIR$\\X\n"), 0);
  EXPECT_EQ(plan_->destinations[0]->path, "C:\\APPS\\TOOL");
  EXPECT_EQ(plan_->destinations[1]->path, "C:\\TOOLS");
  // $SOURCEDIR$ is a parse-time macro: substituted before DIR3 sees it.
  EXPECT_EQ(plan_->destinations[2]->path, "C:\\SETUP\\X");
  ASSERT_EQ(Parse("DEFAULTDIR D: prompt=\"Here\"\nDEFAULTDIR E:\\X\n"), 0);
  EXPECT_EQ(plan_->destinations[0]->path, "E:\\X");
  EXPECT_EQ(plan_->destinations[0]->has_own_prompt, 0);  // reused record, prompt cleared
  EXPECT_EQ(plan_->macros.default_drive, "E");
}

TEST_F(ParserFixture, DefaultDestinationWithoutDefaultDir) {
  machine_.SetCurrentDirectory("C:\\SETUP");
  ASSERT_EQ(Parse("TITLE x\n"), 0);
  // Started from the source drive: the system disk's NEWFILES.
  EXPECT_EQ(plan_->macros.default_dir, "C:\\NEWFILES");
  plan_->macros.source_drive = "A";
  plan_->hard_disk_letter = 'A';
  ASSERT_EQ(Parse("TITLE x\n"), 0);
  EXPECT_EQ(plan_->macros.default_dir, "C:\\SETUP");
  EXPECT_EQ(plan_->macros.default_drive, "C");
  plan_->macros.source_drive = "C";
  ASSERT_EQ(Parse("TITLE x\n"), 0);
  EXPECT_EQ(plan_->macros.default_dir, "A:\\NEWFILES");
}

TEST_F(ParserFixture, MissingScriptShowsFileNotFound) {
  parser_ = std::make_unique<ScriptParser>(*plan_, Services());
  EXPECT_EQ(parser_->Parse("C:\\SETUP\\NONE.CFG"), 1);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text,
            "File not found on the installation disk: C:\\SETUP\\NONE.CFG. ");
  EXPECT_EQ(desktop_.Messages()[0].caption, "(default)");
}

// --- Line numbers ------------------------------------------------------------------

TEST_F(ParserFixture, LineNumbersCountBlockLinesAndCutLines) {
  std::string script =
      "BEGINLASTSCREEN\nline\nENDLASTSCREEN\n"                       // 1-3
      "BEGINREGISTRY\nKEY NEW \"HKEY_USERS\\A\"\nENDREGISTRY\n"      // 4-6
      "POPMESSAGE 1\nx\nENDPOP\n"                                    // 7-9
      "REM " + std::string(1196, 'r') + "\n"                         // 10 and 11
      "bogus line\n";                                                // 12
  EXPECT_EQ(Parse(script), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 12|bogus line");
}

TEST_F(ParserFixture, LongLineRestIsItsOwnLine) {
  // 998 characters, then "x y" read as a line of its own: an error on line 2.
  std::string script = "REM " + std::string(994, 'r') + "x y\n";
  EXPECT_EQ(Parse(script), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 2|x y");
}

TEST_F(ParserFixture, MacroSubstitutionShowsInTheErrorLine) {
  plan_->macros.options[0] = "FAST";
  EXPECT_EQ(Parse("MINCPUTYPE $system$\n"), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 1|MINCPUTYPE FAST");
}

TEST_F(ParserFixture, OverlongSubstitutionIsAnErrorOfTheLine) {
  plan_->macros.source_dir = std::string(500, 's');
  std::string script = "SHOWREADME $SOURCEDIR$" + std::string(600, 'x') + "\n";
  EXPECT_EQ(Parse(script), 1);
  EXPECT_EQ(plan_->line_number, 1);
  EXPECT_TRUE(plan_->readme.empty());
}

// --- Blocks --------------------------------------------------------------------------

TEST_F(ParserFixture, BlockEndMustBeTheFirstWordExactly) {
  ASSERT_EQ(Parse("EXITMESSAGE\nEXITING now\n  exit\nTITLE never\n"), 1);
  ASSERT_EQ(screens_.shown.size(), 1u);
  EXPECT_EQ(screens_.shown[0], (std::vector<std::string>{"EXITING now"}));
  EXPECT_TRUE(plan_->title.empty());
  EXPECT_EQ(SyntaxError(), "");
}

TEST_F(ParserFixture, ExitMessageWithoutPresenterGoesToTheDesktop) {
  WriteScript("EXITMESSAGE\nNot on this system.\nSorry.\nEXIT\n");
  ParserServices services = Services();
  services.screens = nullptr;
  ScriptParser parser(*plan_, services);
  EXPECT_EQ(parser.Parse("C:\\SETUP\\SETUP.CFG"), 1);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text, "Not on this system.\nSorry.");
  EXPECT_EQ(desktop_.Messages()[0].caption, " ");
}

TEST_F(ParserFixture, UnterminatedBlockIsAnError) {
  EXPECT_EQ(Parse("BEGINFIRSTSCREEN\ntext\n"), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 2|BEGINFIRSTSCREEN");
}

TEST_F(ParserFixture, ScreenLineLimits) {
  EXPECT_EQ(Parse("BEGINLASTSCREEN\n" + std::string(255, 'w') + "\nENDLASTSCREEN\n"), 0);
  EXPECT_EQ(Parse("BEGINLASTSCREEN\nok\n" + std::string(256, 'w') + "\nENDLASTSCREEN\n"), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 3|" + std::string(256, 'w'));
}

TEST_F(ParserFixture, GroupRules) {
  EXPECT_EQ(Parse("BEGINGROUP 3\n3 no marker\nENDGROUP\n"), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 2|3 no marker");
  ASSERT_EQ(Parse("BEGINGROUP EXCLUSIVE 4\n45[X]a\n1 [ ] b\nENDGROUP\nBEGINGROUP 5 EXCLUSIVE\n5[ ]c\nENDGROUP\n"), 0);
  ASSERT_EQ(plan_->group_pages.size(), 2u);
  EXPECT_EQ(plan_->group_pages[0].exclusive, 1);
  EXPECT_EQ(plan_->group_pages[0].page_number, 4);
  EXPECT_EQ(plan_->group_pages[1].exclusive, 0);  // EXCLUSIVE after the number is ignored
  EXPECT_EQ(plan_->group_map.ItemOf(45), 0);
  EXPECT_EQ(plan_->group_map.ItemOf(1), 1);
  EXPECT_EQ(plan_->group_preselected[0], 1);

  ResetPlan();
  std::string pages;
  for (int i = 0; i < 17; ++i) pages += "BEGINGROUP " + std::to_string(i) + "\n" + "x\nENDGROUP\n";
  EXPECT_EQ(Parse(pages), 1);
  EXPECT_EQ(plan_->line_number, 51);
}

TEST_F(ParserFixture, HundredAndOneGroupItemsAreAnError) {
  std::string script;
  for (int page = 0; page < 11; ++page) {
    script += "BEGINGROUP " + std::to_string(page) + "\n";
    for (int i = 0; i < 10; ++i) script += std::to_string(i) + " [ ] item\n";
    script += "ENDGROUP\n";
  }
  EXPECT_EQ(Parse(script), 1);
  EXPECT_EQ(plan_->group_item_count, 100);
}

TEST_F(ParserFixture, SeventeenPopupsAreAnError) {
  std::string script;
  for (int i = 0; i < 17; ++i) script += "POPMESSAGE " + std::to_string(i) + "\nx\nENDPOP\n";
  EXPECT_EQ(Parse(script), 1);
  EXPECT_EQ(plan_->popups.size(), 16u);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 49|POPMESSAGE 16");
}

TEST_F(ParserFixture, OneUseScreenFontIsCleared) {
  ASSERT_EQ(Parse("BEGINFIRSTSCREEN \"Courier New\" 14\nA\nENDFIRSTSCREEN\nBEGINLASTSCREEN\nB\nENDLASTSCREEN\n"), 0);
  // Point size and face follow the header: style(4) exstyle(4) count(2) x y cx cy(8) menu class title(6).
  const std::vector<uint8_t>& first = plan_->first_screen->bytes;
  const std::vector<uint8_t>& last = plan_->last_screen->bytes;
  EXPECT_EQ(first[24], 14);
  EXPECT_EQ(first[26], 'C');
  EXPECT_EQ(last[24], 10);
  EXPECT_EQ(last[26], 'M');  // "MS Sans Serif", the default screen face
}

// --- IF handling ------------------------------------------------------------------------

TEST_F(ParserFixture, SkippedBranchesDropLinesUnchecked) {
  ASSERT_EQ(Parse("IF false\n; not checked\nTITLE A\nELSE\nTITLE B\nENDIF\n"), 0);
  EXPECT_EQ(plan_->title, "B");
  ASSERT_EQ(Parse("IF true\nTITLE C\nELSE\nTITLE D\n#junk\nENDIF\n"), 0);
  EXPECT_EQ(plan_->title, "C");
  EXPECT_EQ(Parse("IF true\nELSE\nELSE\nENDIF\n"), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 3|ELSE");
}

TEST_F(ParserFixture, ScreenTextInsideSkippedBranchActsAsKeywords) {
  // Outside a skipped branch an IF line in a screen is plain text.
  ASSERT_EQ(Parse("BEGINLASTSCREEN\nIF you like it\nENDLASTSCREEN\n"), 0);
  // Inside one, it is an IF, and an IF while skipping is an error.
  EXPECT_EQ(Parse("IF false\nBEGINLASTSCREEN\nIF you like it\nENDLASTSCREEN\nENDIF\n"), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 3|IF you like it");
}

TEST_F(ParserFixture, ExitMessageInSkippedBranchIsDroppedWhole) {
  ASSERT_EQ(Parse("IF false\nEXITMESSAGE\nENDIF\nELSE\nEXIT\nTITLE t\nENDIF\n"), 0);
  EXPECT_TRUE(screens_.shown.empty());
  EXPECT_EQ(plan_->title, "");
}

TEST_F(ParserFixture, IfWithoutEndIfIsReportedOnTheLastLine) {
  EXPECT_EQ(Parse("TITLE x\nIF false\nTITLE y\nREM end\n"), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 4|REM end");
}

TEST_F(ParserFixture, DeferredBlockCaptureLimits) {
  std::string body58, body59;
  for (int i = 0; i < 58; ++i) body58 += "FILE f" + std::to_string(i) + ".txt\n";
  body59 = body58 + "FILE last.txt\n";
  ASSERT_EQ(Parse("REM x\nIF group=1\n" + body58 + "ENDIF\nTITLE after\n"), 0) << SyntaxError();
  ASSERT_EQ(plan_->deferred_blocks.size(), 1u);
  const DeferredBlock& block = plan_->deferred_blocks[0];
  EXPECT_EQ(block.lines.size(), 60u);
  EXPECT_EQ(block.first_line_number, 2);
  EXPECT_EQ(block.last_line_number, 61);
  EXPECT_EQ(plan_->title, "after");
  EXPECT_TRUE(plan_->file_list.empty());

  EXPECT_EQ(Parse("IF group=1\n" + body59 + "ENDIF\n"), 1);
  EXPECT_EQ(plan_->deferred_blocks.size(), 1u);  // the failed block is not kept
}

TEST_F(ParserFixture, ReplayAppendsAndSkipsStartupSettings) {
  ASSERT_EQ(Parse("FILE a.txt\nIF $ASK1 = \"x\"\n  title \"Nope\"\nFILE b.txt\n"
                  "BEGINFIRSTSCREEN\nskipped\nENDFIRSTSCREEN\nBEGINLASTSCREEN\nThanks\nENDLASTSCREEN\n"
                  "ELSE\nFILE c.txt\nENDIF\nFILE d.txt\n"),
            0)
      << SyntaxError();
  ASSERT_EQ(plan_->file_list.size(), 2u);
  ASSERT_EQ(plan_->deferred_blocks.size(), 1u);
  ScriptParser replay(*plan_, Services());
  EXPECT_EQ(replay.ParseDeferredBlock(plan_->deferred_blocks[0]), 0) << SyntaxError();
  ASSERT_EQ(plan_->file_list.size(), 3u);
  EXPECT_EQ(plan_->file_list[2].name, "b.txt");
  EXPECT_EQ(plan_->title, "");
  EXPECT_TRUE(plan_->last_screen);
  EXPECT_FALSE(plan_->first_screen);
  EXPECT_EQ(plan_->line_number, 13);

  conditions_.replay_answer = 0;
  ScriptParser replay_else(*plan_, Services());
  EXPECT_EQ(replay_else.ParseDeferredBlock(plan_->deferred_blocks[0]), 0);
  EXPECT_EQ(plan_->file_list.back().name, "c.txt");
}

TEST_F(ParserFixture, ReplayRejectsStartupOnlyKeywordsAndMissingScreenEnd) {
  DeferredBlock block;
  block.first_line_number = 10;
  block.lines = {"IF group=1", "ASK1 \"a\" prompt=\"b\"", "ENDIF"};
  ScriptParser parser(*plan_, Services());
  EXPECT_EQ(parser.ParseDeferredBlock(block), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 11|ASK1 \"a\" prompt=\"b\"");

  DeferredBlock unended;
  unended.first_line_number = 3;
  unended.lines = {"IF group=1", "BEGINFIRSTSCREEN", "text", "ENDIF"};
  ui::HostDesktop fresh;
  ParserServices services = Services();
  ParserServices with_fresh{fresh, machine_, measure_, services.sources, services.conditions,
                            services.screens};
  ScriptParser second(*plan_, with_fresh);
  EXPECT_EQ(second.ParseDeferredBlock(unended), 1);
  ASSERT_EQ(fresh.Messages().size(), 1u);
  EXPECT_EQ(fresh.Messages()[0].text, "Missing EndFirstScreen ");
  EXPECT_EQ(fresh.Messages()[0].caption, "(default)");
}

TEST_F(ParserFixture, ScriptInsideTheInstallArchiveIsNotRequired) {
  // CR LF and LF read the same; a NUL byte ends a line's text.
  ASSERT_EQ(Parse(std::string("TITLE \"A\"\r\nREM \0 junk\nTITLECOLOR Red\n", 38)), 0);
  EXPECT_EQ(plan_->title, "A");
  EXPECT_EQ(plan_->title_color, (Rgb{255, 0, 0}));
}

}  // namespace
}  // namespace install::script
