// The file actions over a disc mapped as E: and a hard disk C:, with a
// destination dialog answered from a script.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tamblor/actions/browser_actions.h"
#include "tamblor/os/directory.h"
#include "tamblor/text/generated_index.h"
#include "tamblor/views/index_view.h"
#include "tests/tamblor/support/faulty_machine.h"
#include "tests/tamblor/views/views_fixture.h"

namespace tamblor::testing {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

inline constexpr char kCancel[] = "<cancel>";

// Answers the destination dialog from a list: each text is confirmed in turn
// until one is accepted; kCancel cancels.
class ScriptedUi : public actions::ActionUi {
 public:
  bool AskDestination(const actions::DestinationRequest& request, const actions::DestinationConfirm& confirm) override {
    requests.push_back(request);
    while (!answers.empty()) {
      std::string answer = answers.front();
      answers.erase(answers.begin());
      if (answer == kCancel) return false;
      if (confirm(answer)) return true;
    }
    return false;
  }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    messages.push_back(caption + ": " + text);
  }
  bool AskYesNo(const std::string& text, const std::string& caption) override {
    questions.push_back(caption + ": " + text);
    return yes;
  }
  void BeginWait() override { ++waits; }
  void EndWait() override { --waits; }

  Texts answers;
  bool yes = true;
  std::vector<actions::DestinationRequest> requests;
  Texts messages, questions;
  int waits = 0;
};

class BrowserActionsTest : public ViewsFixture {
 protected:
  void SetUp() override {
    ViewsFixture::SetUp();
    fs::create_directories(root_ / "c");
    machine_.MapDrive('C', (root_ / "c").string(), os::DriveType::Fixed);
    Write("cdrom.cfg",
          "DISC_TITLE \"Test\"\r\nUNZIP_ROOT \"UNZIPPED\"\r\nUNCOMPRESS \".zip\" \"\\BIN\\UNZIP -d\"\r\n"
          "WIN_EXT \".wri\" \"\\BIN\\WRITE.EXE\"\r\n");
    Write("00_index.txt",
          "README.TXT  About\r\nUTILS       Tools\r\nGAME.ZIP    A game\r\nSETUP.EXE   Installs itself\r\n"
          "NOTE.WRI    A letter\r\nGONE.TXT    Not there\r\n");
    Write("README.TXT", "Read me.\r\n");
    Write("UTILS/00_index.txt", "TOOL.EXE  A tool\r\n");
    Write("UTILS/TOOL.EXE", std::string(100, 'x'));
    Write("GAME.ZIP", "zip");
    std::string setup(100, 'x');
    setup.replace(50, 6, "PKWARE");
    Write("SETUP.EXE", setup);
    Write("NOTE.WRI", "letter");
    Write("BIN/WRITE.EXE", "program");
    Start();
    directories_ = os::MakeDirectoryService([this](const std::string& path) { return machine_.ToHostPath(path); });
    browser_actions_ = std::make_unique<actions::BrowserActions>(*context_, *directories_, ui_);
    context_->actions = browser_actions_.get();
    PushRoot();
  }
  void TearDown() override {
    stack_.reset();  // generated views ask their last question while the actions live
    browser_actions_.reset();
    ViewsFixture::TearDown();
  }

  fs::path OnC(const std::string& relative) const { return root_ / "c" / relative; }
  static std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // The unpacker: writes a small tree into the directory it runs in.
  void UnpackOnCommand(int result = 0) {
    machine_.SetCommandRunner([this, result](const std::string&) {
      fs::path here = machine_.ToHostPath(machine_.CurrentDirectory());
      fs::create_directories(here / "DOCS");
      std::ofstream(here / "README.TXT") << "readme";
      std::ofstream(here / "GAME.EXE") << "game";
      std::ofstream(here / "DOCS" / "MANUAL.TXT") << "manual";
      ran_in.push_back(machine_.CurrentDirectory());
      return result;
    });
  }

  ScriptedUi ui_;
  std::unique_ptr<os::DirectoryService> directories_;
  std::unique_ptr<actions::BrowserActions> browser_actions_;
  Texts ran_in;
};

}  // namespace tamblor::testing
