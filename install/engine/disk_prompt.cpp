#include "install/engine/disk_prompt.h"

#include <cstddef>

#include "install/ui/builtin_texts.h"
#include "install/os/ascii_case.h"

namespace install::engine {
namespace {

using script::FileEntry;
using script::FileEntryKind;

bool IsDiskChangeAt(const script::InstallPlan& plan, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < plan.file_list.size() &&
         plan.file_list[static_cast<std::size_t>(index)].IsDiskChange();
}

}  // namespace

int DiskPrompter::DiskPrompt(const std::string* file_name) {
  FileEntry scratch;
  scratch.kind = FileEntryKind::DiskChange;
  scratch.name = std::string(ui::kNextDiskText);
  const bool designated = IsDiskChangeAt(plan_, state_.current_disk_index);
  const FileEntry& entry =
      designated ? plan_.file_list[static_cast<std::size_t>(state_.current_disk_index)] : scratch;

  std::string text;
  if (entry.kind == FileEntryKind::DiskChange && file_name) {
    text = plan_.prompts.file_not_found + *file_name + ". ";
  }
  text += plan_.prompts.insert_disk + entry.name;
  const std::string* check = entry.kind == FileEntryKind::DiskChangeCheck ? &entry.disk_check : nullptr;
  return RunPromptLoop(text, check, designated ? kDiskPromptInPlace : kDiskPromptScratch);
}

int DiskPrompter::NextDiskPrompt(bool advance) {
  if (advance) {
    state_.position += 1;
    state_.current_disk_index = state_.position;
  }
  // Before any disk change the walk starts at the first entry.
  int index = state_.current_disk_index < 0 ? 0 : state_.current_disk_index;
  const int count = static_cast<int>(plan_.file_list.size());
  while (index < count && !plan_.file_list[static_cast<std::size_t>(index)].IsDiskChange()) ++index;
  if (index >= count) return kDiskPromptQuit;
  state_.current_disk_index = index;
  state_.position = index;

  const FileEntry& entry = plan_.file_list[static_cast<std::size_t>(index)];
  const std::string text = plan_.prompts.insert_disk + entry.name;
  const std::string* check = entry.kind == FileEntryKind::DiskChangeCheck ? &entry.disk_check : nullptr;
  return RunPromptLoop(text, check, kDiskPromptInPlace);
}

int DiskPrompter::RequestNextDisk(bool advance) {
  const int result = NextDiskPrompt(advance);
  return result < 0 ? archive::kDiskInPlace : result;
}

int DiskPrompter::RunPromptLoop(const std::string& text, const std::string* check, int accepted) {
  machine_.MessageBeep(os::kBeepAsterisk);
  // From the first prompt on, the disks are the only source.
  sources_.CloseInstallArchive();
  sources_.set_archive_disabled(true);
  for (;;) {
    if (desktop_.PromptForDisk(text) != ui::kIdOk) {
      if (ui::ConfirmQuit(desktop_, plan_.prompts)) return kDiskPromptQuit;
      continue;
    }
    if (!check || LabelMatches(*check)) return accepted;
  }
}

bool DiskPrompter::LabelMatches(const std::string& check) {
  // The source drive is the first character of the source directory, read
  // anew for every check. The label is asked of the drive's root.
  if (state_.source_dir.empty()) return false;
  const std::string root = state_.source_dir.substr(0, 1) + ":\\";
  std::string label;
  if (!machine_.GetVolumeLabel(root, &label)) return false;
  return os::EqualsIgnoringCase(label, check);
}

}  // namespace install::engine
