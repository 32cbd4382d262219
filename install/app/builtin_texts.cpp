#include "install/app/builtin_texts.h"

#include "install/script/ascii_case.h"

namespace install::app {
namespace {

constexpr BuiltinPromptText kPromptTexts[] = {
    {"COPYFILEPROMPT", "Installing file: "},
    {"AUTOEXECPROMPT", "Do you wish this program to modify your AUTOEXEC.BAT?"},
    {"BADDIRPROMPT", "Invalid directory."},
    {"BADDRIVEPROMPT", "Invalid drive specification."},
    {"CONFIGPROMPT", "Do you wish this program to modify file CONFIG.SYS?"},
    {"CPUPROMPT", "This application requires a computer with a processor no less than: "},
    {"FILEEXISTPROMPT", "File exists.  Overwrite "},
    {"INIFILEPROMPT", "Do you wish this program to modify file "},
    {"INSERTDISKPROMPT", "Please insert "},
    {"LOCATEPROMPT", "Checking system, please wait..."},
    {"NOGROUPPROMPT", "No group is selected."},
    {"NOSPACEPROMPT", "Not enough disk space on the destination drive for installation."},
    {"QUITPROMPT", "Do you wish to quit?"},
    {"REBOOTPROMPT", "Do you wish to reboot?"},
    {"FILENOTFOUNDPROMPT", "File not found on the installation disk: "},
    {"OKPROMPT", "OK"},
    {"CANCELPROMPT", "Cancel"},
};


}  // namespace

std::span<const BuiltinPromptText> BuiltinPromptTexts() { return kPromptTexts; }

std::string_view BuiltinPromptTextFor(std::string_view keyword) {
  for (const BuiltinPromptText& entry : kPromptTexts) {
    if (script::EqualsIgnoringCase(entry.keyword, keyword)) return entry.text;
  }
  return {};
}

}  // namespace install::app
