#include "install/app/plan_defaults.h"

namespace install::app {

std::unique_ptr<script::InstallPlan> CreateInstallPlan(const MachineFacts& facts) {
  auto plan = std::make_unique<script::InstallPlan>();
  plan->windows_version = facts.windows_version;
  plan->dos_version = facts.dos_version;
  plan->hard_disk_letter = facts.hard_disk_letter;
  return plan;
}

}  // namespace install::app
