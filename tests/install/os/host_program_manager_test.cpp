#include "install/os/host/host_program_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace install::os {
namespace {

std::vector<std::string> Titles(const HostProgramManager::Group* group) {
  std::vector<std::string> titles;
  if (group) {
    for (const auto& item : group->items) titles.push_back(item.title);
  }
  return titles;
}

TEST(ParseProgmanCommandsTest, ReadsNamesAndArgumentsAsProgramManagerDoes) {
  struct Case {
    const char* text;
    std::vector<ProgmanCommand> expected;
  } cases[] = {
      {"[CreateGroup(Games)]", {{"CreateGroup", {"Games"}}}},
      {"  [ ExitProgman ]  ", {{"ExitProgman", {}}}},
      {"[ExitProgman()]", {{"ExitProgman", {}}}},
      {"[AddItem(C:\\APP\\APP.EXE, My App)]", {{"AddItem", {"C:\\APP\\APP.EXE", "My App"}}}},
      {"[AddItem(C:\\APP.EXE, T, , , -1, -1,C:\\APP)]",
       {{"AddItem", {"C:\\APP.EXE", "T", "", "", "-1", "-1", "C:\\APP"}}}},
      // Quotes keep commas, parentheses and outer blanks.
      {"[AddItem(\"C:\\A B\\X.EXE a,b\", \" Tools (new) \")]",
       {{"AddItem", {"C:\\A B\\X.EXE a,b", " Tools (new) "}}}},
      {"[CreateGroup(A)][AddItem(x.exe)] [DeleteItem( x )]",
       {{"CreateGroup", {"A"}}, {"AddItem", {"x.exe"}}, {"DeleteItem", {"x"}}}},
  };
  for (const Case& c : cases) {
    std::vector<ProgmanCommand> commands;
    ASSERT_TRUE(ParseProgmanCommands(c.text, &commands)) << c.text;
    ASSERT_EQ(commands.size(), c.expected.size()) << c.text;
    for (std::size_t i = 0; i < commands.size(); ++i) {
      EXPECT_EQ(commands[i].name, c.expected[i].name) << c.text;
      EXPECT_EQ(commands[i].args, c.expected[i].args) << c.text;
    }
  }

  const char* broken[] = {
      "",
      "CreateGroup(Games)",              // no brackets
      "[CreateGroup(Games)",             // unclosed command
      "[CreateGroup(Games]",             // unclosed arguments
      "[(Games)]",                       // no name
      "[AddItem(\"open, T)]",            // unclosed quote
      "[AddItem(My App (beta), x)]",     // a bare parenthesis ends the arguments
      "[CreateGroup(A)] trailing",       // text after the last command
      "[AddItem(\"a\"b)]",               // text after a quoted argument
  };
  for (const char* text : broken) {
    std::vector<ProgmanCommand> commands;
    EXPECT_FALSE(ParseProgmanCommands(text, &commands)) << text;
  }
}

TEST(HostProgramManagerTest, GroupsAndItemsFollowTheCommands) {
  HostProgramManager progman;
  ASSERT_TRUE(progman.StartClient());
  EXPECT_TRUE(progman.SendCommand("[CreateGroup(Tools)]"));
  EXPECT_TRUE(progman.SendCommand("[AddItem(C:\\APP\\APP.EXE, My App, C:\\APP\\APP.ICO, 0, -1, -1,C:\\APP)]"));
  EXPECT_TRUE(progman.SendCommand("[AddItem(C:\\APP\\README.TXT)]"));  // title from the file name
  EXPECT_TRUE(progman.SendCommand("[CreateGroup(Games)]"));
  EXPECT_TRUE(progman.SendCommand("[AddItem(C:\\G\\SOL.EXE /x, Solitaire)]"));
  // Back to an existing group, in another spelling: no second group.
  EXPECT_TRUE(progman.SendCommand("[CreateGroup(TOOLS)]"));
  EXPECT_TRUE(progman.SendCommand("[AddItem(C:\\APP\\NEW.EXE, my app)]"));  // replaces My App

  ASSERT_EQ(progman.Groups().size(), 2u);
  const HostProgramManager::Group* tools = progman.FindGroup("tools");
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->name, "Tools");
  EXPECT_EQ(Titles(tools), (std::vector<std::string>{"My App", "README"}));
  EXPECT_EQ(tools->items[0].command, "C:\\APP\\NEW.EXE");
  EXPECT_EQ(tools->items[0].icon_file, "");
  EXPECT_EQ(Titles(progman.FindGroup("Games")), std::vector<std::string>{"Solitaire"});
  EXPECT_EQ(progman.FindGroup("Games")->items[0].command, "C:\\G\\SOL.EXE /x");

  EXPECT_EQ(progman.Describe(),
            "[Tools]\n"
            "My App=C:\\APP\\NEW.EXE\n"
            "README=C:\\APP\\README.TXT\n"
            "[Games]\n"
            "Solitaire=C:\\G\\SOL.EXE /x\n");
  EXPECT_EQ(progman.Commands().substr(0, 41), "[CreateGroup(Tools)]\n[AddItem(C:\\APP\\APP.");
  EXPECT_EQ(progman.Received().size(), 7u);
}

