// Program groups and items sent over DDE to Wine's own Program Manager
// server (its shell answers as "PROGMAN" and keeps each group as a folder of
// the Start Menu, each item as a shortcut file in it).
#include "install/os/win32/win32_program_manager.h"

#include "install/os/win32/windows_api.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "install/os/win32/win32_machine.h"
#include "install/sysedit/program_groups.h"

namespace install::os {
namespace {

using script::ProgramItemAction;
using script::ProgramItemEntry;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ProgramItemEntry Entry(const std::string& group, const std::string& command, const std::string& title,
                       ProgramItemAction action = ProgramItemAction::Add) {
  ProgramItemEntry entry;
  entry.group = group;
  entry.command = command;
  entry.title = title;
  entry.action = action;
  return entry;
}

class Win32ProgramManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(progman_.StartClient());
    // Wine's shell answers once its desktop is up; wait for it, within a bound.
    bool answering = false;
    for (int attempt = 0; attempt < 120 && !answering; ++attempt) {
      answering = progman_.SendCommand("[ExitProgman(1)]");
      if (!answering) Sleep(500);
    }
    ASSERT_TRUE(answering) << "no Program Manager answered within a minute";

    char path[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE));
    const std::string id = std::to_string(GetCurrentProcessId());
    group_ = "Quillmarsh Test " + id;
    group_dir_ = std::string(path) + "\\" + group_;
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    program_ = path;
    ASSERT_TRUE(machine_.GetTempPath(&app_dir_));
    app_dir_ += "qm-progman-" + id;
    ASSERT_TRUE(machine_.CreateDirectory(app_dir_));
    macros_.default_dir = app_dir_;
    log_.set_enabled(true);
    log_.SetLogPath(app_dir_);
  }

  void TearDown() override {
    for (const char* title : {"\\Quill Test.lnk", "\\Second.lnk"}) DeleteFileA((group_dir_ + title).c_str());
    RemoveDirectoryA(group_dir_.c_str());
    DeleteFileA((app_dir_ + "\\install.log").c_str());
    RemoveDirectoryA(app_dir_.c_str());
  }

  std::string Log() const {
    std::ifstream in(app_dir_ + "\\install.log", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  Win32ProgramManager progman_;
  Win32Machine machine_;
  sysedit::InstallLog log_{machine_};
  script::MacroValues macros_;
  std::string group_, group_dir_, program_, app_dir_;
};

TEST_F(Win32ProgramManagerTest, GroupAndItemsExistAfterwardsAndGoAgain) {
  ProgramItemEntry first = Entry(group_, program_, "Quill Test");
  first.working_dir = "$DEFAULTDIR$\\";
  first.icon_file = program_;
  first.icon_index = "0";
  std::vector<ProgramItemEntry> items = {first, Entry(group_, program_, "Second")};
  EXPECT_EQ(sysedit::CreateProgramGroups(items, macros_, progman_, log_), 3);
  EXPECT_TRUE(Exists(group_dir_)) << group_dir_;
  EXPECT_TRUE(Exists(group_dir_ + "\\Quill Test.lnk"));
  EXPECT_TRUE(Exists(group_dir_ + "\\Second.lnk"));
  EXPECT_EQ(Log(), "WINITEM: \"" + group_ + "\", \"Quill Test\"\r\n" + "WINITEM: \"" + group_ + "\", \"Second\"\r\n");

  // Removing an item and then the group: nothing is logged.
  items = {Entry(group_, program_, "Second", ProgramItemAction::Remove)};
  EXPECT_EQ(sysedit::CreateProgramGroups(items, macros_, progman_, log_), 2);  // CreateGroup, DeleteItem
  EXPECT_FALSE(Exists(group_dir_ + "\\Second.lnk"));
  EXPECT_TRUE(Exists(group_dir_ + "\\Quill Test.lnk"));
  items = {Entry(group_, "", "", ProgramItemAction::Remove)};
  EXPECT_EQ(sysedit::CreateProgramGroups(items, macros_, progman_, log_), 1);
  EXPECT_FALSE(Exists(group_dir_));
  const std::string log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
}

TEST_F(Win32ProgramManagerTest, RefusedCommandsLeaveTheRestGoing) {
  // Wine's Program Manager refuses an item whose program it cannot find, and
  // an item for a group it never heard of is logged all the same.
  std::vector<ProgramItemEntry> items = {Entry(group_, app_dir_ + "\\MISSING.EXE", "Missing"),
                                         Entry(group_, program_, "Second")};
  EXPECT_EQ(sysedit::CreateProgramGroups(items, macros_, progman_, log_), 2);  // CreateGroup, one AddItem
  EXPECT_FALSE(Exists(group_dir_ + "\\Missing.lnk"));
  EXPECT_TRUE(Exists(group_dir_ + "\\Second.lnk"));
  EXPECT_EQ(Log(), "WINITEM: \"" + group_ + "\", \"Missing\"\r\n" + "WINITEM: \"" + group_ + "\", \"Second\"\r\n");
  EXPECT_FALSE(progman_.SendCommand("[NoSuchCommand()]"));
  EXPECT_FALSE(progman_.SendCommand("not a command"));
}

TEST(Win32ProgramManagerClientTest, NothingIsSentBeforeTheClientStarts) {
  Win32ProgramManager progman;
  EXPECT_FALSE(progman.SendCommand("[ExitProgman(1)]"));
  EXPECT_TRUE(progman.StartClient());
  EXPECT_TRUE(progman.StartClient());  // once started, it stays
}

}  // namespace
}  // namespace install::os
