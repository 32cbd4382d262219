// install.exe: the installer's entry point and message loop.
#include "install/os/win32/windows_api.h"

#include "install/app/installation.h"
#include "install/os/win32/win32_machine.h"
#include "install/os/win32/win32_system_info.h"
#include "install/ui/win32/gdi_text_measure.h"
#include "install/ui/win32/main_window.h"
#include "install/ui/win32/win32_desktop.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  install::os::Win32Machine machine;
  install::ui::Win32Desktop desktop;
  std::unique_ptr<install::os::SystemInfo> system = install::os::CreateWin32SystemInfo();
  install::ui::GdiTextMeasure measure;
  install::app::Installation installation(machine, *system, desktop, measure);

  if (installation.Prepare(arguments ? arguments : "") != install::app::StartDecision::Continue) {
    return 0;
  }

  // Screen size, for centring the dialogs.
  installation.SetScreenSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  HBRUSH window_brush = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  // An empty floppy drive or a missing disk comes back as an error, not a system dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS);

  install::ui::MainWindow main_window;
  if (!main_window.Create(instance)) return 0;
  desktop.SetOwner(main_window.hwnd());

  if (installation.CreatePlanAndParse() != 0) {
    DeleteObject(window_brush);
    return 0;
  }

  main_window.SetTitle(installation.plan()->title);
  SetWindowTextA(main_window.hwnd(), install::ui::kMainWindowTitle);
  main_window.ShowMaximised();
  SetWindowTextA(main_window.hwnd(), install::ui::kMainWindowTitle);

  installation.RunAtStart();

  // The run happens inside the main window's handler of WM_USER+1. The plan
  // executor is not part of the program yet: the run ends at once.
  main_window.SetRunHandler([] { PostQuitMessage(0); });
  main_window.ShowMaximised();
  PostMessageA(main_window.hwnd(), install::ui::kRunInstallationMessage, 0, 0);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DeleteObject(window_brush);
  return static_cast<int>(message.wParam);
}