TEST(HostProgramManagerTest, IconAndDirectoryAreKeptAndDescribed) {
  HostProgramManager progman;
  progman.StartClient();
  progman.SendCommand("[CreateGroup(G)]");
  progman.SendCommand("[AddItem(C:\\APP\\APP.EXE, My App, C:\\APP\\APP.ICO, 2, -1, -1,C:\\APP\\)]");
  progman.SendCommand("[AddItem(C:\\APP\\B.EXE, B, , , -1, -1,C:\\WORK)]");
  const auto* group = progman.FindGroup("G");
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->items.size(), 2u);
  EXPECT_EQ(group->items[0].icon_file, "C:\\APP\\APP.ICO");
  EXPECT_EQ(group->items[0].icon_index, "2");
  EXPECT_EQ(group->items[0].working_dir, "C:\\APP\\");
  EXPECT_EQ(progman.Describe(),
            "[G]\n"
            "My App=C:\\APP\\APP.EXE\n"
            "  icon=C:\\APP\\APP.ICO,2\n"
            "  directory=C:\\APP\\\n"
            "B=C:\\APP\\B.EXE\n"
            "  directory=C:\\WORK\n");
}

TEST(HostProgramManagerTest, ReplaceDeleteAndDeleteGroup) {
  HostProgramManager progman;
  progman.StartClient();
  progman.SendCommand("[CreateGroup(G)]");
  for (const char* title : {"A", "B", "C"}) {
    progman.SendCommand(std::string("[AddItem(X.EXE, ") + title + ")]");
  }
  // The replacing item takes the place of the one replaced.
  EXPECT_TRUE(progman.SendCommand("[ReplaceItem(b)]"));
  EXPECT_TRUE(progman.SendCommand("[AddItem(Y.EXE, B2)]"));
  EXPECT_EQ(Titles(progman.FindGroup("G")), (std::vector<std::string>{"A", "B2", "C"}));
  EXPECT_TRUE(progman.SendCommand("[DeleteItem(A)]"));
  EXPECT_FALSE(progman.SendCommand("[DeleteItem(A)]"));    // gone already
  EXPECT_FALSE(progman.SendCommand("[ReplaceItem(Z)]"));   // never there
  EXPECT_EQ(Titles(progman.FindGroup("G")), (std::vector<std::string>{"B2", "C"}));

  EXPECT_TRUE(progman.SendCommand("[DeleteGroup(g)]"));
  EXPECT_EQ(progman.FindGroup("G"), nullptr);
  // No group is current any more: items have nowhere to go.
  EXPECT_FALSE(progman.SendCommand("[AddItem(X.EXE, A)]"));
  EXPECT_FALSE(progman.SendCommand("[DeleteGroup(G)]"));
  EXPECT_FALSE(progman.SendCommand("[ShowGroup(G, 1)]"));
  progman.SendCommand("[CreateGroup(H)]");
  progman.SendCommand("[CreateGroup(I)]");
  EXPECT_TRUE(progman.SendCommand("[ShowGroup(H, 1)]"));
  EXPECT_TRUE(progman.SendCommand("[AddItem(X.EXE, in H)]"));
  EXPECT_EQ(Titles(progman.FindGroup("H")), std::vector<std::string>{"in H"});
}

TEST(HostProgramManagerTest, RefusedCommandsAreReceivedAndChangeNothing) {
  HostProgramManager progman;
  progman.StartClient();
  EXPECT_FALSE(progman.SendCommand("[AddItem(X.EXE, T)]"));  // no group yet
  EXPECT_TRUE(progman.SendCommand("[CreateGroup(Good)]"));
  for (const char* name : {"", "A:B", "A\\B", "A/B", "Why?", "Star*", "<x>", "Pipe|", "Tab\t"}) {
    EXPECT_FALSE(progman.SendCommand("[CreateGroup(" + std::string(name) + ")]")) << name;
  }
  // After a refused CreateGroup no group is current, so the item is not
  // put into the group named before it.
  EXPECT_FALSE(progman.SendCommand("[AddItem(X.EXE, T)]"));
  EXPECT_TRUE(progman.FindGroup("Good")->items.empty());
  EXPECT_FALSE(progman.SendCommand("[Reboot()]"));
  EXPECT_FALSE(progman.SendCommand("[AddItem(, T)]"));
  EXPECT_FALSE(progman.SendCommand("not a command"));
  // The commands of one text stop at the first refused one.
  EXPECT_FALSE(progman.SendCommand("[CreateGroup(K)][Bad()][CreateGroup(L)]"));
  EXPECT_NE(progman.FindGroup("K"), nullptr);
  EXPECT_EQ(progman.FindGroup("L"), nullptr);

  ASSERT_EQ(progman.Received().size(), 16u);
  EXPECT_FALSE(progman.Received()[0].accepted);
  EXPECT_TRUE(progman.Received()[1].accepted);
  EXPECT_EQ(progman.Received()[14].text, "not a command");
}

TEST(HostProgramManagerTest, NoClientOrNoProgramManagerLosesEveryCommand) {
  HostProgramManager progman;
  // Before the client is started nothing can be sent.
  EXPECT_FALSE(progman.SendCommand("[CreateGroup(A)]"));
  progman.set_client_available(false);
  EXPECT_FALSE(progman.StartClient());
  EXPECT_FALSE(progman.SendCommand("[CreateGroup(A)]"));

  progman.set_client_available(true);
  ASSERT_TRUE(progman.StartClient());
  progman.set_running(false);
  EXPECT_FALSE(progman.SendCommand("[CreateGroup(A)]"));
  EXPECT_TRUE(progman.Received().empty());
  EXPECT_EQ(progman.Commands(), "");
  EXPECT_TRUE(progman.Groups().empty());

  progman.set_running(true);
  EXPECT_TRUE(progman.SendCommand("[CreateGroup(A)]"));
  EXPECT_EQ(progman.Commands(), "[CreateGroup(A)]\n");
}

}  // namespace
}  // namespace install::os
