#include "tools/quill/installer_start.h"

namespace quill {

std::unique_ptr<install::app::Installation> StartInstaller(install::os::HostMachine& machine,
                                                            install::os::SystemInfo& system,
                                                            install::ui::Desktop& desktop,
                                                            install::ui::TextMeasure& measure,
                                                            const std::string& arguments) {
  auto first = std::make_unique<install::app::Installation>(machine, system, desktop, measure);
  const std::size_t started = machine.StartedProcesses().size();
  install::app::StartDecision decision = first->Prepare(arguments);
  if (decision == install::app::StartDecision::Continue) return first;
  if (decision != install::app::StartDecision::Restarted || machine.StartedProcesses().size() == started) {
    return nullptr;
  }
  // The copy in the temporary directory carries the run on, with the command
  // line the first instance gave it.
  const install::os::HostMachine::StartedProcess& restart = machine.StartedProcesses().back();
  machine.SetModulePath(restart.application);
  auto copy = std::make_unique<install::app::Installation>(machine, system, desktop, measure);
  if (copy->Prepare(install::app::ArgumentsAfterProgram(restart.command_line)) !=
      install::app::StartDecision::Continue) {
    return nullptr;
  }
  return copy;
}

}  // namespace quill
