#include "install/engine/create_directories.h"

#include <gtest/gtest.h>

#include "install/sysedit/install_log.h"
#include "tests/support/fixture_builder.h"
#include "tests/support/host_drive_test.h"

namespace install::engine {
namespace {

class CreateDirectoriesTest : public test_support::HostDriveTest {};

TEST_F(CreateDirectoriesTest, EntriesWaitUntilTheDirectoryExistsThenComeOutFirst) {
  sysedit::InstallLog log(machine_);
  log.set_enabled(true);
  EXPECT_EQ(log.AppendLogLine(sysedit::DefaultDirLogEntry("C:\\APP") + "\n"), 0);  // no path yet
  log.SetLogPath("C:\\APP\\");
  EXPECT_EQ(log.log_path(), "C:\\APP\\install.log");
  // The directory is created (and logged) by the directory creation itself.
  ASSERT_EQ(CreateDirectoryPath("C:\\APP", machine_, desktop_, log, "Invalid directory."), kDirectoriesOk);
  EXPECT_EQ(log.pending_text(), "");
  EXPECT_EQ(log.AppendLogLine(sysedit::UninstallBeginLogEntry("Remove \"it\"?")), 1);
  EXPECT_EQ(LogBytes(),
            "DEFAULTDIR: C:\\APP\r\n"
            "DIRECTORY: C:\\APP\r\n"
            "\r\n"
            "UNINSTALLBEGINPROMPT: \"Remove \"it\"?\"\r\n");
}

TEST_F(CreateDirectoriesTest, DirectoryCreationLogsEachNewLevelOnceAsOneGroup) {
  ASSERT_TRUE(machine_.CreateDirectory("C:\\APP"));
  sysedit::InstallLog log(machine_);
  log.set_enabled(true);
  log.SetLogPath("C:\\APP");
  ASSERT_EQ(CreateDirectories("C:\\APP\\A\\B", "C:\\APP", machine_, desktop_, log, "bad"), kDirectoriesOk);
  ASSERT_EQ(CreateDirectories("C:\\APP\\A\\C", "C:\\APP", machine_, desktop_, log, "bad"), kDirectoriesOk);
  ASSERT_EQ(CreateDirectories("C:\\APP\\A", "C:\\APP", machine_, desktop_, log, "bad"), kDirectoriesOk);
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\APP\\A");
  EXPECT_EQ(LogBytes(),
            "DIRECTORY: C:\\APP\\A\r\nDIRECTORY: C:\\APP\\A\\B\r\n\r\n"
            "DIRECTORY: C:\\APP\\A\\C\r\n\r\n");
  EXPECT_TRUE(desktop_.Messages().empty());
}

TEST_F(CreateDirectoriesTest, ALevelThatCannotBeCreatedStopsWithTheTextButLogsTheLevelsMade) {
  ASSERT_TRUE(machine_.CreateDirectory("C:\\APP"));
  sysedit::InstallLog log(machine_);
  log.set_enabled(true);
  log.SetLogPath("C:\\APP");
  // A name longer than the local file system allows cannot be created.
  const std::string too_long(300, 'X');
  EXPECT_EQ(CreateDirectoryPath("C:\\APP\\A\\" + too_long + "\\Y", machine_, desktop_, log,
                                "No such dir."),
            kDirectoriesFailed);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text, "No such dir.");
  EXPECT_EQ(desktop_.Messages()[0].caption, "(default)");
  EXPECT_EQ(LogBytes(), "DIRECTORY: C:\\APP\\A\r\n\r\n");
}

TEST_F(CreateDirectoriesTest, ALongDirectoryListIsSplitRatherThanCut) {
  ASSERT_TRUE(machine_.CreateDirectory("C:\\APP"));
  sysedit::InstallLog log(machine_);
  log.set_enabled(true);
  log.SetLogPath("C:\\APP");
  std::string path = "C:\\APP";
  std::string expected;
  for (int level = 0; level < 40; ++level) {
    path += "\\LEVEL" + std::to_string(level);
    expected += "DIRECTORY: " + path + "\r\n";
  }
  ASSERT_EQ(CreateDirectoryPath(path, machine_, desktop_, log, "bad"), kDirectoriesOk);
  std::string written = LogBytes();
  std::string without_blank_lines;
  for (size_t at = 0; at < written.size();) {
    size_t end = written.find("\r\n", at) + 2;
    if (end - at > 2) without_blank_lines += written.substr(at, end - at);
    at = end;
  }
  EXPECT_EQ(without_blank_lines, expected);
  EXPECT_GT(written.size(), expected.size());  // split into more than one group
}

}  // namespace
}  // namespace install::engine
