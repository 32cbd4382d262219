// INIFILE on the host model: the cases shared with the Wine test, where the
// files are, the questions, and writes that fail.
#include "install/sysedit/ini_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/install/sysedit/ini_cases.h"
#include "tests/install/sysedit/system_edit_fixture.h"

namespace install::sysedit {
namespace {

class IniFilesTest : public testing::SystemEditFixture {
 protected:
  int Apply(const std::string& line) {
    IniFile(line);
    SystemEditServices services = Services();
    return ApplyIniEntry(plan_->ini_edits.back(), plan_->macros, plan_->prompts, services);
  }
};

TEST_F(IniFilesTest, TheSharedCasesGiveTheExpectedFilesAndLog) {
  int number = 0;
  for (const testing::IniCase& c : testing::IniCases()) {
    const std::string directory = "C:\\CASE" + std::to_string(++number);
    ASSERT_TRUE(machine_.CreateDirectory(directory));
    ui::HostDesktop desktop;
    testing::RunIniCase(c, machine_, profile_, directory, desktop);
  }
}

TEST(IniFilePathTest, BareAndRelativeNamesAreInTheWindowsDirectory) {
  EXPECT_EQ(IniFilePath("QUILL.INI", "C:\\WINDOWS"), "C:\\WINDOWS\\QUILL.INI");
  EXPECT_EQ(IniFilePath("SUB\\QUILL.INI", "C:\\WINDOWS"), "C:\\WINDOWS\\SUB\\QUILL.INI");
  EXPECT_EQ(IniFilePath("QUILL.INI", "C:\\"), "C:\\QUILL.INI");
  EXPECT_EQ(IniFilePath("\\APP\\QUILL.INI", "C:\\WINDOWS"), "\\APP\\QUILL.INI");
  EXPECT_EQ(IniFilePath("D:QUILL.INI", "C:\\WINDOWS"), "D:QUILL.INI");
}

TEST_F(IniFilesTest, WinIniIsTheSystemsOwnAndNeverLoggedAsNew) {
  EXPECT_EQ(Apply("INIFILE \"Quill\" \"Home\" \"$DEFAULTDIR$\""), kEditDone);
  EXPECT_EQ(Get("WINDOWS/WIN.INI"), "[Quill]\r\nHome=C:\\APP\r\n");
  EXPECT_EQ(Apply("INIFILE \"windows\" \"load\" \"quill.exe\" win.ini ADD"), kEditDone);
  EXPECT_EQ(Get("WINDOWS/WIN.INI"), "[Quill]\r\nHome=C:\\APP\r\n[windows]\r\nload=quill.exe\r\n");
  EXPECT_EQ(Log(),
            "INIFILE: \"Quill\", \"Home\", \"C:\\APP\", \"WIN.INI\"\r\n"
            "INIFILE: \"Quill\", \"WIN.INI\"\r\n"
            "INIFILE: \"windows\", \"load\", \"quill.exe\", \"win.ini\"\r\n"
            "INIFILE: \"windows\", \"win.ini\"\r\n");
}

TEST_F(IniFilesTest, FullNamesAreUsedAsWrittenAndRelativeOnesGoToTheWindowsDirectory) {
  std::filesystem::create_directories(temp_.path() / "c" / "WINDOWS" / "SUB");
  plan_->macros.answers[1] = "Fonts";
  EXPECT_EQ(Apply("INIFILE \"$ASK2$\" \"Size\" \"12\" \"$DEFAULTDIR$\\APP.INI\""), kEditDone);
  EXPECT_EQ(Apply("INIFILE \"S\" \"k\" \"v\" \"\\APP\\B.INI\""), kEditDone);
  machine_.SetCurrentDirectory("C:\\APP");
  EXPECT_EQ(Apply("INIFILE \"S\" \"k\" \"v\" SUB\\C.INI"), kEditDone);
  EXPECT_EQ(Get("APP/APP.INI"), "[Fonts]\r\nSize=12\r\n");
  EXPECT_EQ(Get("APP/B.INI"), "[S]\r\nk=v\r\n");
  EXPECT_EQ(Get("WINDOWS/SUB/C.INI"), "[S]\r\nk=v\r\n");
  EXPECT_FALSE(Exists("APP/SUB"));
  EXPECT_EQ(Log(),
            "FILE: C:\\APP\\APP.INI\r\n"
            "INIFILE: \"Fonts\", \"Size\", \"12\", \"C:\\APP\\APP.INI\"\r\n"
            "INIFILE: \"Fonts\", \"C:\\APP\\APP.INI\"\r\n"
            "FILE: \\APP\\B.INI\r\n"
            "INIFILE: \"S\", \"k\", \"v\", \"\\APP\\B.INI\"\r\n"
            "INIFILE: \"S\", \"\\APP\\B.INI\"\r\n"
            "FILE: C:\\WINDOWS\\SUB\\C.INI\r\n"
            "INIFILE: \"S\", \"k\", \"v\", \"SUB\\C.INI\"\r\n"
            "INIFILE: \"S\", \"SUB\\C.INI\"\r\n");
}

TEST_F(IniFilesTest, TheQuestionNamesTheFile) {
  Put("WINDOWS/QUILL.INI", "[A]\r\nk=1\r\n");
  desktop_.QueueAnswer(ui::kIdNo);
  EXPECT_EQ(Apply("INIFILE \"A\" \"k\" \"2\" QUILL.INI ASK"), kEditRejected);
  plan_->prompts.ini_file = "Change ";
  desktop_.QueueAnswer(ui::kIdYes);
  EXPECT_EQ(Apply("INIFILE \"A\" \"k\" \"1\" QUILL.INI ASK"), kEditDone);  // asked even when nothing changes
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "Do you wish this program to modify file QUILL.INI?||" + testing::kQuestionStyle,
                         "Change QUILL.INI?||" + testing::kQuestionStyle}));
  EXPECT_EQ(Get("WINDOWS/QUILL.INI"), "[A]\r\nk=1\r\n");
  EXPECT_EQ(Log(), "");
}

