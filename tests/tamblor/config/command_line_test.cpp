#include "tamblor/config/command_line.h"

#include <gtest/gtest.h>

namespace tamblor::config {
namespace {

TEST(CommandLineTest, DriveAndConfigurationFile) {
  struct Case {
    const char* command_line;
    char drive;
    const char* config_path;
  } cases[] = {
      {"E:", 'E', "E:\\cdrom.cfg"},
      {"E: D:\\setup\\cdrom.cfg", 'E', "D:\\setup\\cdrom.cfg"},
      {"E:   D:\\setup\\cdrom.cfg  extra", 'E', "D:\\setup\\cdrom.cfg"},
      {"E: ", 'E', "E:\\cdrom.cfg"},
      {"F", 'F', "F:\\cdrom.cfg"},
      {"E:x.cfg", 'E', "x.cfg"},  // the word starts at the third character
      {"E:\tD:\\c.cfg", 'E', "D:\\c.cfg"},
  };
  for (const Case& c : cases) {
    StartupArguments args = ParseCommandLine(c.command_line, "Z:\\TAMBLOR.EXE");
    EXPECT_EQ(args.drive, c.drive) << c.command_line;
    EXPECT_EQ(args.config_path, c.config_path) << c.command_line;
  }
}

TEST(CommandLineTest, EmptyCommandLineUsesTheProgramsDrive) {
  StartupArguments args = ParseCommandLine("", "G:\\BIN\\TAMBLOR.EXE");
  EXPECT_EQ(args.drive, 'G');
  EXPECT_EQ(args.config_path, "G:\\cdrom.cfg");
}

TEST(CommandLineTest, TheCommandLineIsCutTo255Characters) {
  EXPECT_EQ(ParseCommandLine("E: " + std::string(300, 'p'), "").config_path, std::string(252, 'p'));
}

}  // namespace
}  // namespace tamblor::config
