#include "install/app/finishing.h"

#include <vector>

#include "install/app/startup.h"
#include "install/script/macros.h"
#include "install/ui/builtin_texts.h"

namespace install::app {
namespace {

bool HasDrive(const std::string& path, std::size_t at) {
  return path.size() > at + 1 && path[at + 1] == ':';
}

// Copies `from` over `to` through a temporary file beside `to`, so that a
// failed copy leaves an existing `to` as it was.
bool CopyReplacing(os::Machine& machine, const std::string& from, const std::string& to) {
  std::unique_ptr<os::File> in = machine.Open(from, os::OpenMode::Read);
  const int64_t size = in ? in->Seek(0, 2) : -1;
  if (size < 0 || in->Seek(0, 0) != 0) return false;
  const std::string temporary = to + ".~cp";
  std::unique_ptr<os::File> out = machine.Open(temporary, os::OpenMode::Create);
  if (!out) return false;
  const std::string error =
      CopyChunks([&](char* buffer, uint32_t count) { return in->Read(buffer, count); }, size, std::move(out));
  if (!error.empty() || !machine.MoveFileReplacing(temporary, to)) {
    machine.DeleteFile(temporary);
    return false;
  }
  return true;
}

}  // namespace

bool RegisterServer(os::Machine& machine, ui::Desktop& desktop, const std::string& path) {
  if (machine.CallRegisterServer(path) == 0) return true;
  desktop.MessageBox(path + std::string(ui::kNotRegisteredText), path.c_str(), ui::kMbOk);
  return false;
}

std::string ReadmeCommand(const script::InstallPlan& plan, const std::string& installation_dir) {
  std::string path = plan.readme;
  script::ExpandAll(path, plan.macros, script::kExpandedTextCapacity);
  const bool placed = (!path.empty() && path[0] == '\\') || HasDrive(path, 0) ||
                      (path.size() > 1 && path[0] == '"' && (path[1] == '\\' || HasDrive(path, 1)));
  return "notepad " + (placed ? path : installation_dir + "\\" + path);
}

void FinishRun(script::InstallPlan& plan, const std::string& installation_dir,
               const std::string& program_path, os::Machine& machine, ui::Desktop& desktop) {
  uint32_t ignored = 0;
  if (!plan.readme.empty()) machine.StartProcess(ReadmeCommand(plan, installation_dir), os::kShow, false, &ignored);
  for (const script::RunCommand& command : plan.run_at_exit) {
    if (!command.command.empty()) machine.StartProcess(command.command, os::kShow, false, &ignored);
  }
  if (plan.reboot_mode == script::kRebootWindows || plan.reboot_mode == script::kRebootSystem) {
    if (desktop.MessageBox(plan.prompts.reboot, " ", ui::kMbYesNo | ui::kMbIconQuestion) != ui::kIdYes) {
      plan.reboot_mode = script::kRebootNone;
    }
  }
  RestartSystem(plan, program_path, machine);
}

void RestartSystem(const script::InstallPlan& plan, const std::string& program_path, os::Machine& machine) {
  if (plan.reboot_mode != script::kRebootWindows && plan.reboot_mode != script::kRebootSystem) return;
  if (program_path.find(kTempCopyMark) != std::string::npos) {
    machine.DeleteFile(TempCopyCompanion(program_path, ".bat"));
    machine.DeleteFile(TempCopyCompanion(program_path, ".pif"));
  }
  const bool nt35 = plan.windows_version >= 3.5 && plan.windows_version <= 3.6;
  machine.RequestRestart(nt35);
}

void ReleaseAtProcessEnd(const script::InstallPlan& plan, const std::string& installation_dir,
                         const std::string& program_path, os::Machine& machine,
                         archive::SourceReader& sources) {
  if (plan.uninstall && !installation_dir.empty()) {
    CopyReplacing(machine, installation_dir + "\\" + kUninstallerName,
                  machine.GetWindowsDirectory() + "\\" + kUninstallerName);
  }
  sources.CloseInstallArchive();
  if (program_path.find(kTempCopyMark) != std::string::npos) {
    uint32_t ignored = 0;
    machine.StartProcess(QuotedIfNeeded(TempCopyCompanion(program_path, ".pif")) + " /C " +
                             QuotedIfNeeded(TempCopyCompanion(program_path, ".bat")),
                         os::kShowHide, false, &ignored);
  }
}

}  // namespace install::app
