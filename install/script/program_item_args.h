// The WINITEM line of a script: one Program Manager group or item.
//
//   WINITEM "group" "command" "title" ["workdir\"] ["icon file"] [icon index] [, replace | , remove]
//
// A fourth text that ends in "\" is the working directory (then a fifth text
// is the icon file), otherwise it is the icon file; an icon index needs an
// icon file before it. The action option is looked for after the line's last
// comma.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace install::script {

class ScriptCursor;

enum class ProgramItemAction : int32_t { Add = 0, Replace = 1, Remove = 2 };

struct ProgramItemEntry {
  static constexpr std::size_t kGroupCapacity = 498;
  static constexpr std::size_t kCommandCapacity = 998;
  static constexpr std::size_t kTitleCapacity = 498;
  static constexpr std::size_t kWorkingDirCapacity = 498;
  static constexpr std::size_t kIconFileCapacity = 498;

  std::string group;
  std::string command;      // empty: the entry only names a group
  std::string title;
  std::string working_dir;
  std::string icon_file;
  std::string icon_index;   // kept as written
  bool error = false;       // set only for a text beyond its capacity
  ProgramItemAction action = ProgramItemAction::Add;
};

// Reads one WINITEM line (cutting the action option off the cursor's line).
ProgramItemEntry ParseProgramItem(ScriptCursor& cursor);

}  // namespace install::script
