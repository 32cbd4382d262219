// The edits of the machine's text files on the real system under Wine: the
// INIFILE cases the host model is held to, through the system's profile
// functions; and AUTOEXEC.BAT, CONFIG.SYS and ADDTEXT with exact bytes and
// log.
#include "install/sysedit/system_edits.h"

#include "install/os/win32/windows_api.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "install/app/plan_defaults.h"
#include "install/os/win32/win32_machine.h"
#include "install/os/win32/win32_profile.h"
#include "install/script/dos_edit_args.h"
#include "install/sysedit/text_file.h"
#include "install/ui/host/host_desktop.h"
#include "tests/install/sysedit/ini_cases.h"

namespace install::sysedit {
namespace {

// The DOS start-up files live in the root of drive C: of the test's own
// prefix; whatever was there is put back afterwards.
const char* const kBootFiles[] = {"C:\\AUTOEXEC.BAT", "C:\\AUTOEXEC.BAK", "C:\\CONFIG.SYS", "C:\\CONFIG.BAK",
                                  "C:\\~Tarsk.tmp"};

class SystemEditsWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine_.GetTempPath(&dir_));
    dir_ += "qm-edits-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(machine_.CreateDirectory(dir_));
    for (const char* path : kBootFiles) saved_.push_back(ReadFileBytes(machine_, path));
  }
  void TearDown() override {
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      machine_.DeleteFile(kBootFiles[i]);
      if (saved_[i]) WriteWholeFile(machine_, kBootFiles[i], *saved_[i]);
    }
    RemoveTree(dir_);
  }
  void RemoveTree(const std::string& directory) {
    for (const os::FindData& found : machine_.FindFiles(directory + "\\*.*")) {
      const std::string path = directory + "\\" + found.name;
      if (found.attributes & os::kAttrDirectory) {
        RemoveTree(path);
        continue;
      }
      machine_.SetAttributes(path, os::kAttrNormal);
      machine_.DeleteFile(path);
    }
    machine_.RemoveDirectory(directory);
  }

  os::Win32Machine machine_;
  os::Win32Profile profile_;
  std::string dir_;
  std::vector<std::optional<std::string>> saved_;
};

TEST_F(SystemEditsWin32Test, TheSharedIniCasesGiveTheExpectedFilesAndLog) {
  int number = 0;
  for (const testing::IniCase& c : testing::IniCases()) {
    const std::string directory = dir_ + "\\CASE" + std::to_string(++number);
    ASSERT_TRUE(machine_.CreateDirectory(directory));
    ui::HostDesktop desktop;
    testing::RunIniCase(c, machine_, profile_, directory, desktop);
  }
}

TEST_F(SystemEditsWin32Test, DosFilesAndATextInsertion) {
  const std::string app_dir = dir_ + "\\APP";
  ASSERT_TRUE(machine_.CreateDirectory(app_dir));
  for (const char* path : kBootFiles) machine_.DeleteFile(path);
  ASSERT_TRUE(WriteWholeFile(machine_, "C:\\AUTOEXEC.BAT", "@ECHO OFF\r\nPATH C:\\DOS\r\nWIN\r\n"));
  ASSERT_TRUE(WriteWholeFile(machine_, "C:\\CONFIG.SYS", "FILES=20\r\nDEVICE=HIMEM.SYS"));
  ASSERT_TRUE(WriteWholeFile(machine_, app_dir + "\\README.TXT", "one\r\ntwo\r\n"));

  std::unique_ptr<script::InstallPlan> plan = app::CreateInstallPlan(app::MachineFacts{});
  plan->hard_disk_letter = 'C';
  plan->macros.default_dir = app_dir;
  plan->macros.windows_dir = dir_;
  plan->autoexec_edits.mode = script::EditMode::EditThenAsk;
  plan->autoexec_edits.add_install_dir = true;
  plan->config_edits.mode = script::EditMode::Edit;
  plan->config_edits.files_min = 30;
  plan->config_edits.buffers_min = 20;
  script::AddTextEntry insertion;
  insertion.text = "three";
  insertion.file = "README.TXT";
  insertion.place = "-1";
  plan->text_insertions.push_back(insertion);
  ui::HostDesktop desktop;
  desktop.QueueAnswer(ui::kIdYes);
  InstallLog log(machine_);
  log.set_enabled(true);
  log.SetLogPath(app_dir);
  SystemEditServices services{machine_, desktop, log, &profile_};
  const std::string current = machine_.GetCurrentDirectory();
  EditSystemFiles(*plan, services);
  InsertTexts(*plan, services);
  machine_.SetCurrentDirectory(current);

  std::string upper_app = app_dir;
  for (char& c : upper_app) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  EXPECT_EQ(ReadFileBytes(machine_, "C:\\AUTOEXEC.BAT"), "@ECHO OFF\r\nPATH " + upper_app + ";C:\\DOS\r\nWIN\r\n");
  EXPECT_EQ(ReadFileBytes(machine_, "C:\\AUTOEXEC.BAK"), "@ECHO OFF\r\nPATH C:\\DOS\r\nWIN\r\n");
  EXPECT_EQ(ReadFileBytes(machine_, "C:\\CONFIG.SYS"), "FILES=30\r\nDEVICE=HIMEM.SYS\r\nBUFFERS = 20\r\n");
  EXPECT_EQ(ReadFileBytes(machine_, "C:\\CONFIG.BAK"), "FILES=20\r\nDEVICE=HIMEM.SYS");
  EXPECT_EQ(ReadFileBytes(machine_, app_dir + "\\README.TXT"), "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(machine_.GetAttributes("C:\\~Tarsk.tmp"), os::kInvalidAttributes);
  EXPECT_EQ(machine_.GetAttributes(app_dir + "\\~Tarsk.tmp"), os::kInvalidAttributes);
  EXPECT_EQ(ReadFileBytes(machine_, app_dir + "\\install.log"),
            "AUTOEXEC: \"PATH C:\\DOS\", \"PATH " + upper_app + ";C:\\DOS\"\r\n"
            "CONFIG: \"FILES=20\", \"FILES=30\"\r\n"
            "CONFIG: \"\", \"BUFFERS = 20\"\r\n"
            "ADDTEXT: \"\", README.TXT, \"three\"\r\n");
  ASSERT_EQ(desktop.Messages().size(), 1u);
  EXPECT_EQ(desktop.Messages()[0].text, "Do you wish this program to modify your AUTOEXEC.BAT?");
}

}  // namespace
}  // namespace install::sysedit
