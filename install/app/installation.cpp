#include "install/app/installation.h"

#include "install/app/finishing.h"
#include "install/app/machine_facts.h"
#include "install/app/plan_defaults.h"
#include "install/engine/create_directories.h"
#include "install/sysedit/program_groups.h"
#include "install/sysedit/registry_apply.h"
#include "install/sysedit/system_edits.h"

namespace install::app {

Installation::Installation(os::Machine& machine, os::SystemInfo& system, ui::Desktop& desktop,
                           ui::TextMeasure& measure)
    : machine_(machine), system_(system), desktop_(desktop), measure_(measure), sources_(machine) {
  log_.ReportFailuresTo(&desktop_);
}

StartDecision Installation::Prepare(const std::string& arguments) {
  return Startup(machine_, desktop_, sources_).Prepare(arguments, &values_);
}

int Installation::CreatePlanAndParse(script::ScreenPresenter* screens,
                                     script::ConditionEvaluator* conditions) {
  plan_ = CreateInstallPlan(ReadMachineFacts(machine_, system_));
  Startup(machine_, desktop_, sources_).RecordDirectories(&values_);

  // The start-up values that the macros read.
  script::MacroValues& macros = plan_->macros;
  const script::MacroValues& found = values_.macros;
  macros.program_dir = found.program_dir;
  macros.Set(script::Macro::SourceDir, found.source_dir);
  macros.Set(script::Macro::SourceDrive, found.source_drive);
  macros.Set(script::Macro::DefaultDrive, found.default_drive);
  macros.Set(script::Macro::System, found.options[0]);
  macros.Set(script::Macro::Sys2, found.options[1]);
  macros.Set(script::Macro::Sys3, found.options[2]);
  macros.Set(script::Macro::WinDir, found.windows_dir);
  macros.Set(script::Macro::WinSysDir, found.system_dir);
  macros.Set(script::Macro::WinHelpDir, found.help_dir);

  if (!conditions) {
    machine_conditions_ = std::make_unique<script::MachineConditions>(
        script::ConditionServices{machine_, system_, desktop_, registry_});
    conditions = machine_conditions_.get();
  }
  conditions_ = conditions;
  screens_ = screens;
  script::ParserServices services{desktop_, machine_, measure_, &sources_, conditions, screens};
  script::ScriptParser parser(*plan_, services);
  return parser.Parse(values_.script_path);
}

void Installation::RunAtStart() {
  if (!plan_ || plan_->run_at_start.command.empty()) return;
  uint32_t ignored = 0;
  machine_.StartProcess(plan_->run_at_start.command, os::kShow, true, &ignored);
}

int Installation::CreateDestinationDirectory(const std::string& path) {
  const std::string bad_dir = plan_ ? plan_->prompts.bad_dir : std::string("Invalid directory.");
  return engine::CreateDirectoryPath(path, machine_, desktop_, log_, bad_dir) ==
                 engine::kDirectoriesOk
             ? 0
             : 1;
}

int Installation::RunInstallation(ui::DestinationDialogs& dialogs, const engine::RunSteps& steps) {
  if (!plan_) return engine::kRunStopped;
  log_.set_enabled(plan_->uninstall != 0);
  engine::RunServices services{machine_, system_, desktop_, dialogs, sources_, log_, steps};
  if (!services.steps.replay_deferred) {
    services.steps.replay_deferred = [this](script::InstallPlan& plan) {
      const script::ParserServices parsing{desktop_, machine_, measure_, &sources_, conditions_, screens_};
      return script::ReplayDeferredBlocks(plan, parsing);
    };
  }
  if (!services.steps.register_server) {
    services.steps.register_server = [this](const std::string& path) {
      return RegisterServer(machine_, desktop_, path);
    };
  }
  if (!services.steps.edit_system_files) {
    services.steps.edit_system_files = [this](script::InstallPlan& plan) {
      sysedit::SystemEditServices edits{machine_, desktop_, log_, profile_};
      sysedit::EditSystemFiles(plan, edits);
    };
  }
  if (!services.steps.insert_texts) {
    services.steps.insert_texts = [this](script::InstallPlan& plan) {
      sysedit::SystemEditServices edits{machine_, desktop_, log_, profile_};
      sysedit::InsertTexts(plan, edits);
    };
  }
  engine::InstallExecutor executor(*plan_, services);
  const int result = executor.Run();
  installation_dir_ = executor.state().installation_dir;
  if (result == engine::kRunCompleted) {
    if (registry_) sysedit::ApplyRegistryBlocks(*plan_, *registry_, log_);
    if (program_manager_) sysedit::CreateProgramGroups(*plan_, *program_manager_, log_);
  } else {
    plan_->readme.clear();
    plan_->run_at_exit.clear();
  }
  return result;
}

void Installation::FinishRun() {
  if (plan_) app::FinishRun(*plan_, installation_dir_, values_.program_path, machine_, desktop_);
}

void Installation::ReleaseAtProcessEnd() {
  if (plan_) app::ReleaseAtProcessEnd(*plan_, installation_dir_, values_.program_path, machine_, sources_);
}

}  // namespace install::app
