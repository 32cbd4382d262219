#include "install/sysedit/program_groups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/os/host/host_machine.h"
#include "install/os/host/host_program_manager.h"
#include "install/script/script_cursor.h"
#include "tests/support/fixture_builder.h"

namespace install::sysedit {
namespace {

using script::ProgramItemEntry;

// A WINITEM line as the parser reads it.
ProgramItemEntry Winitem(const std::string& line) {
  script::ScriptCursor cursor;
  cursor.SetLine(line);
  std::string keyword;
  cursor.ReadKeyword(keyword);
  return script::ParseProgramItem(cursor);
}

class ProgramGroupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.MapDrive('C', dir_.path(), os::DriveType::Fixed);
    ASSERT_TRUE(machine_.CreateDirectory("C:\\APP"));
    log_.set_enabled(true);
    log_.SetLogPath("C:\\APP");
    macros_.default_dir = "C:\\APP";
    macros_.windows_dir = "C:\\WINDOWS";
    macros_.answers[0] = "Bob";
  }

  int Run(const std::vector<std::string>& lines) {
    std::vector<ProgramItemEntry> items;
    for (const std::string& line : lines) items.push_back(Winitem(line));
    return CreateProgramGroups(items, macros_, progman_, log_);
  }

  std::string Log() {
    auto bytes = test_support::ReadLocalFile(dir_.path() / "APP" / "install.log");
    return bytes ? std::string(bytes->begin(), bytes->end()) : "";
  }

  test_support::TempDir dir_;
  os::HostMachine machine_;
  InstallLog log_{machine_};
  script::MacroValues macros_;
  os::HostProgramManager progman_;
};

TEST(AddItemCommandTest, FieldsGoOnlyWhereProgramManagerExpectsThem) {
  struct Case {
    const char* title;
    const char* icon;
    const char* index;
    const char* dir;
    const char* expected;
  } cases[] = {
      {"", "", "", "", "[AddItem(C:\\A.EXE)]"},
      {"", "C:\\A.ICO", "1", "C:\\W", "[AddItem(C:\\A.EXE)]"},  // nothing without a title
      {"T", "", "", "", "[AddItem(C:\\A.EXE, T)]"},
      {"T", "C:\\A.ICO", "", "", "[AddItem(C:\\A.EXE, T, C:\\A.ICO)]"},
      {"T", "C:\\A.ICO", "3", "", "[AddItem(C:\\A.EXE, T, C:\\A.ICO, 3)]"},
      {"T", "C:\\A.ICO", "3", "C:\\W", "[AddItem(C:\\A.EXE, T, C:\\A.ICO, 3, -1, -1,C:\\W)]"},
      {"T", "C:\\A.ICO", "", "C:\\W", "[AddItem(C:\\A.EXE, T, C:\\A.ICO, , -1, -1,C:\\W)]"},
      {"T", "", "", "C:\\W", "[AddItem(C:\\A.EXE, T, , , -1, -1,C:\\W)]"},
      {"T", "", "3", "", "[AddItem(C:\\A.EXE, T)]"},  // an index needs an icon file
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AddItemCommand("C:\\A.EXE", c.title, c.icon, c.index, c.dir), c.expected)
        << c.title << "|" << c.icon << "|" << c.index << "|" << c.dir;
  }
  EXPECT_EQ(CreateGroupCommand("Games"), "[CreateGroup(Games)]");
  EXPECT_EQ(DeleteGroupCommand("Games"), "[DeleteGroup(Games)]");
  EXPECT_EQ(DeleteItemCommand("My App"), "[DeleteItem(My App)]");
  EXPECT_EQ(ReplaceItemCommand("My App"), "[ReplaceItem(My App)]");
}

