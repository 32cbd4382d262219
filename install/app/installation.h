// One run of the installer: the machine and the user, the start-up values,
// the install archive and the plan. Created by the program's entry point (or
// by a tool or test on the host machine) and passed down; nothing of a run
// lives in globals.
#pragma once

#include <functional>
#include <memory>
#include <vector>
#include <string>

#include "install/app/startup.h"
#include "install/archive/source_stream.h"
#include "install/engine/executor.h"
#include "install/sysedit/install_log.h"
#include "install/os/machine.h"
#include "install/os/profile.h"
#include "install/os/program_manager.h"
#include "install/os/registry.h"
#include "install/os/system_info.h"
#include "install/script/conditions.h"
#include "install/script/install_plan.h"
#include "install/script/script_parser.h"
#include "install/ui/text_measure.h"
#include "install/ui/desktop.h"
#include "install/ui/destination_dialogs.h"

namespace install::app {

class Installation {
 public:
  Installation(os::Machine& machine, os::SystemInfo& system, ui::Desktop& desktop,
               ui::TextMeasure& measure);

  // Program directory, options, script path and the restart decision.
  StartDecision Prepare(const std::string& arguments);

  void SetScreenSize(int width, int height) {
    screen_width_ = width;
    screen_height_ = height;
  }
  int screen_width() const { return screen_width_; }
  int screen_height() const { return screen_height_; }

  // Creates the plan with its defaults, records the Windows directories and
  // parses the script into the plan. Returns 0 on success; non-zero when the
  // script had an error or ended in an exit message (already shown).
  // `screens` shows the exit message; none: its text goes to a message box.
  // `conditions` decides the IF lines; none: they are decided on this
  // installation's machine, system and desktop, with the registry given to
  // SetPostCopyServices before. Both are kept for the replay of the deferred
  // blocks during the run, and must live as long as the installation.
  int CreatePlanAndParse(script::ScreenPresenter* screens = nullptr,
                         script::ConditionEvaluator* conditions = nullptr);

  // Runs the plan's RUNATSTART command, shown, and waits for it to end.
  void RunAtStart();

  // The whole installation (the main window's WM_USER+1): the install log
  // switched on by UNINSTALL, the executor (with, unless `steps` gives its
  // own, the replay of the deferred IF blocks with the parse's conditions and
  // screens, the edits of AUTOEXEC.BAT, CONFIG.SYS, the INI files and the
  // ADDTEXT files, and the self-registrations), and after a completed run the
  // registry blocks and then the program groups (so the log lists the keys
  // before the program items). After a stop the
  // readme and the commands to run at exit are cleared, so that nothing
  // runs at exit. Returns engine::kRunCompleted or engine::kRunStopped.
  int RunInstallation(ui::DestinationDialogs& dialogs, const engine::RunSteps& steps = {});
  // Where a completed run applies its registry blocks and sends its program
  // groups; without them those steps are left out.
  void SetPostCopyServices(os::Registry* registry, os::ProgramManager* program_manager) {
    registry_ = registry;
    program_manager_ = program_manager;
  }
  // The profile functions through which INIFILE entries are applied; without
  // them those entries are left out.
  void SetProfile(os::Profile* profile) { profile_ = profile; }
  // A directory-creating function for destination dialogs: the missing
  // levels created and logged, BADDIRPROMPT on failure. 0 done.
  int CreateDestinationDirectory(const std::string& path);
  sysedit::InstallLog& log() { return log_; }

  // After the message loop: the readme, the exit commands, the restart
  // question and the restart.
  void FinishRun();
  // At process end: the uninstaller handed over, the archive closed, the
  // temporary copy's clean-up started.
  void ReleaseAtProcessEnd();
  // The installation directory the run settled; empty before.
  const std::string& installation_dir() const { return installation_dir_; }

  const StartupValues& values() const { return values_; }
  archive::SourceReader& sources() { return sources_; }
  // The plan; null before CreatePlanAndParse.
  script::InstallPlan* plan() { return plan_.get(); }

 private:
  os::Machine& machine_;
  os::SystemInfo& system_;
  ui::Desktop& desktop_;
  ui::TextMeasure& measure_;
  archive::SourceReader sources_;
  StartupValues values_;
  std::unique_ptr<script::InstallPlan> plan_;
  sysedit::InstallLog log_{machine_};
  std::string installation_dir_;
  os::Registry* registry_ = nullptr;
  os::ProgramManager* program_manager_ = nullptr;
  os::Profile* profile_ = nullptr;
  std::unique_ptr<script::MachineConditions> machine_conditions_;
  script::ConditionEvaluator* conditions_ = nullptr;  // those of the parse
  script::ScreenPresenter* screens_ = nullptr;
  int screen_width_ = 640;
  int screen_height_ = 480;
};

}  // namespace install::app
