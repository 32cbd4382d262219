#include "install/app/plan_defaults.h"

#include <gtest/gtest.h>

#include "install/ui/builtin_texts.h"

namespace install::app {
namespace {

TEST(PlanDefaultsTest, NewPlanCarriesEveryDefault) {
  MachineFacts facts{3.95, 7.0, 'A'};
  std::unique_ptr<script::InstallPlan> plan = CreateInstallPlan(facts);
  EXPECT_DOUBLE_EQ(plan->windows_version, 3.95);
  EXPECT_DOUBLE_EQ(plan->dos_version, 7.0);
  EXPECT_EQ(plan->hard_disk_letter, 'A');

  EXPECT_TRUE(plan->file_list.empty());
  EXPECT_EQ(plan->file_count, 0);
  EXPECT_TRUE(plan->run_at_start.command.empty());
  EXPECT_EQ(plan->autoexec_edits.mode, script::EditMode::Untouched);
  EXPECT_EQ(plan->config_edits.mode, script::EditMode::Untouched);
  EXPECT_EQ(plan->title_color, (script::Rgb{128, 128, 255}));
  EXPECT_EQ(plan->screen_color_from, (script::Rgb{0, 0, 255}));
  EXPECT_EQ(plan->screen_color_to, (script::Rgb{0, 0, 0}));
  EXPECT_EQ(plan->title_font.face, "Arial");
  EXPECT_EQ(plan->title_font.point_size, 0);
  EXPECT_EQ(plan->screen_font_face, "MS Sans Serif");
  EXPECT_EQ(plan->disk_space, -1);
  EXPECT_EQ(plan->min_cpu, 0);
  EXPECT_EQ(plan->progress_total, 0);
  EXPECT_EQ(plan->default_overwrite, script::OverwriteMode::Ask);
  EXPECT_EQ(plan->unpacker, script::kUnpackerPkware);
  EXPECT_EQ(plan->reboot_mode, script::kRebootNone);
  EXPECT_EQ(plan->uninstall, 0);
  EXPECT_EQ(plan->uninstall_title, "UnInstall");
  EXPECT_EQ(plan->macros.locate_dir, "C:\\NEWFILES");
  for (int n = 0; n < 100; ++n) {
    EXPECT_EQ(plan->group_map.ItemOf(n), -1);
    EXPECT_EQ(plan->group_disk_space[static_cast<size_t>(n)], -1);
    EXPECT_EQ(plan->group_selected[static_cast<size_t>(n)], 0);
    EXPECT_EQ(plan->group_preselected[static_cast<size_t>(n)], 0);
  }
}

TEST(PlanDefaultsTest, EveryPromptTextStartsBuiltIn) {
  std::unique_ptr<script::InstallPlan> plan = CreateInstallPlan(MachineFacts{});
  for (const ui::PromptTextSlot& p : ui::PromptTextTable()) {
    std::string* slot = plan->prompts.ForKeyword(p.keyword);
    ASSERT_NE(slot, nullptr) << p.keyword;
    EXPECT_EQ(*slot, p.builtin) << p.keyword;
  }
  EXPECT_EQ(plan->prompts.ok, "OK");
  EXPECT_EQ(plan->prompts.file_exist, "File exists.  Overwrite ");
}

}  // namespace
}  // namespace install::app
