// A Program Manager for the host machine: it records every command it
// receives and keeps the groups and items the commands make.
//
// The command text is read as Program Manager reads it: commands in square
// brackets, each a name, optionally followed by arguments in parentheses
// separated by commas; an argument in double quotes may hold commas and
// parentheses, other arguments end at the next , ( ) [ or ] and lose their
// surrounding spaces. A text that does not read this way is refused. The
// commands of one text run in order; the first one refused stops the rest.
//
// Commands (names compare without regard to letter case):
//   CreateGroup(name[, ...])   makes the group the current one, creating it
//                              when missing; a name that is empty or holds a
//                              control character or one of \ / : * ? " < > |
//                              is refused, and then no group is current
//   ShowGroup(name, show)      makes an existing group the current one
//   DeleteGroup(name)          deletes an existing group with its items
//   AddItem(command[, title[, icon file[, icon index[, x, y[, working
//          directory[, hot key[, minimised]]]]]]])
//                              adds an item to the current group; without a
//                              title the program's file name (no extension)
//                              is the title; an item with the same title is
//                              replaced where it stands (as a shortcut file
//                              of that name would be)
//   ReplaceItem(title)         deletes an item of the current group; the next
//                              AddItem takes its place
//   DeleteItem(title)          deletes an item of the current group
//   ExitProgman(...)           accepted, does nothing
// Anything else is refused. Titles and group names compare without regard to
// ASCII letter case and keep their first spelling.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "install/os/program_manager.h"

namespace install::os {

class HostProgramManager : public ProgramManager {
 public:
  struct Item {
    std::string title;
    std::string command;
    std::string icon_file;
    std::string icon_index;
    std::string working_dir;
  };
  struct Group {
    std::string name;
    std::vector<Item> items;
  };
  struct ReceivedCommand {
    std::string text;
    bool accepted = false;
  };

  // Whether a DDE client can be started (StartClient's answer). Default true.
  void set_client_available(bool on) { client_available_ = on; }
  // Whether Program Manager runs and answers. While it does not, every
  // conversation fails and the command is lost (not received). Default true.
  void set_running(bool on) { running_ = on; }

  bool StartClient() override;
  bool SendCommand(const std::string& command) override;

  // Carries out a command text as received over a conversation; true when
  // every command in it was accepted.
  bool Execute(const std::string& text);

  // Every command received, in order, with Program Manager's answer.
  const std::vector<ReceivedCommand>& Received() const { return received_; }
  // The commands received, one a line (each line ends in "\n").
  std::string Commands() const;

  const std::vector<Group>& Groups() const { return groups_; }
  // The group of that name (letter case ignored), or nullptr.
  const Group* FindGroup(const std::string& name) const;
  // The groups and their items as text, one group a section:
  //   [Group name]
  //   Title=command
  //     icon=file,index         (when an icon file was given)
  //     directory=working dir   (when one was given)
  std::string Describe() const;

 private:
  bool RunCommand(const std::string& name, const std::vector<std::string>& args);
  bool AddItem(const std::vector<std::string>& args);
  Group* CurrentGroup();

  bool client_available_ = true;
  bool running_ = true;
  bool client_started_ = false;
  std::vector<ReceivedCommand> received_;
  std::vector<Group> groups_;
  std::optional<std::string> current_group_;
  // Where the next AddItem goes after a ReplaceItem.
  std::optional<std::size_t> replaced_position_;
};

// Splits a command text into its commands: each is its name and arguments.
// False when the text does not read as Program Manager's command language.
struct ProgmanCommand {
  std::string name;
  std::vector<std::string> args;
};
bool ParseProgmanCommands(const std::string& text, std::vector<ProgmanCommand>* commands);

}  // namespace install::os
