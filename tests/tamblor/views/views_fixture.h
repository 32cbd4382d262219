// A disc mapped as drive E: with the built-in language, a recording window
// side and recording file actions, for the view tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tamblor/config/disc_config.h"
#include "tamblor/lang/language_set.h"
#include "tamblor/lang/resource_names.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/os/host/host_machine.h"
#include "tamblor/os/host/host_resources.h"
#include "tamblor/text/fatal_exit.h"
#include "tamblor/views/index_view.h"
#include "tamblor/views/view_stack.h"
#include "tests/tamblor/support/faulty_machine.h"

namespace tamblor::testing {

struct FatalExit : std::runtime_error {
  FatalExit() : std::runtime_error("fatal exit") {}
};

// Records what the views ask of the window.
class RecordingHost : public views::ViewHost {
 public:
  void AttachDocument(views::ViewDocument* document) override {
    attached = document;
    log.push_back("attach " + document->path);
  }
  void DetachDocument() override {
    if (attached) attached->top = pane_top;  // the pane's top position goes back to the document
    log.push_back("detach");
    attached = nullptr;
  }
  void SetTitle(const std::string& text) override { title = text; }
  os::MenuHandle MenuBar() override { return menu; }
  void SetMenuBar(os::MenuHandle m) override { menu = m; }
  void EnableMenuCommand(os::MenuHandle, int command, bool enabled) override {
    log.push_back("enable " + std::to_string(command) + (enabled ? " on" : " off"));
  }
  void CheckMenuCommand(os::MenuHandle menu_handle, int command, bool checked) override {
    log.push_back("check " + std::to_string(command) + (checked ? " on" : " off"));
    marks[{menu_handle, command}] = checked;
  }
  void SetWrap(bool wrap) override { log.push_back(wrap ? "wrap on" : "wrap off"); }
  void PostClose() override { ++closes; }
  void ShowAbout() override { ++abouts; }
  void ShowFatalMessage(const std::string& text) override { fatal = text; }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    messages.push_back(caption + ": " + text);
  }

  views::ViewDocument* attached = nullptr;
  int64_t pane_top = 0;
  std::string title;
  os::MenuHandle menu = 0;
  int closes = 0;
  int abouts = 0;
  std::string fatal;
  std::vector<std::string> messages;
  std::vector<std::string> log;
  std::map<std::pair<os::MenuHandle, int>, bool> marks;  // the last mark of each menu's item
};

class RecordingActions : public views::FileActions {
 public:
  void CopyFile(views::View& view) override { calls.push_back("copy " + view.document().path); }
  void LaunchProgram(const std::string& full, const std::string& translated, views::FileKind kind) override {
    calls.push_back("launch " + full + " " + translated + " " + std::to_string(static_cast<int>(kind)));
  }
  void InstallArchive(const std::string& full, const std::string& translated, views::FileKind kind) override {
    calls.push_back("install " + full + " " + translated + " " + std::to_string(static_cast<int>(kind)));
  }
  void CloseGeneratedIndex(const views::GeneratedIndexView& view) override {
    calls.push_back("close-generated " + view.directory());
  }
  std::vector<std::string> calls;
};

// A language module: every built-in string (with `index_name` as string 5)
// and the four menus with a Go popup.
inline os::host::HostModule LanguageModule(const std::string& label, const std::string& name,
                                           const std::string& index_name) {
  using os::host::HostMenuItem;
  os::host::HostModule module;
  for (const lang::BuiltInString& s : lang::kBuiltInStrings) module.strings[s.id] = s.text;
  module.strings[lang::kStrMenuLabel] = label;
  module.strings[lang::kStrLanguageName] = name;
  module.strings[lang::kStrIndexFileName] = index_name;
  for (const char* menu : lang::kMenuNames) {
    HostMenuItem file{"&File", 0, false, {{"E&xit", 1, false, {}, false}}, true};
    HostMenuItem go{"&Go", 0, false, {{"Parent Dir", 6, false, {}, false}, {"Select", 7, false, {}, false}}, true};
    HostMenuItem language{"&Language", 0, false, {{"&English", 50, false, {}, false}}, true};
    HostMenuItem help{"&Help", 0, false, {{"&About...", 40, false, {}, false}}, true};
    module.menus[menu] = {file, go, language, help};
  }
  for (const char* bitmap : lang::kBitmapNames) module.bitmaps.insert(bitmap);
  return module;
}

class ViewsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("tamblor_views_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    machine_.MapDrive('E', root_.string(), os::DriveType::CdRom);
    previous_hook_ = text::SetFatalExitHook([](int) { throw FatalExit(); });
  }
  void TearDown() override {
    stack_.reset();
    context_.reset();
    languages_.reset();
    text::SetFatalExitHook(previous_hook_);
    std::filesystem::remove_all(root_);
  }

  void Write(const std::string& relative, const std::string& content) {
    std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }
  void MakeDirectory(const std::string& relative) { std::filesystem::create_directories(root_ / relative); }

  // Reads the configuration written so far and makes languages, stack and
  // context (with `libraries` as the language files found on the disc).
  void Start(std::vector<std::string> libraries = {}, const std::string& language = "") {
    config_.Read("E:\\cdrom.cfg");
    languages_ = std::make_unique<lang::LanguageSet>(
        resources_, [libraries](const std::string&) { return libraries; });
    languages_->Create('E', config_.translation_dir(), language);
    stack_ = std::make_unique<views::ViewStack>(host_, *languages_);
    context_ = std::make_unique<views::ViewContext>(
        views::ViewContext{machine_, config_, *languages_, host_, *stack_, &actions_, nullptr, false});
    languages_->SetSwitchListener([this] { stack_->Refresh(); });
  }

  views::View* PushRoot() {
    auto* root = new views::IndexView(*context_, "E:\\", nullptr);
    stack_->Push(root);
    return root;
  }

  // Puts the selection of the top view on the line that begins with `text`.
  void SelectLine(const std::string& text) {
    views::ViewDocument& document = stack_->Top()->document();
    std::ifstream in(machine_.ToHostPath(document.path), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = content.rfind(text, 0) == 0 ? 0 : content.find("\n" + text);
    ASSERT_NE(at, std::string::npos) << text;
    document.selection_start = static_cast<int64_t>(at == 0 ? 0 : at + 1);
    document.selection_end = document.selection_start;
  }

  bool Command(int command) {
    return stack_->Top()->HandleMessage(0, views::kMessageCommand, static_cast<uintptr_t>(command), 0);
  }

  std::filesystem::path root_;
  FaultyMachine machine_;  // unarmed, the machine model itself
  os::host::HostResources resources_{LanguageModule("&English", "English", "00_index.txt")};
  config::DiscConfig config_{machine_, 'E'};
  RecordingHost host_;
  RecordingActions actions_;
  std::unique_ptr<lang::LanguageSet> languages_;
  std::unique_ptr<views::ViewStack> stack_;
  std::unique_ptr<views::ViewContext> context_;
  text::FatalExitHook previous_hook_ = nullptr;
};

}  // namespace tamblor::testing
