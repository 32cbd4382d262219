// Creation of the one InstallPlan: every setting at its default, the machine
// facts, and the built-in text of every message the script can replace.
// Script keywords then override settings and texts.
#pragma once

#include <memory>

#include "install/app/machine_facts.h"
#include "install/script/install_plan.h"

namespace install::app {

// Uninstall texts until UNINSTALLBEGINPROMPT / UNINSTALLENDPROMPT /
// UninstallTitlePrompt replace them.
inline constexpr std::string_view kDefaultUninstallTitle = "UnInstall";
inline constexpr std::string_view kDefaultUninstallBegin =
    "Do you want this application removed from your system?";
inline constexpr std::string_view kDefaultUninstallEnd =
    "This application has been successfully removed from your system.";

// Sets every field of `plan` to its initial value: empty lists and screens,
// colours, counters, group flags and GroupMap, the prompt texts, the machine
// facts, and $LOCATEDIR$ "C:\NEWFILES".
void ApplyPlanDefaults(script::InstallPlan& plan, const MachineFacts& facts);

// A new plan with ApplyPlanDefaults applied, ready to be parsed.
std::unique_ptr<script::InstallPlan> CreateInstallPlan(const MachineFacts& facts);

}  // namespace install::app
