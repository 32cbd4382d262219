#include "install/script/conditions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/os/host/host_registry.h"
#include "install/os/host/host_system_info.h"
#include "tests/install/script/parser_fixture.h"
#include "tests/support/pe_builder.h"

namespace install::script {
namespace {

// --- The small pieces ------------------------------------------------------

TEST(ReadOperatorTest, EveryOperatorAndWhatIsRefused) {
  struct Case {
    const char* text;
    Comparison expected;
    uint32_t position_after;
  };
  for (const Case& c : std::vector<Case>{{"= 1", Comparison::Equal, 1},
                                         {"==1", Comparison::Equal, 2},
                                         {" , >x", Comparison::Greater, 4},
                                         {"<", Comparison::Less, 1},
                                         {">=3", Comparison::GreaterOrEqual, 2},
                                         {"<=", Comparison::LessOrEqual, 2},
                                         {"<>a", Comparison::NotEqual, 2},
                                         {"< =", Comparison::Less, 1},
                                         {"=>", Comparison::Invalid, 2},
                                         {">>", Comparison::Invalid, 2},
                                         {"!=", Comparison::Invalid, 2},
                                         {"!", Comparison::Invalid, 1},
                                         {"x", Comparison::Invalid, 1},
                                         {"", Comparison::Invalid, 0},
                                         {"   ", Comparison::Invalid, 3}}) {
    ScriptCursor cursor;
    cursor.SetLine(c.text);
    EXPECT_EQ(ReadOperator(cursor), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(cursor.Position(), c.position_after) << '"' << c.text << '"';
  }
}

TEST(ComparisonTest, OrdersAgainstEachOperator) {
  const std::vector<std::pair<Comparison, std::vector<bool>>> table = {
      // results for order -1, 0, 1
      {Comparison::Equal, {false, true, false}},
      {Comparison::Greater, {false, false, true}},
      {Comparison::Less, {true, false, false}},
      {Comparison::GreaterOrEqual, {false, true, true}},
      {Comparison::LessOrEqual, {true, true, false}},
      {Comparison::NotEqual, {true, false, true}},
      {Comparison::Invalid, {false, false, false}},
  };
  for (const auto& [comparison, results] : table) {
    for (int order = -1; order <= 1; ++order) {
      EXPECT_EQ(OrderSatisfies(comparison, order * 7), results[static_cast<std::size_t>(order + 1)])
          << static_cast<int>(comparison) << " " << order;
    }
  }
}

TEST(DecimalFractionTest, ReadsLeadingDecimals) {
  EXPECT_DOUBLE_EQ(DecimalFraction("3.95"), 3.95);
  EXPECT_DOUBLE_EQ(DecimalFraction("3.10"), 3.1);
  EXPECT_DOUBLE_EQ(DecimalFraction("4"), 4.0);
  EXPECT_DOUBLE_EQ(DecimalFraction("7."), 7.0);
  EXPECT_DOUBLE_EQ(DecimalFraction("-2.5x"), -2.5);
  EXPECT_DOUBLE_EQ(DecimalFraction("+.5"), 0.5);
  EXPECT_DOUBLE_EQ(DecimalFraction("range"), 0.0);
  EXPECT_DOUBLE_EQ(DecimalFraction(""), 0.0);
  EXPECT_DOUBLE_EQ(DecimalFraction("1e3"), 1.0);
  EXPECT_DOUBLE_EQ(DecimalFraction("-.25"), -0.25);
  EXPECT_DOUBLE_EQ(DecimalFraction("-"), 0.0);
  EXPECT_DOUBLE_EQ(DecimalFraction("."), 0.0);
  // Exactly the value the text "3.95" reads as, like the machine's version.
  EXPECT_EQ(DecimalFraction("3.95"), std::stod("3.95"));
  EXPECT_EQ(DecimalFraction("3.1"), std::stod("3.1"));
}

TEST(DisplayTest, ColoursAndTheThreeForms) {
  EXPECT_EQ(ColorCount(1), 2u);
  EXPECT_EQ(ColorCount(8), 256u);
  EXPECT_EQ(ColorCount(24), 16777216u);
  EXPECT_EQ(ColorCount(32), 4294967296u);
  EXPECT_EQ(ColorCount(40), 4294967296u);  // saturated, not wrapped
  EXPECT_EQ(ColorCount(0), 1u);

  const os::DisplayMode vga{640, 480, 8};
  // "<" with 640 480: the width must be below 640.
  EXPECT_FALSE(DisplayMatches(DisplayForm::Resolution, true, vga, 0, 640, 480));
  EXPECT_TRUE(DisplayMatches(DisplayForm::Resolution, true, vga, 0, 641, 480));
  EXPECT_TRUE(DisplayMatches(DisplayForm::Resolution, false, vga, 0, 640, 480));
  EXPECT_FALSE(DisplayMatches(DisplayForm::Resolution, false, vga, 0, 640, 481));
  EXPECT_FALSE(DisplayMatches(DisplayForm::Resolution, false, vga, 0, 641, 480));
  EXPECT_TRUE(DisplayMatches(DisplayForm::Colors, true, vga, 256, 0, 0));
  EXPECT_TRUE(DisplayMatches(DisplayForm::Colors, false, vga, 256, 0, 0));
  EXPECT_FALSE(DisplayMatches(DisplayForm::Colors, true, vga, 255, 0, 0));
  EXPECT_FALSE(DisplayMatches(DisplayForm::Colors, false, vga, 257, 0, 0));
  // Form 3 is strict on the resolution when "<".
  EXPECT_FALSE(DisplayMatches(DisplayForm::Both, true, vga, 256, 641, 480));
  EXPECT_TRUE(DisplayMatches(DisplayForm::Both, true, vga, 256, 641, 481));
  EXPECT_FALSE(DisplayMatches(DisplayForm::Both, true, vga, 16, 641, 481));
  EXPECT_TRUE(DisplayMatches(DisplayForm::Both, false, vga, 256, 640, 480));
  EXPECT_FALSE(DisplayMatches(DisplayForm::Both, false, vga, 65536, 640, 480));
}

// --- Conditions through the parser ---------------------------------------------

constexpr char kClsid[] = "{0B2E1A40-1234-11CF-8E6C-00AA0060F3A1}";

// The parser with the machine's conditions over the fixture's drive C: (the
// script's drive), a floppy A:, a fixed D: and a network E:.
class ConditionsFixture : public testing::ParserFixture {
 protected:
  ConditionsFixture() {
    for (const char* folder : {"a", "d", "e"}) std::filesystem::create_directories(root_ / "drives" / folder);
    machine_.MapDrive('A', root_ / "drives" / "a", os::DriveType::Removable);
    machine_.MapDrive('D', root_ / "drives" / "d", os::DriveType::Fixed);
    machine_.MapDrive('E', root_ / "drives" / "e", os::DriveType::Remote);
  }

  void Put(const std::string& relative, const std::string& text = "x") {
    test_support::WriteLocalFile(root_ / relative, test_support::BytesOf(text));
  }
  void RegisterServer(const std::string& key, const std::string& path) {
    std::unique_ptr<os::RegistryKey> opened = registry_.CreateKey(os::kHkeyClassesRoot, key, nullptr);
    ASSERT_TRUE(opened);
    std::vector<uint8_t> bytes(path.begin(), path.end());
    bytes.push_back(0);
    opened->SetValue("", os::kRegTypeSz, bytes);
  }

  ParserServices MachineServices() {
    ParserServices services = Services();
    services.conditions = &conditions_on_machine_;
    return services;
  }
  int ParseOnMachine(const std::string& text) {
    WriteScript(text);
    parser_ = std::make_unique<ScriptParser>(*plan_, MachineServices());
    return parser_->Parse("C:\\SETUP\\SETUP.CFG");
  }
  // 1 or 0 by the branch the condition chose, -1 for a syntax error (which
  // must be reported on the IF line, the second line).
  int Decide(const std::string& condition) {
    ResetPlan();
    plan_->windows_version = windows_version_;
    plan_->dos_version = dos_version_;
    const std::size_t errors_before = SyntaxErrors();
    if (ParseOnMachine("REM decide\nIF " + condition + "\nTITLE yes\nELSE\nTITLE no\nENDIF\n") != 0) {
      EXPECT_EQ(SyntaxErrors(), errors_before + 1) << condition;
      EXPECT_EQ(desktop_.Messages().back().caption, "Syntax error, line: 2") << condition;
      return -1;
    }
    EXPECT_TRUE(plan_->title == "yes" || plan_->title == "no") << condition;
    return plan_->title == "yes" ? 1 : 0;
  }
  std::size_t SyntaxErrors() const {
    std::size_t count = 0;
    for (const auto& m : desktop_.Messages()) count += m.caption.rfind("Syntax error", 0) == 0;
    return count;
  }

  struct Decision {
    std::string condition;
    int expected;
  };
  void ExpectDecisions(const std::vector<Decision>& decisions) {
    for (const Decision& d : decisions) EXPECT_EQ(Decide(d.condition), d.expected) << "IF " << d.condition;
  }

  double windows_version_ = 3.95;
  double dos_version_ = 7.0;
  os::HostSystemInfo system_;
  os::HostRegistry registry_;
  MachineConditions conditions_on_machine_{ConditionServices{machine_, system_, desktop_, &registry_}};
};


TEST_F(ConditionsFixture, WindowsAndDosVersions) {
  windows_version_ = 3.95;
  dos_version_ = 7.0;
  ExpectDecisions({
                             {"winver >= 3.95", 1},
                             {"winver > 3.95", 0},
                             {"winver = 3.95", 1},
                             {"winver == 3.950", 1},
                             {"winver <> 3.95", 0},
                             {"winver < 4.0", 1},
                             {"winver <= 3.94", 0},
                             {"winver = range 3.1 3.95", 1},
                             {"WINVER = RANGE 3.96 4", 0},
                             {"dosver >= 7", 1},
                             {"dosver < 7.0", 0},
                             {"dosver = range 5.0 6.22", 0},
                             {"dosver = range 7 7", 1},
                             // range only with "=": elsewhere it is a number, 0
                             {"winver > range", 1},
                             {"winver => 3", -1},
                             {"winver 3.95", -1},
                             {"winver >=", -1},
                             {"winver = range 3.1", -1},
                             {"dosver", -1},
                         });
  windows_version_ = 3.1;
  EXPECT_EQ(Decide("winver = range 3.1 3.95"), 1);
  EXPECT_EQ(Decide("winver = 3.10"), 1);
  windows_version_ = 4.0;
  EXPECT_EQ(Decide("winver = range 3.1 3.95"), 0);
  EXPECT_EQ(Decide("winver >= 3.95"), 1);
}

TEST_F(ConditionsFixture, MemoryInKilobytes) {
  system_.SetTotalPhysicalMemory(8u * 1024 * 1024);
  ExpectDecisions({
                             {"memory >= 8192", 1},
                             {"memory > 8192", 0},
                             {"memory = 8192", 1},
                             {"memory < 8193", 1},
                             {"memory >= 8193", 0},
                             {"memory <= 8191", 0},
                             {"memory >= 4194304", 0},  // 4 GB: no wrap to 0
                             {"memory >=", -1},
                             {"memory ! 8192", -1},
                             {"memory >= -1", -1},
                         });
  system_.SetTotalPhysicalMemory(8u * 1024 * 1024 - 1);
  EXPECT_EQ(Decide("memory >= 8192"), 0);
  system_.SetTotalPhysicalMemory(uint64_t{8} << 30);  // more than 32 bits hold
  EXPECT_EQ(Decide("memory >= 4194303"), 1);
}

TEST_F(ConditionsFixture, DisplayColoursAndResolution) {
  system_.SetDisplayMode({640, 480, 8});
  ExpectDecisions({
                             {"videocolor < 256", 1},
                             {"videocolor > 256", 1},
                             {"videocolor > 257", 0},
                             {"videocolor <16", 0},
                             {"videoresolution > 640 480", 1},
                             {"videoresolution < 640 480", 0},
                             {"videoresolution < 800 600", 1},
                             {"video < 640 480", 0},
                             {"video > 640 480", 1},
                             {"video <641 481", 1},
                             {"video > 256", 1},
                             {"video > 65536", 0},
                             {"video > 256 640 480", 1},
                             {"video < 256 800 600", 1},
                             {"video < 16 800 600", 0},
                             // only the first character counts; an "=" after it is passed over
                             {"video >= 640 480", 1},
                             {"video = 640 480", -1},
                             {"video x 640", -1},
                             {"video <", -1},
                             {"videoresolution > 640", -1},
                             {"videocolor >", -1},
                             {"video", -1},
                         });
  system_.SetDisplayMode({1024, 768, 24});
  EXPECT_EQ(Decide("videocolor > 65536"), 1);
  EXPECT_EQ(Decide("video > 16777216 1024 768"), 1);
}

TEST_F(ConditionsFixture, FilesAndDirectories) {
  Put("WINDOWS/SYSTEM/MARSH.DLL");
  Put("SETUP/HERE.TXT");
  std::filesystem::create_directories(root_ / "EMPTY");
  ExpectDecisions({
                             {"isfile C:\\WINDOWS\\SYSTEM\\MARSH.DLL", 1},
                             {"isfile \"$WINSYSDIR$\\marsh.dll\"", 1},
                             {"isfile $WINDIR$\\SYSTEM\\*.DLL", 1},
                             {"isfile $WINDIR$\\SYSTEM\\*.EXE", 0},
                             {"isfile HERE.TXT", 1},
                             {"ISFILE C:\\EMPTY\\", 1},
                             {"isfile C:\\EMPTY", 0},
                             {"isfile C:\\MISSING\\", 0},
                             {"isfile $SOURCEDIR$\\HERE.TXT", 1},
                             {"isfile", -1},
                         });
}

TEST_F(ConditionsFixture, SearchKeepsTheLineAndItsTwoParts) {
  Put("AUTOEXEC.BAT", "@ECHO OFF\r\nREM PATH C:\\OLD\r\nPATH C:\\DOS;C:\\WINDOWS\r\nSET TEMP=C:\\TEMP\r\n");
  ASSERT_EQ(ParseOnMachine("IF search \"path \" C:\\AUTOEXEC.BAT REM\nTITLE found\nENDIF\n"
                           "ADDTEXT \"$LEFT$PATH C:\\MARSH;$RIGHT$\" C:\\AUTOEXEC.BAT \"$SEARCH$\" REPLACE\n"),
            0)
      << SyntaxError();
  EXPECT_EQ(plan_->title, "found");
  EXPECT_EQ(plan_->macros.search.line_number, "3");
  EXPECT_EQ(plan_->macros.search.left, "");
  EXPECT_EQ(plan_->macros.search.right, "C:\\DOS;C:\\WINDOWS");
  ASSERT_EQ(plan_->text_insertions.size(), 1u);
  EXPECT_EQ(plan_->text_insertions[0].text, "PATH C:\\MARSH;C:\\DOS;C:\\WINDOWS");
  EXPECT_EQ(plan_->text_insertions[0].place, "3");

  // The text has its macros expanded; a miss leaves the last success's results.
  ExpectDecisions({
                             {"search \"$WINDIR$\" \"C:\\AUTOEXEC.BAT\"", 1},
                             {"search \"c:\\old\" C:\\AUTOEXEC.BAT", 1},
                             {"search \"c:\\old\" C:\\AUTOEXEC.BAT \"rem \"", 0},
                             {"search EMM386 C:\\AUTOEXEC.BAT", 0},
                             {"search PATH C:\\NONE.BAT", 0},
                             {"search \"PATH\"", -1},
                             {"search", -1},
                         });
  EXPECT_EQ(plan_->macros.search.line_number, "2");
  EXPECT_EQ(plan_->macros.search.left, "REM PATH ");
  EXPECT_EQ(plan_->macros.search.right, "");
}

TEST_F(ConditionsFixture, LocateShowsThePleaseWaitBoxAndSetsTheMacros) {
  Put("drives/d/TOOLS/BIN/FIND.EXE");
  Put("drives/e/FIND.EXE");
  Put("drives/a/FIND.EXE");
  Put("SETUP/FIND.EXE");  // on the script's own drive C:: never searched
  ASSERT_EQ(ParseOnMachine("LOCATEPROMPT \"Looking for it...\"\nIF locate FIND.EXE\n"
                           "SHOWREADME $LOCATEDIR$\\README.TXT\nENDIF\n"),
            0)
      << SyntaxError();
  EXPECT_EQ(plan_->macros.locate_dir, "D:\\TOOLS\\BIN");
  EXPECT_EQ(plan_->macros.locate_drive, "D");
  EXPECT_EQ(plan_->found, 1);
  EXPECT_EQ(plan_->readme, "D:\\TOOLS\\BIN\\README.TXT");  // substituted at parse time
  ASSERT_EQ(desktop_.Shown().size(), 1u);
  EXPECT_EQ(desktop_.Shown()[0], "please-wait Looking for it...");
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\SETUP");

  ExpectDecisions({
                             {"locate FIND.EXE network", 1},
                             {"locate \"F*.EXE\" e", 1},
                             {"locate FIND.EXE a", 1},
                             {"locate FIND.EXE c", 0},
                             {"locate MISSING.EXE", 0},
                             {"locate FIND.EXE C:", -1},
                             {"locate FIND.EXE everywhere", -1},
                             {"locate", -1},
                         });
  EXPECT_EQ(plan_->macros.locate_dir, "A:\\");  // the last success, a drive root
  EXPECT_EQ(plan_->macros.locate_drive, "A");
}

TEST_F(ConditionsFixture, LocateBeforeAnySuccessKeepsTheDefaults) {
  EXPECT_EQ(Decide("locate NOWHERE.EXE"), 0);
  EXPECT_EQ(plan_->macros.locate_dir, "C:\\NEWFILES");
  EXPECT_EQ(plan_->macros.locate_drive, "");
  EXPECT_EQ(plan_->found, 0);
}

TEST_F(ConditionsFixture, ComponentVersionsThroughTheRegistry) {
  test_support::WriteLocalFile(root_ / "WINDOWS" / "SYSTEM" / "MARSH32.OCX", test_support::PeWithVersion("2.10.0.3"));
  test_support::WriteLocalFile(root_ / "WINDOWS" / "SYSTEM" / "MARSH16.OCX", test_support::PeWithVersion("1.5"));
  Put("WINDOWS/SYSTEM/PLAIN.OCX", "no resources");
  RegisterServer(std::string("CLSID\\") + kClsid + "\\InprocServer32", "C:\\WINDOWS\\SYSTEM\\MARSH32.OCX");
  RegisterServer(std::string("CLSID\\") + kClsid + "\\InprocServer", "C:\\WINDOWS\\SYSTEM\\MARSH16.OCX");
  RegisterServer("CLSID\\{PLAIN}\\InprocServer32", "C:\\WINDOWS\\SYSTEM\\PLAIN.OCX");
  const std::string bare = std::string(kClsid).substr(1, std::string(kClsid).size() - 2);
  ExpectDecisions({
                             {std::string("ocxfilever \"") + kClsid + "\" 32 >= \"2.10\"", 1},
                             {"ocxfilever " + bare + " 32 = \"2.10.0.3\"", 1},
                             {"ocxfilever \"{" + bare + "\" 32 = \"2.10.0.3\"", 1},
                             // text, not numbers: "2.10" orders before "2.9"
                             {"ocxfilever " + bare + " 32 >= \"2.9\"", 0},
                             {"ocxfilever " + bare + " 16 = \"1.5\"", 1},
                             {"ocxfilever " + bare + " 16 < \"1.6\"", 1},
                             // no key, no value, no version resource: "0.0.0.0"
                             {"ocxfilever {NOT-THERE} 32 = \"0.0.0.0\"", 1},
                             {"ocxfilever PLAIN 32 = \"0.0.0.0\"", 1},
                             {"ocxfilever PLAIN 16 < \"1\"", 1},
                             {"ocxfilever \"\" 32 = \"1\"", -1},
                             {"ocxfilever " + bare + " 64 = \"1\"", -1},
                             {"ocxfilever " + bare + " 32 \"1\"", -1},
                             {"ocxfilever " + bare + " 32 =", -1},
                         });
}

TEST_F(ConditionsFixture, ComponentVersionWithoutARegistryIsNone) {
  MachineConditions without_registry{ConditionServices{machine_, system_, desktop_, nullptr}};
  WriteScript("IF ocxfilever X 32 = \"0.0.0.0\"\nTITLE none\nENDIF\n");
  ParserServices services = Services();
  services.conditions = &without_registry;
  ScriptParser parser(*plan_, services);
  ASSERT_EQ(parser.Parse("C:\\SETUP\\SETUP.CFG"), 0) << SyntaxError();
  EXPECT_EQ(plan_->title, "none");
}

TEST_F(ConditionsFixture, AnyOtherWordIsComparedAsText) {
  plan_->macros.options = {"Full", "", ""};
  ExpectDecisions({
                             {"$SYSTEM$ = \"full\"", 1},
                             {"$SYSTEM$ == FULL", 1},
                             {"$SYSTEM$ <> full", 0},
                             {"$SYS2$ = \"\"", 1},
                             {"$SYS2$ <> \"\"", 0},
                             {"$SYSTEM$ > \"abc\"", 1},
                             {"$SYSTEM$ < \"abc\"", 0},
                             {"$SYSTEM$=Full", 1},
                             {"english = English", 1},
                             {"$SYSTEM$ ! full", -1},
                             {"$SYSTEM$", -1},
                         });
  EXPECT_EQ(Decide("IF = x"), 0);
}

// --- IF, ELSE and ENDIF -------------------------------------------------------------

TEST_F(ConditionsFixture, MisplacedKeywordsAreErrorsOfTheirLine) {
  struct Case {
    std::string script;
    std::string error;
  };
  for (const Case& c : std::vector<Case>{
           {"TITLE a\nELSE\n", "Syntax error, line: 2|ELSE"},
           {"ENDIF\n", "Syntax error, line: 1|ENDIF"},
           {"IF winver > 1\nELSE\nELSE\nENDIF\n", "Syntax error, line: 3|ELSE"},
           {"IF winver > 9\nIF winver > 1\nENDIF\nENDIF\n", "Syntax error, line: 2|IF winver > 1"},
           {"IF\nENDIF\n", "Syntax error, line: 1|IF"},
           {"IF winver > 9\nTITLE x\n", "Syntax error, line: 2|TITLE x"},
           {"IF winver > 1\nENDIF\nENDIF\n", "Syntax error, line: 3|ENDIF"},
           // A nested IF in a branch that is taken replaces the outer one's state.
           {"IF winver > 1\nIF winver > 1\nENDIF\nELSE\nENDIF\n", "Syntax error, line: 4|ELSE"},
           // A block that cannot be captured: the IF is the error.
           {"REM\nIF group=1\nFILE a\n", "Syntax error, line: 2|IF group=1"},
       }) {
    ResetPlan();
    plan_->windows_version = 3.95;
    desktop_ = ui::HostDesktop();
    EXPECT_EQ(ParseOnMachine(c.script), 1) << c.script;
    EXPECT_EQ(SyntaxError(), c.error) << c.script;
  }
}

TEST_F(ConditionsFixture, NestedIfInATakenBranchDecidesAlone) {
  windows_version_ = 3.95;
  ResetPlan();
  plan_->windows_version = 3.95;
  ASSERT_EQ(ParseOnMachine("IF winver > 1\nIF winver > 9\nTITLE inner\nELSE\nTITLE else\nENDIF\nFILE after\n"), 0)
      << SyntaxError();
  EXPECT_EQ(plan_->title, "else");
  EXPECT_EQ(plan_->file_list.size(), 1u);
}

// --- Deferred blocks ----------------------------------------------------------------

class DeferredFixture : public ConditionsFixture {
 protected:
  // Groups 3 and 12 carry items 0 and 1; group 40 carries none.
  void DefineGroups() {
    plan_->group_map.Set(3, 0);
    plan_->group_map.Set(12, 1);
    plan_->group_item_count = 2;
  }
  // The file names the replay added, in order.
  std::vector<std::string> Replay() {
    const std::size_t before = plan_->file_list.size();
    EXPECT_EQ(ReplayDeferredBlocks(*plan_, MachineServices()), 0) << SyntaxError();
    std::vector<std::string> names;
    for (std::size_t i = before; i < plan_->file_list.size(); ++i) names.push_back(plan_->file_list[i].name);
    return names;
  }
};

TEST_F(DeferredFixture, GroupAndAnswerBlocksAreCapturedThenReplayedInOrder) {
  ASSERT_EQ(ParseOnMachine("ASK2 \"Pro\" prompt=\"Edition?\"\n"
                           "FILE base.txt\n"
                           "IF group = 3 40\n"
                           "FILE three.txt\n"
                           "ELSE\n"
                           "FILE notthree.txt\n"
                           "ENDIF\n"
                           "IF $ask2$ = \"Pro\"\n"
                           "FILE pro.txt\n"
                           "ENDIF\n"
                           "FILE last.txt\n"),
            0)
      << SyntaxError();
  ASSERT_EQ(plan_->deferred_blocks.size(), 2u);
  EXPECT_EQ(plan_->deferred_blocks[0].first_line_number, 3);
  EXPECT_EQ(plan_->deferred_blocks[0].last_line_number, 7);
  EXPECT_EQ(plan_->deferred_blocks[0].lines.size(), 5u);
  EXPECT_EQ(plan_->deferred_blocks[1].first_line_number, 8);
  ASSERT_EQ(plan_->file_list.size(), 2u);  // the normal parse never saw the blocks' lines
  EXPECT_EQ(plan_->file_list[1].name, "last.txt");

  DefineGroups();
  plan_->group_selected[0] = 1;
  EXPECT_EQ(Replay(), (std::vector<std::string>{"three.txt", "pro.txt"}));
  plan_->group_selected[0] = 0;
  plan_->macros.answers[1] = "pro";  // equality minds letter case
  EXPECT_EQ(Replay(), (std::vector<std::string>{"notthree.txt"}));
}

TEST_F(DeferredFixture, GroupConditions) {
  DefineGroups();
  plan_->group_selected[1] = 1;  // group 12
  struct Case {
    std::string condition;
    int expected;  // -1: the replay fails
  };
  for (const Case& c : std::vector<Case>{{"group=12", 1},
                                         {"group = 3,12", 1},
                                         {"GROUP= 3 40", 0},
                                         {"group = 40", 0},
                                         {"group =", 0},
                                         {"group 12", -1},
                                         {"group = 123", -1},
                                         {"group = x1", -1},
                                         {"isfile C:\\SETUP\\SETUP.CFG", -1},
                                         {"$SYSTEM$ = \"\"", -1}}) {
    DeferredBlock block;
    block.first_line_number = 20;
    block.lines = {"IF " + c.condition, "FILE yes.txt", "ELSE", "FILE no.txt", "ENDIF"};
    plan_->deferred_blocks = {block};
    plan_->file_list.clear();
    const int result = ReplayDeferredBlocks(*plan_, MachineServices());
    if (c.expected < 0) {
      EXPECT_EQ(result, -1) << c.condition;
      EXPECT_EQ(SyntaxError().rfind("Syntax error, line: 20|IF ", 0), 0u) << SyntaxError();
      desktop_ = ui::HostDesktop();
      continue;
    }
    ASSERT_EQ(result, 0) << c.condition << " " << SyntaxError();
    ASSERT_EQ(plan_->file_list.size(), 1u) << c.condition;
    EXPECT_EQ(plan_->file_list[0].name, c.expected ? "yes.txt" : "no.txt") << c.condition;
  }
}

TEST_F(DeferredFixture, AHundredGroupNumbersAtMost) {
  DefineGroups();
  std::string hundred = "IF group =";
  for (int i = 0; i < 100; ++i) hundred += " 40";
  plan_->deferred_blocks = {DeferredBlock{{hundred, "ENDIF"}, 1, 2}};
  EXPECT_EQ(ReplayDeferredBlocks(*plan_, MachineServices()), 0);
  plan_->deferred_blocks = {DeferredBlock{{hundred + " 3", "ENDIF"}, 1, 2}};
  EXPECT_EQ(ReplayDeferredBlocks(*plan_, MachineServices()), -1);
}

TEST_F(DeferredFixture, AnswerConditions) {
  plan_->macros.answers = {"Marsh", "", "12.5", "", "Beta"};
  struct Case {
    std::string condition;
    int expected;
  };
  for (const Case& c : std::vector<Case>{{"$ASK1 = \"Marsh\"", 1},
                                         {"$ASK1$ = \"marsh\"", 0},
                                         {"$ask1 <> \"marsh\"", 1},
                                         {"$ASK1 >= \"MARSH\"", 1},
                                         {"$ASK1 < \"MARSHES\"", 1},
                                         {"$ASK1 > \"zebra\"", 0},
                                         {"$ASK2 = \"\"", 1},
                                         {"$ASK3 = range 10 20", 1},
                                         {"$ASK3 = RANGE 12.5 12.5", 1},
                                         {"$ASK3 = range 13 20", 0},
                                         {"$ASK5 = range 0 1", 1},  // not a number: 0
                                         {"$ASK3 = range 10", -1},
                                         {"$ASK3 = 12.5", -1},
                                         {"$ASK6 = \"x\"", -1},
                                         {"$ASKx = \"x\"", -1},
                                         {"$ASK = \"x\"", -1},
                                         {"$ASK1 \"Marsh\"", -1},
                                         {"$ASK1 => \"Marsh\"", -1}}) {
    plan_->deferred_blocks = {DeferredBlock{{"IF " + c.condition, "FILE yes.txt", "ELSE", "FILE no.txt", "ENDIF"}, 7, 11}};
    plan_->file_list.clear();
    const int result = ReplayDeferredBlocks(*plan_, MachineServices());
    if (c.expected < 0) {
      EXPECT_EQ(result, -1) << c.condition;
      continue;
    }
    ASSERT_EQ(result, 0) << c.condition << " " << SyntaxError();
    ASSERT_EQ(plan_->file_list.size(), 1u) << c.condition;
    EXPECT_EQ(plan_->file_list[0].name, c.expected ? "yes.txt" : "no.txt") << c.condition;
  }
}

TEST_F(DeferredFixture, AFailingBlockStopsTheReplay) {
  DefineGroups();
  plan_->group_selected[0] = 1;
  plan_->deferred_blocks = {DeferredBlock{{"IF group=3", "FILE one.txt", "ENDIF"}, 2, 4},
                            DeferredBlock{{"IF group=3", "EXITMESSAGE", "Not on this system.", "EXIT", "ENDIF"}, 6, 10},
                            DeferredBlock{{"IF group=3", "FILE three.txt", "ENDIF"}, 12, 14}};
  EXPECT_EQ(ReplayDeferredBlocks(*plan_, MachineServices()), -1);
  ASSERT_EQ(plan_->file_list.size(), 1u);
  EXPECT_EQ(plan_->file_list[0].name, "one.txt");
  ASSERT_EQ(screens_.shown.size(), 1u);
  EXPECT_EQ(screens_.shown[0], (std::vector<std::string>{"Not on this system."}));

  plan_->deferred_blocks = {DeferredBlock{{"IF group=3", "ASK1 \"a\" prompt=\"b\"", "ENDIF"}, 30, 32},
                            DeferredBlock{{"IF group=3", "FILE never.txt", "ENDIF"}, 40, 42}};
  EXPECT_EQ(ReplayDeferredBlocks(*plan_, MachineServices()), -1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 31|ASK1 \"a\" prompt=\"b\"");
  EXPECT_EQ(plan_->file_list.back().name, "one.txt");
}

TEST_F(DeferredFixture, CaptureLimitsAndAnElseInsideTheBlock) {
  std::string body58;
  for (int i = 0; i < 58; ++i) body58 += "FILE f" + std::to_string(i) + ".txt\n";
  ASSERT_EQ(ParseOnMachine("IF $ASK1 = \"a\"\n" + body58 + "ENDIF\n"), 0) << SyntaxError();
  EXPECT_EQ(plan_->deferred_blocks.size(), 1u);
  ResetPlan();
  EXPECT_EQ(ParseOnMachine("IF $ASK1 = \"a\"\n" + body58 + "FILE one-too-many.txt\nENDIF\n"), 1);
  // Reported on the IF line, as the IF is what failed.
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 1|IF $ASK1 = \"a\"");
  EXPECT_TRUE(plan_->deferred_blocks.empty());
  // The script ends before ENDIF.
  ResetPlan();
  desktop_ = ui::HostDesktop();
  EXPECT_EQ(ParseOnMachine("TITLE t\nIF group=1\nFILE a.txt\n"), 1);
  EXPECT_EQ(SyntaxError(), "Syntax error, line: 2|IF group=1");
}

}  // namespace
}  // namespace install::script
