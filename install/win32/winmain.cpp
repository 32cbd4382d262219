// install.exe: the installer's entry point and message loop.
#include "install/os/win32/windows_api.h"

#include <memory>

#include "install/app/installation.h"
#include "install/os/win32/win32_machine.h"
#include "install/os/win32/win32_profile.h"
#include "install/os/win32/win32_program_manager.h"
#include "install/os/win32/win32_registry.h"
#include "install/os/win32/win32_system_info.h"
#include "install/script/win32/win32_screen_presenter.h"
#include "install/ui/backdrop_style.h"
#include "install/ui/bmp_image.h"
#include "install/ui/win32/gdi_text_measure.h"
#include "install/ui/win32/intro_screen_window.h"
#include "install/ui/win32/main_window.h"
#include "install/ui/win32/screen_picture.h"
#include "install/ui/win32/win32_desktop.h"
#include "install/ui/win32/win32_destination_dialogs.h"

namespace {

install::ui::Rgb ToUiColour(const install::script::Rgb& colour) {
  return {colour.red, colour.green, colour.blue};
}

install::ui::BackdropStyle StyleOf(const install::script::InstallPlan& plan, int screen_width) {
  install::ui::BackdropStyle style;
  style.title = plan.title;
  style.font_face = plan.title_font.face;
  style.font_size = plan.title_font.point_size;
  style.bold = plan.title_font.bold != 0;
  style.italic = plan.title_font.italic != 0;
  style.underline = plan.title_font.underline != 0;
  style.title_colour = ToUiColour(plan.title_color);
  style.top_colour = ToUiColour(plan.screen_color_from);
  style.bottom_colour = ToUiColour(plan.screen_color_to);
  if (!plan.prompts.locate.empty()) style.locate_text = plan.prompts.locate;
  style.screen_width = screen_width;
  return style;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  install::os::Win32Machine machine;
  install::ui::Win32Desktop desktop;
  std::unique_ptr<install::os::SystemInfo> system = install::os::CreateWin32SystemInfo();
  install::ui::GdiTextMeasure measure;
  install::app::Installation installation(machine, *system, desktop, measure);
  install::os::Win32Registry registry;
  install::os::Win32ProgramManager program_manager;
  installation.SetPostCopyServices(&registry, &program_manager);
  install::os::Win32Profile profile;
  installation.SetProfile(&profile);

  if (installation.Prepare(arguments ? arguments : "") != install::app::StartDecision::Continue) {
    return 0;
  }

  // Screen size, for the title and for centring the dialogs.
  installation.SetScreenSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  // An empty floppy drive or a missing disk comes back as an error, not a system dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS);

  install::ui::MainWindow main_window;
  if (!main_window.Create(instance)) return 0;
  desktop.SetMainWindow(&main_window);

  install::script::Win32ScreenPresenter presenter(desktop);
  if (installation.CreatePlanAndParse(&presenter) != 0) return 0;
  install::script::InstallPlan& plan = *installation.plan();
  install::ui::Win32DestinationDialogs dialogs(
      desktop, plan.prompts,
      [&installation](const std::string& path) { return installation.CreateDestinationDirectory(path); });

  main_window.SetStyle(StyleOf(plan, installation.screen_width()));
  if (plan.screen_graphic) {
    main_window.SetScreenGraphic(install::ui::ScreenPicture(
        install::ui::LoadBmpFile(machine, plan.screen_graphic->path), plan.screen_graphic->placement));
  }
  SetWindowTextA(main_window.hwnd(), install::ui::kMainWindowTitle);
  main_window.ShowMaximised();
  SetWindowTextA(main_window.hwnd(), install::ui::kMainWindowTitle);
  // Let the waiting window messages run, so that the window system puts the
  // painted backdrop on the screen before the thread blocks on the start
  // command. The run is not posted yet, so nothing of it can start here.
  desktop.PumpMessages();

  installation.RunAtStart();

  std::unique_ptr<install::ui::IntroScreenWindow> intro;
  // The run happens inside the main window's handler of WM_USER+1, which
  // first does away with the intro screen; the message loop ends after it.
  main_window.SetRunHandler([&intro, &installation, &dialogs] {
    intro.reset();
    installation.RunInstallation(dialogs);
    PostQuitMessage(0);
  });

  auto hand_over = [&main_window] {
    main_window.ShowMaximised();
    PostMessageA(main_window.hwnd(), install::ui::kRunInstallationMessage, 0, 0);
  };
  if (plan.intro_screen) {
    intro = std::make_unique<install::ui::IntroScreenWindow>();
    install::ui::ScreenPicture picture(install::ui::LoadBmpFile(machine, plan.intro_screen->path),
                                       install::ui::kPlaceCentred);
    if (intro->Create(instance, main_window.hwnd(), std::move(picture), plan.intro_screen->seconds,
                      hand_over)) {
      intro->ShowMaximised();
    } else {
      intro.reset();
    }
  }
  if (!intro) hand_over();

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  intro.reset();
  installation.FinishRun();
  installation.ReleaseAtProcessEnd();
  return static_cast<int>(message.wParam);
}
