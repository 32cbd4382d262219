// A host machine with drive C: in a fresh temporary directory, a plan with
// its defaults, and a parser over a script written by the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "install/app/plan_defaults.h"
#include "install/archive/source_stream.h"
#include "install/os/host/host_machine.h"
#include "install/script/install_plan.h"
#include "install/script/script_parser.h"
#include "install/ui/text_measure.h"
#include "install/ui/host/host_desktop.h"

namespace install::script::testing {

// Conditions for tests: "true" and "false" decide at once; "group" and words
// beginning with "$ask" are deferred (the block is captured); in replay they
// answer `replay_answer`. Anything else is a syntax error.
class FakeConditions : public ConditionEvaluator {
 public:
  int replay_answer = 1;
  int Evaluate(ScriptCursor& cursor, ScriptParser& parser) override {
    std::string word;
    cursor.ReadWordB(word);
    if (word == "true") return 1;
    if (word == "false") return 0;
    if (word == "group" || IsAsk(word)) return parser.CaptureDeferredBlock();
    return -1;
  }
  int EvaluateDeferred(ScriptCursor& cursor, ScriptParser&) override {
    std::string word;
    cursor.ReadWord(word);
    return word == "group" || IsAsk(word) ? replay_answer : -1;
  }
  static bool IsAsk(const std::string& word) {
    return word.size() >= 4 && (word[0] == '$') && (word[1] | 0x20) == 'a' && (word[2] | 0x20) == 's' &&
           (word[3] | 0x20) == 'k';
  }
};

class RecordingScreens : public ScreenPresenter {
 public:
  std::vector<std::vector<std::string>> shown;
  std::vector<DialogTemplate> dialogs;
  void ShowExitMessage(const DialogTemplate& dialog, const std::vector<std::string>& lines) override {
    dialogs.push_back(dialog);
    shown.push_back(lines);
  }
};

class ParserFixture : public ::testing::Test {
 protected:
  ParserFixture() {
    root_ = std::filesystem::temp_directory_path() /
            ("qm-script-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "SETUP");
    machine_.MapDrive('C', root_, os::DriveType::Fixed);
    machine_.SetCurrentDirectory("C:\\SETUP");
    app::MachineFacts facts;
    facts.windows_version = 3.95;
    facts.dos_version = 7.0;
    plan_ = app::CreateInstallPlan(facts);
    plan_->macros.source_dir = "C:\\SETUP";
    plan_->macros.source_drive = "C";
    plan_->macros.windows_dir = "C:\\WINDOWS";
    plan_->macros.system_dir = "C:\\WINDOWS\\SYSTEM";
    plan_->macros.help_dir = "C:\\WINDOWS\\help";
  }
  // A fresh plan, as at start-up (keeps the start-up macro values).
  void ResetPlan() {
    MacroValues macros = plan_->macros;
    app::MachineFacts facts;
    plan_ = app::CreateInstallPlan(facts);
    plan_->macros = macros;
  }

  ~ParserFixture() override { std::filesystem::remove_all(root_); }

  void WriteScript(const std::string& text, const std::string& name = "SETUP.CFG") {
    std::ofstream out(root_ / "SETUP" / name, std::ios::binary);
    out << text;
  }

  ParserServices Services() {
    ParserServices services{desktop_, machine_, measure_};
    services.sources = &sources_;
    services.conditions = &conditions_;
    services.screens = &screens_;
    return services;
  }

  // Writes `text` as the script and parses it into the plan.
  int Parse(const std::string& text) {
    WriteScript(text);
    parser_ = std::make_unique<ScriptParser>(*plan_, Services());
    return parser_->Parse("C:\\SETUP\\SETUP.CFG");
  }

  // The one syntax-error box shown, as "caption|text".
  std::string SyntaxError() const {
    for (const auto& m : desktop_.Messages()) {
      if (m.caption.rfind("Syntax error, line: ", 0) == 0) return m.caption + "|" + m.text;
    }
    return "";
  }

  static inline int counter_ = 0;
  std::filesystem::path root_;
  os::HostMachine machine_;
  ui::HostDesktop desktop_;
  ui::HostTextMeasure measure_;
  archive::SourceReader sources_{machine_};
  FakeConditions conditions_;
  RecordingScreens screens_;
  std::unique_ptr<InstallPlan> plan_;
  std::unique_ptr<ScriptParser> parser_;
};

}  // namespace install::script::testing
