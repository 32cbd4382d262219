#include "install/sysedit/install_log.h"

#include <gtest/gtest.h>

#include "tests/support/fixture_builder.h"
#include "tests/support/host_drive_test.h"

namespace install::sysedit {
namespace {

class InstallLogTest : public test_support::HostDriveTest {};

TEST_F(InstallLogTest, WithoutUninstallNothingIsWrittenOrKept) {
  InstallLog log(machine_);
  ASSERT_TRUE(machine_.CreateDirectory("C:\\APP"));
  log.SetLogPath("C:\\APP");
  EXPECT_EQ(log.AppendLogLine(FileLogEntry("C:\\APP\\A.TXT")), 0);
  EXPECT_EQ(log.pending_text(), "");
  EXPECT_EQ(LogBytes(), "<none>");
}

TEST_F(InstallLogTest, SecondRunAppendsAfterTheFirst) {
  ASSERT_TRUE(machine_.CreateDirectory("C:\\APP"));
  for (int run = 1; run <= 2; ++run) {
    InstallLog log(machine_);
    log.set_enabled(true);
    log.SetLogPath("C:\\APP");
    EXPECT_EQ(log.AppendLogLine(FileLogEntry("C:\\APP\\RUN" + std::to_string(run) + ".EXE")), 1);
  }
  EXPECT_EQ(LogBytes(), "FILE: C:\\APP\\RUN1.EXE\r\nFILE: C:\\APP\\RUN2.EXE\r\n");
}

TEST_F(InstallLogTest, ALogThatCannotBeOpenedIsNeitherTruncatedNorLost) {
  ASSERT_TRUE(machine_.CreateDirectory("C:\\APP"));
  dir_.Write("APP/install.log", std::string("EARLIER\r\n"));
  ASSERT_TRUE(machine_.SetAttributes("C:\\APP\\INSTALL.LOG", os::kAttrReadOnly));
  InstallLog log(machine_);
  log.set_enabled(true);
  log.SetLogPath("C:\\APP");
  EXPECT_EQ(log.AppendLogLine("FILE: C:\\APP\\A"), -1);
  EXPECT_EQ(log.pending_text(), "FILE: C:\\APP\\A\n");
  EXPECT_EQ(LogBytes(), "EARLIER\r\n");
  ASSERT_TRUE(machine_.SetAttributes("C:\\APP\\INSTALL.LOG", os::kAttrArchive));
  EXPECT_EQ(log.AppendLogLine("FILE: C:\\APP\\B"), 1);
  // A waiting entry without a line end of its own gets one: the next entry
  // must not run on in the same line.
  EXPECT_EQ(LogBytes(), "EARLIER\r\nFILE: C:\\APP\\A\r\nFILE: C:\\APP\\B\r\n");
}

TEST_F(InstallLogTest, WaitingTextFillsItsCapacityExactlyAndNoFurther) {
  InstallLog log(machine_);
  log.set_enabled(true);
  log.SetLogPath("C:\\NOT YET");
  const std::string first = "DIRECTORY: " + std::string(kPendingLogCapacity - 12, 'D') + "\n";
  ASSERT_EQ(first.size(), kPendingLogCapacity);
  EXPECT_EQ(log.AppendLogLine(first), 0);
  EXPECT_EQ(log.pending_text(), first);
  EXPECT_EQ(log.AppendLogLine("X"), 0);  // "X" and its line end would not fit
  EXPECT_EQ(log.pending_text(), first);
  ASSERT_TRUE(machine_.CreateDirectory("C:\\NOT YET"));
  EXPECT_EQ(log.AppendLogLine("FILE: C:\\NOT YET\\A"), 1);
  EXPECT_EQ(LogBytes("NOT YET/install.log"), first.substr(0, first.size() - 1) + "\r\nFILE: C:\\NOT YET\\A\r\n");
}

TEST_F(InstallLogTest, EveryEntryKindIsSpelledExactly) {
  EXPECT_EQ(DefaultDirLogEntry("C:\\APP"), "DEFAULTDIR: C:\\APP");
  EXPECT_EQ(DirectoryLogEntry("C:\\APP\\SUB"), "DIRECTORY: C:\\APP\\SUB");
  EXPECT_EQ(FileLogEntry("C:\\APP\\X.DLL"), "FILE: C:\\APP\\X.DLL");
  EXPECT_EQ(RenameLogEntry("C:\\NEW.INI", "C:\\OLD.INI"), "RENAME: C:\\NEW.INI, C:\\OLD.INI");
  EXPECT_EQ(UninstallEndLogEntry("Done."), "UNINSTALLENDPROMPT: \"Done.\"");
  EXPECT_EQ(UninstallTitleLogEntry("UnInstall"), "UNINSTALLTITLEPROMPT: \"UnInstall\"");
  EXPECT_EQ(RegServerLogEntry("C:\\APP\\S.OCX"), "RegServer: \"C:\\APP\\S.OCX\"");
  EXPECT_EQ(AutoexecLogEntry("", "SET X=1"), "AUTOEXEC: \"\", \"SET X=1\"");
  EXPECT_EQ(ConfigLogEntry("FILES=20", "FILES=40"), "CONFIG: \"FILES=20\", \"FILES=40\"");
  EXPECT_EQ(IniKeyLogEntry("Sec", "Key", "V", "WIN.INI"), "INIFILE: \"Sec\", \"Key\", \"V\", \"WIN.INI\"");
  EXPECT_EQ(IniKeyLogEntry("Sec", "Key", "V", "WIN.INI", "old \"v\""),
            "INIFILE: \"Sec\", \"Key\", \"V\", \"WIN.INI\", \"old \"v\"\"");
  EXPECT_EQ(IniSectionLogEntry("Sec", "APP.INI"), "INIFILE: \"Sec\", \"APP.INI\"");
  EXPECT_EQ(AddTextLogEntry("", "C:\\A.TXT", "line"), "ADDTEXT: \"\", C:\\A.TXT, \"line\"");
  EXPECT_EQ(RegKeyLogEntry("HKEY_LOCAL_MACHINE", "Software\\Q"),
            "REGKEY: \"HKEY_LOCAL_MACHINE\", \"Software\\Q\"");
  EXPECT_EQ(WinItemLogEntry("Group", ""), "WINITEM: \"Group\", \"\"");
}

}  // namespace
}  // namespace install::sysedit
