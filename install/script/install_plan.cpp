#include "install/script/install_plan.h"

#include "install/script/ascii_case.h"

namespace install::script {

InstallPlan::InstallPlan() { group_disk_space.fill(-1); }

std::string* PromptTexts::ForKeyword(std::string_view keyword, std::size_t* capacity) {
  struct Slot {
    std::string_view keyword;
    std::string PromptTexts::*text;
    std::size_t capacity;
  };
  static constexpr Slot kSlots[] = {
      {"COPYFILEPROMPT", &PromptTexts::copy_file, 500},
      {"AUTOEXECPROMPT", &PromptTexts::autoexec, 1000},
      {"CONFIGPROMPT", &PromptTexts::config, 1000},
      {"INIFILEPROMPT", &PromptTexts::ini_file, 1000},
      {"CPUPROMPT", &PromptTexts::cpu, 1000},
      {"BADDIRPROMPT", &PromptTexts::bad_dir, 500},
      {"BADDRIVEPROMPT", &PromptTexts::bad_drive, 500},
      {"OKPROMPT", &PromptTexts::ok, 500},
      {"CANCELPROMPT", &PromptTexts::cancel, 500},
      {"FILEEXISTPROMPT", &PromptTexts::file_exist, 500},
      {"FILENOTFOUNDPROMPT", &PromptTexts::file_not_found, 500},
      {"INSERTDISKPROMPT", &PromptTexts::insert_disk, 500},
      {"LOCATEPROMPT", &PromptTexts::locate, 500},
      {"NOGROUPPROMPT", &PromptTexts::no_group, 500},
      {"NOSPACEPROMPT", &PromptTexts::no_space, 1000},
      {"QUITPROMPT", &PromptTexts::quit, 500},
      {"REBOOTPROMPT", &PromptTexts::reboot, 500},
  };
  for (const Slot& slot : kSlots) {
    if (EqualsIgnoringCase(slot.keyword, keyword)) {
      if (capacity) *capacity = slot.capacity;
      return &(this->*slot.text);
    }
  }
  return nullptr;
}

}  // namespace install::script
