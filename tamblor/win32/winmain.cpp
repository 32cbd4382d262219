// The browser's entry: read the command line and the disc's configuration,
// register the window classes, show the main window and run the messages.
#include <windows.h>

#include "tamblor/config/command_line.h"
#include "tamblor/config/disc_config.h"
#include "tamblor/os/directory.h"
#include "tamblor/os/win32/win32_machine.h"
#include "tamblor/os/win32/win32_resources.h"
#include "tamblor/text/dir_scanner.h"
#include "tamblor/text/fatal_exit.h"
#include "tamblor/win32/browser.h"
#include "tamblor/win32/main_window.h"
#include "tamblor/win32/window_classes.h"

namespace {

// A window program's standard error stream reaches no one: a file that cannot
// be read is reported in a box before the program ends.
void ShowFatalMessage(const std::string& message) {
  MessageBoxA(GetActiveWindow(), message.c_str(), "Tamblor: FATAL ERROR", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  using namespace tamblor;
  text::SetFatalMessageHook(&ShowFatalMessage);
  os::win32::Win32Machine machine;
  config::StartupArguments arguments =
      config::ParseCommandLine(command_line ? command_line : "", machine.GetModulePath());
  config::DiscConfig disc(machine, arguments.drive);
  disc.Read(arguments.config_path);

  if (!previous) app::RegisterWindowClasses(instance);

  os::win32::Win32Resources resources(reinterpret_cast<os::ModuleHandle>(instance));
  std::unique_ptr<os::DirectoryService> directories = os::MakeDirectoryService();
  app::Browser browser{machine, resources, disc, instance, [&directories](const std::string& pattern) {
                         std::vector<std::string> names;
                         text::DirScanner scanner(*directories);
                         if (scanner.Open(pattern, text::ScanMode::Files)) {
                           while (scanner.Next()) names.push_back(scanner.Name());
                         }
                         return names;
                       }};

  HWND main_window = app::CreateMainWindow(browser);
  if (!main_window) return -1;
  ShowWindow(main_window, show);
  UpdateWindow(main_window);
  return app::RunMessageLoop(main_window, instance);
}
