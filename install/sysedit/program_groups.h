// Program Manager groups and items: the script's WINITEM entries turned into
// Program Manager commands after a completed installation, each sent in its
// own DDE conversation, with a WINITEM entry in the install log for every
// item added and every group named without a command.
//
// Commands sent, by entry:
//   remove, no command       [DeleteGroup(group)]              nothing logged
//   group differs from the   [CreateGroup(group)]              (before the rest)
//   last group created
//   no command               nothing more                      WINITEM group, title
//   remove                   [DeleteItem(title)]               nothing logged
//   replace                  [ReplaceItem(title)], then AddItem as below
//   otherwise                [AddItem(command[, title[, ...]])] WINITEM group, title
//
// Program Manager's answers are not examined: a refused command, or one lost
// because Program Manager does not run or answer in time, changes nothing in
// what follows.
#pragma once

#include <string>
#include <vector>

#include "install/os/program_manager.h"
#include "install/script/install_plan.h"
#include "install/script/macros.h"
#include "install/script/program_item_args.h"
#include "install/sysedit/install_log.h"

namespace install::sysedit {

std::string CreateGroupCommand(const std::string& group);  // [CreateGroup(group)]
std::string DeleteGroupCommand(const std::string& group);  // [DeleteGroup(group)]
std::string DeleteItemCommand(const std::string& title);   // [DeleteItem(title)]
std::string ReplaceItemCommand(const std::string& title);  // [ReplaceItem(title)]

// The AddItem command of an item whose texts are already expanded:
//   [AddItem(command)]
//   [AddItem(command, title)]
//   [AddItem(command, title, icon file)]
//   [AddItem(command, title, icon file, index)]
//   [AddItem(command, title, icon file, index, -1, -1,dir)]
//   [AddItem(command, title, icon file, , -1, -1,dir)]
//   [AddItem(command, title, , , -1, -1,dir)]
// The icon file, the index and the working directory go only with a title,
// the index only with an icon file; -1, -1 lets Program Manager place the
// item.
std::string AddItemCommand(const std::string& command, const std::string& title,
                           const std::string& icon_file, const std::string& icon_index,
                           const std::string& working_dir);

// Sends the commands of `items`, in order, and logs their WINITEM entries.
// Does nothing for an empty list. Otherwise starts the DDE client first; when
// that fails, no command is sent and nothing is logged. Group names are
// expanded with ExpandPrefix (cut to ProgramItemEntry::kGroupCapacity);
// command, title, icon file and working directory with ExpandAll; the icon
// index is sent as written. The log gets the expanded group and the title as
// written. A CreateGroup is sent whenever an entry's group differs (ASCII
// letter case ignored) from the group of the last CreateGroup sent by this
// call. Returns the number of commands Program Manager accepted.
int CreateProgramGroups(const std::vector<script::ProgramItemEntry>& items,
                        const script::MacroValues& macros, os::ProgramManager& progman,
                        InstallLog& log);

// The post-copy step over the plan's program item list (plan.macros for the
// expansions). The list is left as it is. Returns what the call above does.
int CreateProgramGroups(const script::InstallPlan& plan, os::ProgramManager& progman,
                        InstallLog& log);

}  // namespace install::sysedit
