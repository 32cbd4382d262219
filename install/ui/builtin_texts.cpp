#include "install/ui/builtin_texts.h"

#include "install/os/ascii_case.h"

namespace install::ui {
namespace {

constexpr PromptTextSlot kPromptTexts[] = {
    {"COPYFILEPROMPT", 500, &PromptTexts::copy_file, "Installing file: "},
    {"AUTOEXECPROMPT", 1000, &PromptTexts::autoexec,
     "Do you wish this program to modify your AUTOEXEC.BAT?"},
    {"BADDIRPROMPT", 500, &PromptTexts::bad_dir, "Invalid directory."},
    {"BADDRIVEPROMPT", 500, &PromptTexts::bad_drive, "Invalid drive specification."},
    {"CONFIGPROMPT", 1000, &PromptTexts::config,
     "Do you wish this program to modify file CONFIG.SYS?"},
    {"CPUPROMPT", 1000, &PromptTexts::cpu,
     "This application requires a computer with a processor no less than: "},
    {"FILEEXISTPROMPT", 500, &PromptTexts::file_exist, "File exists.  Overwrite "},
    {"INIFILEPROMPT", 1000, &PromptTexts::ini_file, "Do you wish this program to modify file "},
    {"INSERTDISKPROMPT", 500, &PromptTexts::insert_disk, "Please insert "},
    {"LOCATEPROMPT", 500, &PromptTexts::locate, "Checking system, please wait..."},
    {"NOGROUPPROMPT", 500, &PromptTexts::no_group, "No group is selected."},
    {"NOSPACEPROMPT", 1000, &PromptTexts::no_space,
     "Not enough disk space on the destination drive for installation."},
    {"QUITPROMPT", 500, &PromptTexts::quit, "Do you wish to quit?"},
    {"REBOOTPROMPT", 500, &PromptTexts::reboot, "Do you wish to reboot?"},
    {"FILENOTFOUNDPROMPT", 500, &PromptTexts::file_not_found,
     "File not found on the installation disk: "},
    {"OKPROMPT", 500, &PromptTexts::ok, "OK"},
    {"CANCELPROMPT", 500, &PromptTexts::cancel, "Cancel"},
};

const PromptTextSlot* FindSlot(std::string_view keyword) {
  for (const PromptTextSlot& slot : kPromptTexts) {
    if (os::EqualsIgnoringCase(slot.keyword, keyword)) return &slot;
  }
  return nullptr;
}

}  // namespace

PromptTexts::PromptTexts() {
  for (const PromptTextSlot& slot : kPromptTexts) this->*slot.text = std::string(slot.builtin);
}

std::string* PromptTexts::ForKeyword(std::string_view keyword, std::size_t* capacity) {
  const PromptTextSlot* slot = FindSlot(keyword);
  if (!slot) return nullptr;
  if (capacity) *capacity = slot->capacity;
  return &(this->*slot->text);
}

std::span<const PromptTextSlot> PromptTextTable() { return kPromptTexts; }

std::string_view BuiltinPromptTextFor(std::string_view keyword) {
  const PromptTextSlot* slot = FindSlot(keyword);
  return slot ? slot->builtin : std::string_view();
}

}  // namespace install::ui
