// Fuzz target for the disc configuration "cdrom.cfg" (libFuzzer).
//
// The input is the disc's cdrom.cfg on drive E: of the machine model. Checked:
// every value keeps to its field (80 characters, an extension 7), a Windows
// handler's command line keeps to its 522 characters and nine words, the
// disc number is read without overflow, and the unpack program chosen for a
// file is one of the configured ones.
#include <cstdint>
#include <fstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "tamblor/config/disc_config.h"
#include "tamblor/os/host/host_machine.h"

using tamblor::config::DiscConfig;
using tamblor::config::ExtensionHandler;
namespace config = tamblor::config;

namespace {

void CheckHandlers(const DiscConfig& disc, const std::vector<ExtensionHandler>& handlers, bool windows) {
  for (const ExtensionHandler& handler : handlers) {
    if (handler.extension.size() > config::kMaxExtension) fuzz::Broken("an extension beyond its field");
    if (handler.program.size() > config::kMaxValue) fuzz::Broken("a program beyond its field");
    const std::string file = "E:\\DIR\\FILE" + handler.extension;
    if (windows) {
      auto words = disc.WindowsCommand(file, file);
      if (!words || words->empty()) fuzz::Broken("a Windows handler that matches gives no command");
      if (words->size() > config::kMaxArguments) fuzz::Broken("more words than a command line holds");
      size_t length = words->size() - 1;
      for (const std::string& word : *words) length += word.size();
      if (length > config::kMaxCommandBuffer) fuzz::Broken("a command line beyond its buffer");
    } else {
      auto program = disc.UncompressProgram(file);
      if (!program) fuzz::Broken("an unpack handler that matches gives no program");
      if (program->size() > config::kMaxValue + 2) fuzz::Broken("an unpack program beyond its field");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string disc = fuzz::ScratchDirectory("disc_config").string();
  {
    std::ofstream out(disc + "/cdrom.cfg", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  tamblor::os::host::HostMachine machine;
  machine.MapDrive('E', disc, tamblor::os::DriveType::CdRom);
  DiscConfig config(machine, 'E');
  config.Read("E:\\cdrom.cfg");
  for (const std::string* value : {&config.disc_title(), &config.unzip_root(), &config.translation_dir(),
                                   &config.language()}) {
    if (value->size() > config::kMaxValue) fuzz::Broken("a value beyond its field: " + *value);
  }
  CheckHandlers(config, config.uncompress_handlers(), false);
  CheckHandlers(config, config.windows_handlers(), true);
  int number = config.DiscNumber();
  for (char digit = '0'; digit <= '9'; ++digit) {
    int required = config.RequiredDisc(std::string("E:\\disc") + digit + "\\A.TXT");
    if (required != 0 && (required != digit - '0' || required == number)) fuzz::Broken("a wrong disc is asked for");
  }
  return 0;
}