TEST_F(IniFilesTest, AFullDiskLeavesTheFileAsItWasAndLogsNothing) {
  const std::string old_bytes = "[A]\r\nk=1\r\n\r\n; notes\r\n";
  Put("WINDOWS/QUILL.INI", old_bytes);
  machine_.LimitWrites("QUILL.INI", 5);
  EXPECT_EQ(Apply("INIFILE \"A\" \"k\" \"2\" QUILL.INI"), kEditFailed);
  EXPECT_EQ(Get("WINDOWS/QUILL.INI"), old_bytes);
  machine_.LimitWrites("NEW.INI", 3);
  EXPECT_EQ(Apply("INIFILE \"A\" \"k\" \"2\" NEW.INI"), kEditFailed);
  EXPECT_FALSE(Exists("WINDOWS/NEW.INI"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "Cannot create file C:\\WINDOWS\\QUILL.INI|(default)|" + testing::kWarningStyle,
                         "Cannot create file C:\\WINDOWS\\NEW.INI|(default)|" + testing::kWarningStyle}));
  EXPECT_EQ(Log(), "");
}

// Not among the shared cases: Wine lets its root user write read-only files.
TEST_F(IniFilesTest, AReadOnlyFileIsNamedAndLeftAsItWas) {
  Put("WINDOWS/RO.INI", "[A]\r\nk=1\r\n");
  machine_.SetAttributes("C:\\WINDOWS\\RO.INI", os::kAttrReadOnly);
  EXPECT_EQ(Apply("INIFILE \"A\" \"k\" \"2\" RO.INI"), kEditFailed);
  EXPECT_EQ(Get("WINDOWS/RO.INI"), "[A]\r\nk=1\r\n");
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Cannot create file C:\\WINDOWS\\RO.INI|(default)|" + testing::kWarningStyle});
  EXPECT_EQ(Log(), "");
}

TEST_F(IniFilesTest, WithoutProfileFunctionsNothingIsDone) {
  IniFile("INIFILE \"A\" \"k\" \"v\" QUILL.INI");
  SystemEditServices services{machine_, desktop_, log_, nullptr};
  EXPECT_EQ(ApplyIniEntry(plan_->ini_edits.back(), plan_->macros, plan_->prompts, services), kEditFailed);
  EXPECT_FALSE(Exists("WINDOWS/QUILL.INI"));
}

}  // namespace
}  // namespace install::sysedit
