#include "install/engine/executor.h"

#include <algorithm>

#include "install/engine/destinations.h"
#include "install/engine/rename_delete.h"
#include "install/script/ask_questions.h"
#include "install/script/macros.h"
#include "install/ui/dialog_rules.h"

namespace install::engine {
namespace {

FileInstallTexts TextsOf(const script::InstallPlan& plan) {
  FileInstallTexts texts;
  texts.file_exist = plan.prompts.file_exist;
  texts.file_not_found = plan.prompts.file_not_found;
  texts.bad_dir = plan.prompts.bad_dir;
  return texts;
}

bool HasDriveOrRoot(const std::string& path) {
  return (!path.empty() && path[0] == '\\') || (path.size() >= 2 && path[1] == ':');
}

// The group number that carries item `index`; -1 when none.
int GroupNumberOf(const script::GroupMap& map, int index) {
  for (int number = 0; number < 100; ++number) {
    if (map.ItemOf(number) == index) return number;
  }
  return -1;
}

}  // namespace

InstallExecutor::InstallExecutor(script::InstallPlan& plan, const RunServices& services)
    : plan_(plan),
      services_(services),
      volumes_(services.sources, services.desktop, disks_, *this),
      disks_(plan, state_, services.machine, services.desktop, services.sources),
      installer_(services.machine, services.desktop, services.sources, volumes_, disks_, *this,
                 services.log, state_) {
  state_.source_dir = plan.macros.source_dir;
  while (!state_.source_dir.empty() && state_.source_dir.back() == '\\') state_.source_dir.pop_back();
  state_.progress.no_byte_progress = plan.uses_external_unpacker != 0;
  installer_.set_texts(TextsOf(plan));
  installer_.set_unpacker(plan.unpacker);
  installer_.set_macro_expander([this](const std::string& text, std::size_t capacity) {
    return Expand(text, capacity);
  });
  installer_.set_after_question([this] {
    if (progress_open_) services_.desktop.UpdateProgress(false, state_.progress.done, 0);
  });
}

std::string InstallExecutor::Expand(const std::string& text, std::size_t capacity) const {
  std::string out = text;
  script::ExpandAll(out, plan_.macros, capacity);
  return out;
}

bool InstallExecutor::IsEntrySelected(const script::FileEntry& entry) const {
  if (entry.groups[0] == script::kNoGroup) return true;
  for (uint16_t item : entry.groups) {
    if (item == script::kNoGroup) break;
    if (item < plan_.group_selected.size() && plan_.group_selected[item]) return true;
  }
  return false;
}

int InstallExecutor::Run() {
  int result = kRunStopped;
  do {
    if (CheckProcessor() != 0) break;
    if (plan_.first_screen &&
        services_.desktop.ShowTextScreen(ui::TextScreen::First, {&plan_.first_screen->bytes, {}},
                                         plan_.prompts) != ui::kIdOk) {
      break;
    }
    if (script::AskQuestions(plan_, services_.desktop) != 0) break;
    if (AskGroups() != 0) break;
    if (!plan_.deferred_blocks.empty() && services_.steps.replay_deferred &&
        services_.steps.replay_deferred(plan_) != 0) {
      break;
    }
    DestinationServices destinations{services_.machine, services_.desktop, services_.log,
                                     services_.dialogs, Expander()};
    if (SetUpDestinations(plan_, state_, destinations) != 0) break;
    if (CheckDiskSpace() != 0) break;
    LogUninstallTexts();
    FileOperationServices files{services_.machine, services_.desktop, services_.log,
                                Expander()};
    for (const script::RenameEntry& rename : plan_.renames) ApplyRename(rename, plan_, files);
    const int walked = WalkFileList();
    EndCopyPhase(walked == 0);
    if (walked != 0) break;
    if (services_.steps.edit_system_files) services_.steps.edit_system_files(plan_);
    RegisterServers();
    if (services_.steps.insert_texts) services_.steps.insert_texts(plan_);
    if (plan_.last_screen &&
        services_.desktop.ShowTextScreen(ui::TextScreen::Last, {&plan_.last_screen->bytes, {}},
                                         plan_.prompts) != ui::kIdOk) {
      break;
    }
    for (const script::DeleteEntry& deletion : plan_.deletions) ApplyDelete(deletion, state_, files);
    ExpandExitCommands();
    result = kRunCompleted;
  } while (false);
  if (result == kRunStopped) plan_.reboot_mode = script::kRebootNone;
  return result;
}

MacroExpander InstallExecutor::Expander() {
  return [this](const std::string& text, std::size_t capacity) { return Expand(text, capacity); };
}

int InstallExecutor::CheckProcessor() {
  if (plan_.min_cpu <= 0) return 0;
  const int processor = services_.system.ProcessorType();
  const bool too_old = (plan_.min_cpu >= 486 && processor == 386) ||
                       (plan_.min_cpu >= 586 && (processor == 386 || processor == 486));
  if (!too_old) return 0;
  services_.desktop.MessageBox(plan_.prompts.cpu + std::to_string(plan_.min_cpu), " ",
                               ui::kMbOk | ui::kMbIconWarning);
  return 1;
}

// The top-level page (the header screen, else the first page) and then, in
// group order, the page numbered like each chosen group of it.
int InstallExecutor::AskGroups() {
  if (!plan_.group_header && plan_.group_pages.empty()) return 0;
  int first = 0, end = 0;
  bool exclusive = false;
  const script::DialogTemplate* dialog = nullptr;
  std::size_t nested_from = 0;
  if (plan_.group_header) {
    first = plan_.group_header->items_before;
    end = plan_.group_item_count;
    for (const script::GroupPage& page : plan_.group_pages) {
      if (page.first_item >= first) end = std::min(end, page.first_item);
    }
    exclusive = plan_.group_header->exclusive != 0;
    dialog = &plan_.group_header->dialog;
  } else {
    const script::GroupPage& top = plan_.group_pages.front();
    first = top.first_item;
    end = top.end_item;
    exclusive = top.exclusive != 0;
    dialog = &top.dialog;
    nested_from = 1;
  }
  if (ShowGroupPage(first, end, exclusive, *dialog) != 0) return 1;
  for (int item = first; item < end; ++item) {
    if (!plan_.group_selected[static_cast<std::size_t>(item)]) continue;
    const int number = GroupNumberOf(plan_.group_map, item);
    for (std::size_t p = nested_from; p < plan_.group_pages.size(); ++p) {
      const script::GroupPage& page = plan_.group_pages[p];
      if (page.page_number != number) continue;
      if (ShowGroupPage(page.first_item, page.end_item, page.exclusive != 0, page.dialog) != 0) {
        return 1;
      }
    }
  }
  return 0;
}

int InstallExecutor::ShowGroupPage(int first_item, int end_item, bool exclusive,
                                   const script::DialogTemplate& dialog) {
  ui::GroupPageView view;
  view.dialog.bytes = &dialog.bytes;
  view.exclusive = exclusive;
  std::vector<bool> preselected;
  for (int item = first_item; item < end_item; ++item) {
    const int number = GroupNumberOf(plan_.group_map, item);
    view.names.push_back(number < 10 ? "0" + std::to_string(number) : std::to_string(number));
    preselected.push_back(plan_.group_preselected[static_cast<std::size_t>(item)] != 0);
  }
  std::vector<bool> checked = ui::InitialGroupChecks(preselected, exclusive);
  if (services_.desktop.ChooseGroups(view, &checked, plan_.prompts) != ui::kIdOk) return 1;
  for (int item = first_item; item < end_item; ++item) {
    plan_.group_selected[static_cast<std::size_t>(item)] =
        checked[static_cast<std::size_t>(item - first_item)] ? 1 : 0;
  }
  plan_.groups_chosen = 1;
  return 0;
}

int InstallExecutor::CheckDiskSpace() {
  int64_t need = plan_.disk_space > 0 ? plan_.disk_space : 0;
  for (std::size_t item = 0; item < plan_.item_disk_space.size() && item < plan_.group_selected.size();
       ++item) {
    if (plan_.group_selected[item] && plan_.item_disk_space[item] > 0) need += plan_.item_disk_space[item];
  }
  // The sum is a signed 32-bit count, as is the free space it is compared with.
  const int32_t need32 = static_cast<int32_t>(std::min<int64_t>(need, INT32_MAX));
  if (need32 != 0 && state_.free_space < need32) {
    services_.desktop.MessageBox(plan_.prompts.no_space, " ", ui::kMbOk | ui::kMbIconWarning);
    return 1;
  }
  SetProgressTotal(need32);
  return 0;
}

void InstallExecutor::SetProgressTotal(int64_t need) {
  state_.progress.total = -1;
  if (need > 100) state_.progress.total = need;
  if (plan_.progress_total > 100) state_.progress.total = plan_.progress_total;
}

void InstallExecutor::LogUninstallTexts() {
  services_.log.AppendLogLine(sysedit::UninstallBeginLogEntry(plan_.uninstall_begin));
  services_.log.AppendLogLine(sysedit::UninstallEndLogEntry(plan_.uninstall_end));
  services_.log.AppendLogLine(sysedit::UninstallTitleLogEntry(plan_.uninstall_title));
}

int InstallExecutor::WalkFileList() {
  std::vector<script::FileEntry>& list = plan_.file_list;
  for (state_.position = 0; state_.position < static_cast<int>(list.size()); ++state_.position) {
    if (ProcessEntry(list[static_cast<std::size_t>(state_.position)]) != 0) return 1;
  }
  return 0;
}

int InstallExecutor::ProcessEntry(script::FileEntry& entry) {
  if (entry.popup > 0 && !plan_.popups.empty()) ShowPopup(entry.popup);
  if (!progress_open_) {
    services_.desktop.OpenProgress(plan_.file_count, plan_.prompts);
    progress_open_ = true;
  }
  std::vector<script::FileEntry>& list = plan_.file_list;
  if (entry.IsDiskChange()) {
    state_.current_disk_index = state_.position;
    std::size_t next = static_cast<std::size_t>(state_.position) + 1;
    while (next < list.size() && !list[next].IsDiskChange() && !IsEntrySelected(list[next])) {
      ++state_.position;
      ++next;
    }
    if (next < list.size() && !list[next].IsDiskChange()) return disks_.DiskPrompt(nullptr) != 0 ? 1 : 0;
    return 0;
  }
  if (!IsEntrySelected(entry)) return 0;
  entry.name = Expand(entry.name, script::kExpandedTextCapacity);
  services_.desktop.ShowProgressFile(plan_.prompts.copy_file, entry.name);
  if (installer_.InstallEntryFiles(entry) == kEntryStop) return 1;
  services_.desktop.UpdateProgress(true, state_.progress.done,
                                   state_.progress.Counts() ? state_.progress.total : 0);
  return 0;
}

void InstallExecutor::ShowPopup(int number) {
  for (const script::PopupMessage& popup : plan_.popups) {
    if (popup.number != number) continue;
    if (popup.dialog.bytes.empty()) return;
    services_.desktop.ShowPopup({&popup.dialog.bytes, {}});
    popup_open_ = true;
    return;
  }
}

void InstallExecutor::EndCopyPhase(bool completed) {
  if (progress_open_) {
    if (completed && state_.progress.Counts()) {
      state_.progress.done = state_.progress.total;
      services_.desktop.UpdateProgress(true, state_.progress.done, state_.progress.total);
    }
    services_.desktop.CloseProgress();
    progress_open_ = false;
  }
  if (popup_open_) {
    services_.desktop.ClosePopup();
    popup_open_ = false;
  }
}

void InstallExecutor::RegisterServers() {
  for (const std::string& server : plan_.reg_servers) {
    std::string path = Expand(server, script::kExpandedTextCapacity);
    if (!HasDriveOrRoot(path)) path = state_.installation_dir + "\\" + path;
    if (services_.steps.register_server && services_.steps.register_server(path)) {
      services_.log.AppendLogLine(sysedit::RegServerLogEntry(path));
    }
  }
}

void InstallExecutor::ExpandExitCommands() {
  for (script::RunCommand& command : plan_.run_at_exit) {
    command.command = Expand(command.command, script::RunCommand::kCapacity);
  }
}

void InstallExecutor::RefreshProgress() {
  if (progress_open_) {
    services_.desktop.UpdateProgress(false, state_.progress.done,
                                     state_.progress.Counts() ? state_.progress.total : 0);
  }
}

void InstallExecutor::ShowFileBeingInstalled(const std::string& path) {
  if (progress_open_) services_.desktop.ShowProgressFile(plan_.prompts.copy_file, path);
}

int RunInstallPlan(script::InstallPlan& plan, const RunServices& services) {
  InstallExecutor executor(plan, services);
  return executor.Run();
}

}  // namespace install::engine
