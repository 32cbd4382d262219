// Creation of the one InstallPlan. Script keywords then override its
// settings and texts.
#pragma once

#include <memory>

#include "install/app/machine_facts.h"
#include "install/script/install_plan.h"

namespace install::app {

// A new plan: every setting at the initial value its declaration gives
// (empty lists and screens, colours, counters, group flags and GroupMap, the
// built-in prompt texts, $LOCATEDIR$ "C:\NEWFILES"), and the machine facts.
std::unique_ptr<script::InstallPlan> CreateInstallPlan(const MachineFacts& facts);

}  // namespace install::app
