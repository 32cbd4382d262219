// Drive C: in a fresh temporary directory (C:\APP the installation
// directory, C:\WINDOWS the Windows directory), a plan with its defaults, an
// enabled install log in C:\APP, the host profile functions and a desktop
// that records its message boxes; a machine that fails on purpose where a
// test asks it to (a full disk, a locked file, a rename refused).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "install/app/plan_defaults.h"
#include "install/os/ascii_case.h"
#include "install/os/host/host_machine.h"
#include "install/os/host/host_profile.h"
#include "install/script/dos_edit_args.h"
#include "install/script/ini_edit_args.h"
#include "install/script/install_plan.h"
#include "install/script/script_cursor.h"
#include "install/sysedit/install_log.h"
#include "install/sysedit/system_edits.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fixture_builder.h"

namespace install::sysedit::testing {

class FaultyMachine : public os::HostMachine {
 public:
  // The next file created with this name (the last part of the path, any
  // case) takes only `accepted` bytes, as on a disk that is full; the disk
  // has room again afterwards.
  void LimitWrites(const std::string& name, uint32_t accepted) { limits_[os::UpperCopy(name)] = accepted; }
  // Files of this name cannot be opened for reading (another program holds them).
  void Lock(const std::string& name) { locked_.insert(os::UpperCopy(name)); }
  // Renames of files of this name fail.
  void RefuseMovesFrom(const std::string& name) { refused_sources_.insert(os::UpperCopy(name)); }

  std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override {
    if (locked_.count(NameOf(path))) return nullptr;
    std::unique_ptr<os::File> file = HostMachine::Open(path, mode);
    auto limit = limits_.find(NameOf(path));
    if (!file || limit == limits_.end() || mode != os::OpenMode::Create) return file;
    const uint32_t accepted = limit->second;
    limits_.erase(limit);
    return std::make_unique<LimitedFile>(std::move(file), accepted);
  }
  bool MoveFile(const std::string& from, const std::string& to) override {
    return !refused_sources_.count(NameOf(from)) && HostMachine::MoveFile(from, to);
  }
  bool MoveFileReplacing(const std::string& from, const std::string& to) override {
    return !refused_sources_.count(NameOf(from)) && HostMachine::MoveFileReplacing(from, to);
  }

 private:
  class LimitedFile : public os::File {
   public:
    LimitedFile(std::unique_ptr<os::File> inner, uint32_t left) : inner_(std::move(inner)), left_(left) {}
    int32_t Read(void* buffer, uint32_t count) override { return inner_->Read(buffer, count); }
    int32_t Write(const void* buffer, uint32_t count) override {
      const uint32_t taken = count < left_ ? count : left_;
      left_ -= taken;
      return taken == 0 ? 0 : inner_->Write(buffer, taken);
    }
    int64_t Seek(int64_t offset, int origin) override { return inner_->Seek(offset, origin); }

   private:
    std::unique_ptr<os::File> inner_;
    uint32_t left_;
  };
  static std::string NameOf(const std::string& path) {
    return os::UpperCopy(path.substr(path.find_last_of("\\:") + 1));
  }
  std::map<std::string, uint32_t> limits_;
  std::set<std::string> locked_;
  std::set<std::string> refused_sources_;
};

class SystemEditFixture : public ::testing::Test {
 protected:
  SystemEditFixture() {
    std::filesystem::create_directories(temp_.path() / "c" / "APP");
    std::filesystem::create_directories(temp_.path() / "c" / "WINDOWS");
    machine_.MapDrive('C', temp_.path() / "c", os::DriveType::Fixed);
    machine_.SetCurrentDirectory("C:\\");
    plan_ = app::CreateInstallPlan(app::MachineFacts{});
    plan_->macros.windows_dir = "C:\\WINDOWS";
    plan_->macros.system_dir = "C:\\WINDOWS\\SYSTEM";
    plan_->macros.default_dir = "C:\\APP";
    log_.set_enabled(true);
    log_.SetLogPath("C:\\APP");
  }

  SystemEditServices Services() { return SystemEditServices{machine_, desktop_, log_, &profile_}; }

  // A file of drive C: by its path under the drive ("AUTOEXEC.BAT", "APP/X.TXT").
  void Put(const std::string& relative, const std::string& bytes) { temp_.Write("c/" + relative, bytes); }
  std::optional<std::string> Get(const std::string& relative) const {
    auto bytes = test_support::ReadLocalFile(temp_.path() / "c" / relative);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
  }
  bool Exists(const std::string& relative) const {
    return std::filesystem::exists(temp_.path() / "c" / relative);
  }
  // The install log, "" when it was not written.
  std::string Log() const { return Get("APP/install.log").value_or(""); }

  // The options of script lines ("AUTOEXEC ...", "CONFIG ...") added to the plan.
  void Autoexec(const std::string& line) { ASSERT_EQ(script::ParseAutoexec(AfterKeyword(line), plan_->autoexec_edits), 0) << line; }
  void Config(const std::string& line) { ASSERT_EQ(script::ParseConfig(AfterKeyword(line), plan_->config_edits), 0) << line; }
  void IniFile(const std::string& line) {
    script::IniEntry entry = script::ParseIniFile(AfterKeyword(line));
    ASSERT_FALSE(entry.error) << line;
    plan_->ini_edits.push_back(entry);
  }
  void AddText(const std::string& line) {
    script::AddTextEntry entry = script::ParseAddText(AfterKeyword(line), plan_->macros.search);
    ASSERT_FALSE(entry.error) << line;
    plan_->text_insertions.push_back(entry);
  }

  // The message boxes shown, "text|caption|style" each.
  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const auto& m : desktop_.Messages()) boxes.push_back(m.text + "|" + m.caption + "|" + std::to_string(m.style));
    return boxes;
  }

  script::ScriptCursor& AfterKeyword(const std::string& line) {
    cursor_.SetLine(line);
    std::string keyword;
    cursor_.ReadKeyword(keyword);
    return cursor_;
  }

  test_support::TempDir temp_;
  FaultyMachine machine_;
  ui::HostDesktop desktop_;
  InstallLog log_{machine_};
  os::HostProfile profile_{machine_};
  std::unique_ptr<script::InstallPlan> plan_;
  script::ScriptCursor cursor_;
};

// Message box styles, as Boxes() shows them.
inline const std::string kQuestionStyle = std::to_string(ui::kMbYesNo | ui::kMbIconQuestion);
inline const std::string kWarningStyle = std::to_string(ui::kMbOk | ui::kMbIconWarning);

}  // namespace install::sysedit::testing
