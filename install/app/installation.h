// One run of the installer: the machine and the user, the start-up values,
// the install archive and the plan. Created by the program's entry point (or
// by a tool or test on the host machine) and passed down; nothing of a run
// lives in globals.
#pragma once

#include <memory>
#include <string>

#include "install/app/startup.h"
#include "install/archive/source_stream.h"
#include "install/os/machine.h"
#include "install/os/system_info.h"
#include "install/script/install_plan.h"
#include "install/script/script_parser.h"
#include "install/ui/text_measure.h"
#include "install/ui/desktop.h"

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
  int CreatePlanAndParse(script::ScreenPresenter* screens = nullptr,
                         script::ConditionEvaluator* conditions = nullptr);

  // Runs the plan's RUNATSTART command, shown, and waits for it to end.
  void RunAtStart();

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
  int screen_width_ = 640;
  int screen_height_ = 480;
};

}  // namespace install::app
