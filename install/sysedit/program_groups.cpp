#include "install/sysedit/program_groups.h"

#include "install/os/ascii_case.h"

namespace install::sysedit {

using script::ProgramItemAction;
using script::ProgramItemEntry;

namespace {

std::string Command(const char* name, const std::string& argument) {
  return std::string("[") + name + "(" + argument + ")]";
}

// One conversation; 1 when Program Manager accepted the command.
int Send(os::ProgramManager& progman, const std::string& command) {
  return progman.SendCommand(command) ? 1 : 0;
}

// Sends one entry's commands; `last_group` is the group of the last
// CreateGroup sent. Returns the number of commands accepted.
int SendEntry(const ProgramItemEntry& entry, const script::MacroValues& macros,
              os::ProgramManager& progman, InstallLog& log, std::string& last_group) {
  std::string group = entry.group;
  script::ExpandPrefix(group, macros, ProgramItemEntry::kGroupCapacity);
  const bool remove = entry.action == ProgramItemAction::Remove;
  if (remove && entry.command.empty()) return Send(progman, DeleteGroupCommand(group));

  int accepted = 0;
  if (last_group.empty() || !os::EqualsIgnoringCase(last_group, group)) {
    accepted += Send(progman, CreateGroupCommand(group));
    last_group = group;
  }
  if (entry.command.empty()) {
    log.AppendLogLine(WinItemLogEntry(group, entry.title));
    return accepted;
  }
  // DeleteItem and ReplaceItem name the title as written; the AddItem
  // command carries the expanded texts.
  if (remove) return accepted + Send(progman, DeleteItemCommand(entry.title));
  if (entry.action == ProgramItemAction::Replace) {
    accepted += Send(progman, ReplaceItemCommand(entry.title));
  }
  std::string command = entry.command;
  std::string title = entry.title;
  std::string icon_file = entry.icon_file;
  std::string working_dir = entry.working_dir;
  for (std::string* text : {&command, &title, &icon_file, &working_dir}) {
    script::ExpandAll(*text, macros);
  }
  accepted += Send(progman, AddItemCommand(command, title, icon_file, entry.icon_index, working_dir));
  log.AppendLogLine(WinItemLogEntry(group, entry.title));
  return accepted;
}

}  // namespace

std::string CreateGroupCommand(const std::string& group) { return Command("CreateGroup", group); }
std::string DeleteGroupCommand(const std::string& group) { return Command("DeleteGroup", group); }
std::string DeleteItemCommand(const std::string& title) { return Command("DeleteItem", title); }
std::string ReplaceItemCommand(const std::string& title) { return Command("ReplaceItem", title); }

std::string AddItemCommand(const std::string& command, const std::string& title,
                           const std::string& icon_file, const std::string& icon_index,
                           const std::string& working_dir) {
  std::string text = "[AddItem(" + command;
  if (!title.empty()) {
    text += ", " + title;
    if (!icon_file.empty()) {
      text += ", " + icon_file;
      if (!icon_index.empty()) {
        text += ", " + icon_index;
        if (!working_dir.empty()) text += ", -1, -1," + working_dir;
      } else if (!working_dir.empty()) {
        text += ", , -1, -1," + working_dir;
      }
    } else if (!working_dir.empty()) {
      text += ", , , -1, -1," + working_dir;
    }
  }
  return text + ")]";
}

int CreateProgramGroups(const std::vector<ProgramItemEntry>& items,
                        const script::MacroValues& macros, os::ProgramManager& progman,
                        InstallLog& log) {
  if (items.empty() || !progman.StartClient()) return 0;
  std::string last_group;
  int accepted = 0;
  for (const ProgramItemEntry& entry : items) {
    accepted += SendEntry(entry, macros, progman, log, last_group);
  }
  return accepted;
}

int CreateProgramGroups(const script::InstallPlan& plan, os::ProgramManager& progman,
                        InstallLog& log) {
  return CreateProgramGroups(plan.program_items, plan.macros, progman, log);
}

}  // namespace install::sysedit