TEST_F(ProgramGroupsTest, ItemsOfOneGroupShareOneCreateGroup) {
  int accepted = Run({"WINITEM \"Tools\" \"$DEFAULTDIR$\\APP.EXE\" \"My App\" \"$DEFAULTDIR$\\\" "
                      "\"$DEFAULTDIR$\\APP.ICO\" 0",
                      "WINITEM \"Tools\" \"$WINDIR$\\NOTEPAD.EXE $DEFAULTDIR$\\README.TXT\" \"Read Me\"",
                      "WINITEM \"TOOLS\" \"$DEFAULTDIR$\\HELP.EXE\" \"Help for $ASK1$\""});
  EXPECT_EQ(progman_.Commands(),
            "[CreateGroup(Tools)]\n"
            "[AddItem(C:\\APP\\APP.EXE, My App, C:\\APP\\APP.ICO, 0, -1, -1,C:\\APP\\)]\n"
            "[AddItem(C:\\WINDOWS\\NOTEPAD.EXE C:\\APP\\README.TXT, Read Me)]\n"
            "[AddItem(C:\\APP\\HELP.EXE, Help for Bob)]\n");
  EXPECT_EQ(accepted, 4);
  // The log has the title as written.
  EXPECT_EQ(Log(),
            "WINITEM: \"Tools\", \"My App\"\r\n"
            "WINITEM: \"Tools\", \"Read Me\"\r\n"
            "WINITEM: \"TOOLS\", \"Help for $ASK1$\"\r\n");
  const auto* group = progman_.FindGroup("Tools");
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->items.size(), 3u);
  EXPECT_EQ(group->items[0].working_dir, "C:\\APP\\");
  EXPECT_EQ(group->items[2].title, "Help for Bob");
}

TEST_F(ProgramGroupsTest, AGroupDifferentFromTheLastOneIsCreatedAgain) {
  Run({"WINITEM \"A\" \"A1.EXE\" \"a1\"", "WINITEM \"B\" \"B1.EXE\" \"b1\"",
       "WINITEM \"A\" \"A2.EXE\" \"a2\""});
  EXPECT_EQ(progman_.Commands(),
            "[CreateGroup(A)]\n[AddItem(A1.EXE, a1)]\n"
            "[CreateGroup(B)]\n[AddItem(B1.EXE, b1)]\n"
            "[CreateGroup(A)]\n[AddItem(A2.EXE, a2)]\n");
  EXPECT_EQ(progman_.FindGroup("A")->items.size(), 2u);
}

TEST_F(ProgramGroupsTest, AGroupWithoutCommandIsCreatedAndLogged) {
  Run({"WINITEM \"Games\"", "WINITEM \"Games\" \"SOL.EXE\" \"Solitaire\"", "WINITEM \"Games\""});
  // The second group-only entry finds Games as the last group: nothing sent.
  EXPECT_EQ(progman_.Commands(), "[CreateGroup(Games)]\n[AddItem(SOL.EXE, Solitaire)]\n");
  EXPECT_EQ(Log(),
            "WINITEM: \"Games\", \"\"\r\n"
            "WINITEM: \"Games\", \"Solitaire\"\r\n"
            "WINITEM: \"Games\", \"\"\r\n");
}

TEST_F(ProgramGroupsTest, RemovingGroupsAndItemsIsNotLogged) {
  Run({"WINITEM \"Old\" \"OLD.EXE\" \"Old App\"",
       "WINITEM \"Gone\", remove",
       "WINITEM \"Old\" \"OLD.EXE\" \"Old App\", Remove"});
  // DeleteGroup leaves "Old" as the last group created: no second CreateGroup.
  EXPECT_EQ(progman_.Commands(),
            "[CreateGroup(Old)]\n[AddItem(OLD.EXE, Old App)]\n"
            "[DeleteGroup(Gone)]\n"
            "[DeleteItem(Old App)]\n");
  EXPECT_EQ(Log(), "WINITEM: \"Old\", \"Old App\"\r\n");
  EXPECT_TRUE(progman_.FindGroup("Old")->items.empty());
}

TEST_F(ProgramGroupsTest, ReplaceSendsReplaceItemBeforeAddItem) {
  Run({"WINITEM \"G\" \"V1.EXE\" \"App\"", "WINITEM \"G\" \"$DEFAULTDIR$\\V2.EXE\" \"App\", replace"});
  EXPECT_EQ(progman_.Commands(),
            "[CreateGroup(G)]\n[AddItem(V1.EXE, App)]\n"
            "[ReplaceItem(App)]\n[AddItem(C:\\APP\\V2.EXE, App)]\n");
  EXPECT_EQ(Log(), "WINITEM: \"G\", \"App\"\r\nWINITEM: \"G\", \"App\"\r\n");
  ASSERT_EQ(progman_.FindGroup("G")->items.size(), 1u);
  EXPECT_EQ(progman_.FindGroup("G")->items[0].command, "C:\\APP\\V2.EXE");
}

