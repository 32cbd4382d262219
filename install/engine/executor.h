// The install executor: one whole run of the plan in its fixed order — the
// processor requirement, the first screen, the questions and the group
// pages, the deferred blocks, the destinations, the disk space, the uninstall
// texts, the renames, the files disk by disk, the system edits, the
// self-registrations, the last screen, the deletions and the commands to run
// at exit. It owns the progress window and the pop-up messages of the copy
// phase, through the Desktop.
#pragma once

#include <functional>
#include <string>

#include "install/archive/progress_hooks.h"
#include "install/archive/source_stream.h"
#include "install/engine/disk_prompt.h"
#include "install/engine/engine_state.h"
#include "install/engine/file_install.h"
#include "install/os/machine.h"
#include "install/os/system_info.h"
#include "install/script/install_plan.h"
#include "install/sysedit/install_log.h"
#include "install/ui/desktop.h"
#include "install/ui/destination_dialogs.h"

namespace install::engine {

// Results of RunInstallPlan.
enum : int { kRunCompleted = 0, kRunStopped = 1 };

// The steps of a run that other parts of the installer carry out; a step
// left empty does nothing and succeeds.
struct RunSteps {
  // Replays the deferred IF blocks (0 done, non-zero stop).
  std::function<int(script::InstallPlan&)> replay_deferred;
  // AUTOEXEC.BAT, CONFIG.SYS and INI edits, after the files.
  std::function<void(script::InstallPlan&)> edit_system_files;
  // Registers one self-registering server; true when it succeeded.
  std::function<bool(const std::string& path)> register_server;
  // ADDTEXT insertions, after the registrations.
  std::function<void(script::InstallPlan&)> insert_texts;
};

struct RunServices {
  os::Machine& machine;
  os::SystemInfo& system;
  ui::Desktop& desktop;
  ui::DestinationDialogs& dialogs;
  archive::SourceReader& sources;
  sysedit::InstallLog& log;
  RunSteps steps;
};

class InstallExecutor : private archive::ProgressHooks {
 public:
  // `source_dir` is the directory the script was read from ($SOURCEDIR$).
  InstallExecutor(script::InstallPlan& plan, const RunServices& services);

  // The whole run. kRunCompleted or kRunStopped; after a stop the restart
  // mode is none. Files installed and log lines written before a stop stay.
  int Run();

  // A FILE entry without groups is always selected; otherwise when one of
  // its group items was chosen.
  bool IsEntrySelected(const script::FileEntry& entry) const;

  EngineState& state() { return state_; }
  DiskPrompter& disks() { return disks_; }

 private:
  int CheckProcessor();
  int AskGroups();
  int ShowGroupPage(int first_item, int end_item, bool exclusive,
                    const script::DialogTemplate& dialog);
  int CheckDiskSpace();
  void SetProgressTotal(int64_t need);
  void LogUninstallTexts();
  int WalkFileList();
  int ProcessEntry(script::FileEntry& entry);
  void ShowPopup(int number);
  // Closes the progress and pop-up windows; after a completed walk the bar
  // first shows everything done.
  void EndCopyPhase(bool completed);
  void RegisterServers();
  void ExpandExitCommands();
  std::string Expand(const std::string& text, std::size_t capacity) const;
  MacroExpander Expander();

  // archive::ProgressHooks: the refresh during a copy and the file shown.
  void RefreshProgress() override;
  void ShowFileBeingInstalled(const std::string& path) override;

  script::InstallPlan& plan_;
  RunServices services_;
  EngineState state_;
  archive::VolumeSetReader volumes_;
  DiskPrompter disks_;
  FileInstaller installer_;
  bool progress_open_ = false;
  bool popup_open_ = false;
};

// RunInstallPlan: the executor's whole run over `plan`.
int RunInstallPlan(script::InstallPlan& plan, const RunServices& services);

}  // namespace install::engine
