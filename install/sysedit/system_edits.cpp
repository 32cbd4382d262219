#include "install/sysedit/system_edits.h"

#include "install/sysedit/dos_files.h"
#include "install/sysedit/ini_files.h"
#include "install/sysedit/text_insertion.h"

namespace install::sysedit {

void WarnAboutFile(ui::Desktop& desktop, std::string_view text, const std::string& path) {
  desktop.MessageBox(std::string(text) + path, nullptr, ui::kMbOk | ui::kMbIconWarning);
}

void EditSystemFiles(script::InstallPlan& plan, SystemEditServices& services) {
  ApplyAutoexecEdits(plan, services);
  ApplyConfigEdits(plan, services);
  if (!services.profile) return;
  for (const script::IniEntry& entry : plan.ini_edits) ApplyIniEntry(entry, plan.macros, plan.prompts, services);
}

void InsertTexts(script::InstallPlan& plan, SystemEditServices& services) {
  for (const script::AddTextEntry& entry : plan.text_insertions) ApplyAddText(entry, plan.macros, services);
}

}  // namespace install::sysedit
