#include "install/app/plan_defaults.h"

#include "install/app/builtin_texts.h"

namespace install::app {

void ApplyPlanDefaults(script::InstallPlan& plan, const MachineFacts& facts) {
  // Machine facts.
  plan.windows_version = facts.windows_version;
  plan.dos_version = facts.dos_version;
  plan.hard_disk_letter = facts.hard_disk_letter;

  // Item lists and counters.
  plan.file_list.clear();
  plan.file_count = 0;
  plan.program_items.clear();
  plan.ini_edits.clear();
  plan.text_insertions.clear();
  plan.registry_blocks.clear();
  plan.deletions.clear();
  plan.renames.clear();
  plan.deferred_blocks.clear();
  plan.autoexec_edits = script::AutoexecEdits{};
  plan.config_edits = script::ConfigEdits{};
  plan.run_at_start.command.clear();
  plan.run_at_exit.clear();
  plan.reg_servers.clear();
  plan.readme.clear();
  plan.uses_external_unpacker = 0;

  // Appearance.
  plan.title.clear();
  plan.title_font = script::TitleFont{};
  plan.title_font.face = "Arial";
  plan.title_color = script::Rgb{128, 128, 255};
  plan.screen_color_from = script::Rgb{0, 0, 255};
  plan.screen_color_to = script::Rgb{0, 0, 0};
  plan.screen_font_face = "MS Sans Serif";
  plan.screen_graphic.reset();
  plan.intro_screen.reset();

  // Destinations and questions: none until DEFAULTDIR, DIR2, DIR3, ASK1..ASK5.
  for (auto& destination : plan.destinations) destination.reset();
  for (auto& ask : plan.asks) ask.reset();

  // Screens and groups.
  plan.first_screen.reset();
  plan.last_screen.reset();
  plan.exit_message.reset();
  plan.group_header.reset();
  plan.group_pages.clear();
  plan.group_item_count = 0;
  plan.group_map.Clear();
  plan.group_selected.fill(0);
  plan.group_preselected.fill(0);
  plan.groups_chosen = 0;
  plan.popups.clear();
  plan.next_screen_face.clear();
  plan.next_screen_size = 0;

  // Requirements and behaviour.
  plan.min_cpu = 0;
  plan.progress_total = 0;
  plan.disk_space = -1;  // the parse makes it 1 before the first line
  plan.group_disk_space.fill(-1);
  plan.item_disk_space.clear();
  plan.default_overwrite = script::OverwriteMode::Ask;
  plan.unpacker = script::kUnpackerPkware;
  plan.reboot_mode = script::kRebootNone;
  plan.uninstall = 0;
  plan.uninstall_title = std::string(kDefaultUninstallTitle);
  plan.uninstall_begin = std::string(kDefaultUninstallBegin);
  plan.uninstall_end = std::string(kDefaultUninstallEnd);

  // Built-in texts.
  for (const BuiltinPromptText& prompt : BuiltinPromptTexts()) {
    if (std::string* slot = plan.prompts.ForKeyword(prompt.keyword)) *slot = std::string(prompt.text);
  }

  plan.macros.locate_dir = "C:\\NEWFILES";
  plan.macros.locate_drive.clear();
}

std::unique_ptr<script::InstallPlan> CreateInstallPlan(const MachineFacts& facts) {
  auto plan = std::make_unique<script::InstallPlan>();
  ApplyPlanDefaults(*plan, facts);
  return plan;
}

}  // namespace install::app
