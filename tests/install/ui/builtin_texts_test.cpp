#include "install/ui/builtin_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace install::ui {
namespace {

TEST(BuiltinTextsTest, PromptTableHoldsSeventeenDistinctKeywords) {
  std::set<std::string> keywords;
  std::size_t long_ones = 0;
  for (const PromptTextSlot& p : PromptTextTable()) {
    keywords.insert(std::string(p.keyword));
    EXPECT_TRUE(p.capacity == 500 || p.capacity == 1000) << p.keyword;
    if (p.capacity == 1000) ++long_ones;
  }
  EXPECT_EQ(keywords.size(), 17u);
  EXPECT_EQ(PromptTextTable().size(), 17u);
  // AUTOEXEC, CONFIG, INIFILE, CPU and NOSPACE hold up to 1000 bytes.
  EXPECT_EQ(long_ones, 5u);
}

TEST(BuiltinTextsTest, PromptTextsAreSpelledExactly) {
  EXPECT_EQ(BuiltinPromptTextFor("COPYFILEPROMPT"), "Installing file: ");
  EXPECT_EQ(BuiltinPromptTextFor("FILEEXISTPROMPT"), "File exists.  Overwrite ");
  EXPECT_EQ(BuiltinPromptTextFor("cpuprompt"),
            "This application requires a computer with a processor no less than: ");
  EXPECT_EQ(BuiltinPromptTextFor("FileNotFoundPrompt"), "File not found on the installation disk: ");
  EXPECT_EQ(BuiltinPromptTextFor("LOCATEPROMPT"), "Checking system, please wait...");
  EXPECT_EQ(BuiltinPromptTextFor("NOSPACEPROMPT"),
            "Not enough disk space on the destination drive for installation.");
  EXPECT_EQ(BuiltinPromptTextFor("CONFIGPROMPT"), "Do you wish this program to modify file CONFIG.SYS?");
  EXPECT_EQ(BuiltinPromptTextFor("AUTOEXECPROMPT"), "Do you wish this program to modify your AUTOEXEC.BAT?");
  EXPECT_EQ(BuiltinPromptTextFor("INSERTDISKPROMPT"), "Please insert ");
  EXPECT_EQ(BuiltinPromptTextFor("OKPROMPT"), "OK");
  EXPECT_EQ(BuiltinPromptTextFor("CANCELPROMPT"), "Cancel");
  EXPECT_EQ(BuiltinPromptTextFor("BADDIRPROMPT"), "Invalid directory.");
  EXPECT_EQ(BuiltinPromptTextFor("BADDRIVEPROMPT"), "Invalid drive specification.");
  EXPECT_EQ(BuiltinPromptTextFor("INIFILEPROMPT"), "Do you wish this program to modify file ");
  EXPECT_EQ(BuiltinPromptTextFor("NOGROUPPROMPT"), "No group is selected.");
  EXPECT_EQ(BuiltinPromptTextFor("QUITPROMPT"), "Do you wish to quit?");
  EXPECT_EQ(BuiltinPromptTextFor("REBOOTPROMPT"), "Do you wish to reboot?");
  EXPECT_EQ(BuiltinPromptTextFor("TITLE"), "");
}

TEST(BuiltinTextsTest, FixedTextsAreSpelledExactly) {
  EXPECT_EQ(kSyntaxErrorCaption, "Syntax error, line: ");
  EXPECT_EQ(kMissingEndFirstScreenText, "Missing EndFirstScreen ");
  EXPECT_EQ(kNextDiskText, "the next disk");
  EXPECT_EQ(kAskDriveAndDirectoryText, "Please enter the destination drive and directory:");
  EXPECT_EQ(kNotEnoughMemoryText, "Not Enough Memory");
  EXPECT_EQ(kNoMemoryUnshrinkingText, "Not enough memory unshrinking files");
  EXPECT_EQ(kNotRegisteredText, " has not been successfully registered.");
}

}  // namespace
}  // namespace install::ui