TEST_F(ProgramGroupsTest, GroupNamesExpandOnlyAMacroAtTheirStart) {
  macros_.answers[1] = "Maker";
  Run({"WINITEM \"$ASK2$ Tools\" \"A.EXE\" \"A\"", "WINITEM \"Tools of $ASK2$\" \"B.EXE\" \"B\""});
  EXPECT_EQ(progman_.Commands(),
            "[CreateGroup(Maker Tools)]\n[AddItem(A.EXE, A)]\n"
            "[CreateGroup(Tools of $ASK2$)]\n[AddItem(B.EXE, B)]\n");
  EXPECT_EQ(Log(), "WINITEM: \"Maker Tools\", \"A\"\r\nWINITEM: \"Tools of $ASK2$\", \"B\"\r\n");
}

TEST_F(ProgramGroupsTest, ExpandedTextsAreCutToTheirCapacities) {
  macros_.default_dir = std::string(ProgramItemEntry::kGroupCapacity, 'D');
  Run({"WINITEM \"$DEFAULTDIR$X\" \"$DEFAULTDIR$\\$DEFAULTDIR$\\A.EXE\""});
  std::vector<std::string> lines;
  for (const auto& command : progman_.Received()) lines.push_back(command.text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "[CreateGroup(" + std::string(ProgramItemEntry::kGroupCapacity, 'D') + ")]");
  const std::string command = macros_.default_dir + "\\" + macros_.default_dir + "\\A.EXE";
  EXPECT_EQ(lines[1], "[AddItem(" + command.substr(0, script::kExpandedTextCapacity) + ")]");
}

TEST_F(ProgramGroupsTest, RefusedOrLostCommandsDoNotStopTheRest) {
  // A group name Program Manager refuses: its items are refused too, the
  // next group goes on; every item is logged all the same.
  int accepted = Run({"WINITEM \"Bad: name\" \"A.EXE\" \"A\"", "WINITEM \"Good\" \"B.EXE\" \"B\""});
  EXPECT_EQ(accepted, 2);
  EXPECT_EQ(progman_.Received().size(), 4u);
  EXPECT_EQ(progman_.FindGroup("Bad: name"), nullptr);
  EXPECT_EQ(progman_.FindGroup("Good")->items.size(), 1u);
  EXPECT_EQ(Log(), "WINITEM: \"Bad: name\", \"A\"\r\nWINITEM: \"Good\", \"B\"\r\n");

  // Program Manager not running: every command is lost, the entries are logged.
  os::HostProgramManager stopped;
  stopped.set_running(false);
  std::vector<ProgramItemEntry> items = {Winitem("WINITEM \"C\" \"C.EXE\" \"C\"")};
  EXPECT_EQ(CreateProgramGroups(items, macros_, stopped, log_), 0);
  EXPECT_EQ(stopped.Commands(), "");
  EXPECT_NE(Log().find("WINITEM: \"C\", \"C\"\r\n"), std::string::npos);
}

TEST_F(ProgramGroupsTest, NoClientOrNoItemsSendsAndLogsNothing) {
  os::HostProgramManager no_client;
  no_client.set_client_available(false);
  std::vector<ProgramItemEntry> items = {Winitem("WINITEM \"G\" \"A.EXE\" \"A\"")};
  EXPECT_EQ(CreateProgramGroups(items, macros_, no_client, log_), 0);
  EXPECT_EQ(no_client.Commands(), "");

  // An empty list does not even start the client.
  os::HostProgramManager unused;
  EXPECT_EQ(CreateProgramGroups({}, macros_, unused, log_), 0);
  EXPECT_FALSE(unused.SendCommand("[CreateGroup(X)]"));
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace install::sysedit
