#include "install/engine/destinations.h"

#include <cstdint>

#include "install/ui/builtin_texts.h"
#include "install/engine/create_directories.h"

namespace install::engine {
namespace {

enum class Choice { Asked, Taken, Cancelled };

// The record's path, or the path the user confirmed in its dialog. A DIR2 or
// DIR3 path that begins with a macro is expanded first, so that the dialog
// and the directory creation see a real path.
Choice ChoosePath(const script::DestinationDir& record, bool may_hold_macro,
                  const DestinationServices& services, std::string* path) {
  std::string proposal = record.path;
  if (may_hold_macro && !proposal.empty() && proposal[0] == '$') {
    proposal = ExpandWith(services.expand, proposal, script::DestinationDir::kPathCapacity);
  }
  if (record.ask_mode < script::kAskDirectoryOnly || record.ask_mode > script::kAskDriveAndDirectory) {
    *path = proposal;
    return Choice::Taken;
  }
  ui::DestinationQuestion question;
  question.ask_mode = record.ask_mode;
  question.prompt = record.has_own_prompt ? record.prompt : ui::DefaultDestinationPrompt(record.ask_mode);
  question.path = proposal;
  std::string chosen;
  if (services.dialogs.AskDestination(question, &chosen) != ui::kDestinationConfirmed) return Choice::Cancelled;
  *path = chosen.substr(0, ui::kDestinationPathCapacity);
  return Choice::Asked;
}

int CreatePath(const std::string& path, const script::InstallPlan& plan,
               const DestinationServices& services) {
  return CreateDirectoryPath(path, services.machine, services.desktop, services.log,
                             plan.prompts.bad_dir) == kDirectoriesOk
             ? 0
             : 1;
}

}  // namespace

int SetUpDestinations(script::InstallPlan& plan, EngineState& state,
                      const DestinationServices& services) {
  if (!plan.destinations[0]) {
    script::DestinationDir record;
    record.ask_mode = script::kAskDriveAndDirectory;
    record.prompt = std::string(ui::kAskDriveAndDirectoryText);
    record.path = "C:\\NEWFILES";
    record.path[0] = plan.hard_disk_letter;
    plan.destinations[0] = record;
  }

  std::string path;
  const Choice choice = ChoosePath(*plan.destinations[0], false, services, &path);
  if (choice == Choice::Cancelled) return 1;
  const bool asked = choice == Choice::Asked;

  state.installation_dir = path;
  state.destination_drive = path.empty() ? '\0' : path[0];
  plan.macros.default_dir = path.substr(0, script::kDefaultDirCapacity);
  plan.macros.default_drive = path.substr(0, 1);
  services.log.SetLogPath(path);
  // Without a dialog the directory does not exist yet: the entry waits for
  // the log and its own line end keeps it a line of its own.
  services.log.AppendLogLine(sysedit::DefaultDirLogEntry(path) + (asked ? "" : "\n"));

  uint64_t free_bytes = 0;
  if (path.empty() ||
      !services.machine.GetDriveFreeSpace(std::string(1, path[0]) + ":\\", &free_bytes)) {
    services.desktop.MessageBox(plan.prompts.bad_drive, " ", ui::kMbOk | ui::kMbIconWarning);
    return 1;
  }
  state.free_space = os::SaturatedFreeSpace(free_bytes);
  if (!asked && CreatePath(path, plan, services) != 0) return 1;

  for (std::size_t slot = 1; slot <= 2; ++slot) {
    if (!plan.destinations[slot]) continue;
    std::string other;
    const Choice other_choice = ChoosePath(*plan.destinations[slot], true, services, &other);
    if (other_choice == Choice::Cancelled) return 1;
    (slot == 1 ? plan.macros.dir2 : plan.macros.dir3) = other.substr(0, script::kMacroValueCapacity);
    if (other_choice == Choice::Taken && CreatePath(other, plan, services) != 0) return 1;
  }
  return 0;
}

}  // namespace install::engine
