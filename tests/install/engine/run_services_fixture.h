// A host machine with drives C: (fixed), D: (fixed) and A: (removable, the
// source disk) in fresh temporary directories, a plan with its defaults, the
// run state, an enabled install log and host destination dialogs: everything
// the destination, disk and file operations of a run need.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "install/app/plan_defaults.h"
#include "install/engine/create_directories.h"
#include "install/engine/engine_state.h"
#include "install/ui/host/host_destination_dialogs.h"
#include "install/sysedit/install_log.h"
#include "install/engine/macro_expander.h"
#include "install/archive/source_stream.h"
#include "install/os/host/host_machine.h"
#include "install/script/install_plan.h"
#include "install/script/macros.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fixture_builder.h"

namespace install::engine::testing {

// A HostDesktop that runs a hook before each message box (to swap a disk
// while a prompt is up, say).
class HookedDesktop : public ui::HostDesktop {
 public:
  std::function<void(const std::string& text)> before_box;
  int MessageBox(const std::string& text, const char* caption, unsigned style) override {
    if (before_box) before_box(text);
    return HostDesktop::MessageBox(text, caption, style);
  }
};

class RunServicesFixture : public ::testing::Test {
 protected:
  RunServicesFixture() {
    for (const char* drive : {"C", "D", "A"}) std::filesystem::create_directories(temp_.path() / drive);
    machine_.MapDrive('C', temp_.path() / "C", os::DriveType::Fixed);
    machine_.MapDrive('D', temp_.path() / "D", os::DriveType::Fixed);
    machine_.MapDrive('A', temp_.path() / "A", os::DriveType::Removable, "DISK1");
    machine_.SetCurrentDirectory("C:\\");
    app::MachineFacts facts;
    plan_ = app::CreateInstallPlan(facts);
    plan_->macros.source_dir = "A:\\SETUP";
    plan_->macros.source_drive = "A";
    plan_->macros.windows_dir = "C:\\WINDOWS";
    plan_->macros.system_dir = "C:\\WINDOWS\\SYSTEM";
    state_.source_dir = "A:\\SETUP";
    log_.set_enabled(true);
  }

  MacroExpander Expander() {
    return [this](const std::string& text, std::size_t capacity) {
      std::string out = text;
      script::ExpandAll(out, plan_->macros, capacity);
      return out;
    };
  }

  // The dialogs create directories as the real dialog does.
  ui::HostDestinationDialogs& Dialogs() {
    if (!dialogs_) {
      dialogs_ = std::make_unique<ui::HostDestinationDialogs>(
          desktop_, plan_->prompts, [this](const std::string& path) {
            return CreateDirectoryPath(path, machine_, desktop_, log_, plan_->prompts.bad_dir);
          });
    }
    return *dialogs_;
  }

  std::filesystem::path Local(const std::string& drive_relative) const {
    return temp_.path() / drive_relative;
  }
  void WriteLocal(const std::string& drive_relative, const std::string& text) const {
    temp_.Write(drive_relative, text);
  }
  // The contents of a local file; "<missing>" when it does not exist.
  std::string ReadLocal(const std::string& drive_relative) const {
    std::ifstream in(Local(drive_relative), std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  bool ExistsLocal(const std::string& drive_relative) const {
    return std::filesystem::exists(Local(drive_relative));
  }

  test_support::TempDir temp_;
  os::HostMachine machine_;
  HookedDesktop desktop_;
  sysedit::InstallLog log_{machine_};
  EngineState state_;
  std::unique_ptr<script::InstallPlan> plan_;
  std::unique_ptr<ui::HostDestinationDialogs> dialogs_;
};

}  // namespace install::engine::testing
