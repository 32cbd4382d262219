#include "tamblor/win32/main_window.h"

#include <cstdlib>

#include "tamblor/config/main_window_layout.h"
#include "tamblor/lang/format_text.h"
#include "tamblor/lang/resource_names.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/views/win32/child_windows.h"

namespace tamblor::app {
namespace {

constexpr const char* kRootMenu = "VIEWINDEXMENU";
constexpr int kGoPopup = 1;

MainWindow* Instance(HWND window) {
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void Place(HWND child, const config::PlacementRule& rule, int width, int height) {
  config::Placement p = config::Place(rule, width, height);
  MoveWindow(child, p.x, p.y, p.width, p.height, TRUE);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wparam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

LRESULT MainWindow::OnCreate(HWND window) {
  window_ = window;
  HINSTANCE instance = browser_.instance;
  const config::DiscConfig& config = browser_.config;
  languages_ = std::make_unique<lang::LanguageSet>(browser_.resources, browser_.list_files);
  languages_->Create(config.drive(), config.translation_dir(), config.language());
  languages_->SetSwitchListener([this] {
    ShowRootIndex();
    views::ReloadToolbar(toolbar_);
  });

  toolbar_ = views::CreateToolbar(window, instance, languages_.get());
  panel_ = views::CreateTitlePanel(window, instance);
  pane_ = views::CreateTextPane(window, instance);
  ShowRootIndex();

  int char_width = 8, line_height = 16;
  views::TextPaneMetrics(pane_, &char_width, &line_height);
  config::WindowSize size = config::InitialMainWindowSize(char_width, line_height);
  SetWindowPos(window, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER);
  return 0;
}

void MainWindow::ShowRootIndex() {
  const config::DiscConfig& config = browser_.config;
  std::string root = config.RootPath();
  std::string path = config.TranslatePath(root + languages_->String(lang::kStrIndexFileName));
  if (browser_.machine.FindAttributes(path) != os::kInvalidAttributes) {
    index_path_ = path;
    views::ShowFileInPane(pane_, path);
  } else if (index_path_.empty()) {
    std::string text = lang::FormatText(languages_->String(lang::kStrCantLoadIndex), {path});
    MessageBoxA(window_, text.c_str(), "Tamblor: FATAL ERROR", MB_OK);
    std::exit(-1);
  }
  // A language whose index file the disc lacks keeps the index shown before.
  views::SetPanelTitle(panel_, lang::FormatText(languages_->String(lang::kStrRootTitle), {config.disc_title()}));
  SetMenu(window_, reinterpret_cast<HMENU>(languages_->Menu(kRootMenu)));
  MarkCurrentLanguage();
  DrawMenuBar(window_);
}

void MainWindow::MarkCurrentLanguage() {
  HMENU menu = GetMenu(window_);
  int count = menu ? GetMenuItemCount(menu) : 0;
  if (count >= 2) languages_->OnLanguagePopup(reinterpret_cast<os::MenuHandle>(menu), count - 2);
}

void MainWindow::OnSize(int width, int height) {
  Place(toolbar_, config::kToolbarRule, width, height);
  Place(panel_, config::kTitlePanelRule, width, height);
  Place(pane_, config::kTextPaneRule, width, height);
}

void MainWindow::OnDestroy() {
  // The menus belong to the language; the window must not destroy them too.
  SetMenu(window_, nullptr);
  if (toolbar_) SendMessageA(toolbar_, WM_CLOSE, 0, 0);
  if (panel_) SendMessageA(panel_, WM_CLOSE, 0, 0);
  if (pane_) SendMessageA(pane_, WM_CLOSE, 0, 0);
  toolbar_ = panel_ = pane_ = nullptr;
  languages_.reset();
  PostQuitMessage(0);
}

void MainWindow::ShowAbout() {
  browser_.resources.RunDialog(browser_.resources.ProgramModule(), lang::kAboutDialog,
                               reinterpret_cast<os::WindowHandle>(window_), reinterpret_cast<void*>(AboutProc), 0);
}

bool MainWindow::OnCommand(int command) {
  switch (command) {
    case lang::kCmdExit:
      PostMessageA(window_, WM_CLOSE, 0, 0);
      return true;
    case lang::kCmdBack:
      return false;  // the root index stays: Escape does nothing here
    case lang::kCmdAbout:
      ShowAbout();
      return true;
    default:
      break;
  }
  if (command < lang::kCmdFirstLanguage) return false;
  // The window lets go of the old language's menu before it is destroyed.
  HMENU before = GetMenu(window_);
  SetMenu(window_, nullptr);
  if (languages_->OnLanguageCommand(command)) return true;
  SetMenu(window_, before);
  return false;
}

bool MainWindow::OnInitMenuPopup(HMENU popup, int index, bool system_menu) {
  if (system_menu) return false;
  if (index == kGoPopup) {
    // The root index has no parent directory.
    EnableMenuItem(popup, lang::kCmdBack, MF_BYCOMMAND | MF_GRAYED);
    return true;
  }
  return languages_->OnLanguagePopup(reinterpret_cast<os::MenuHandle>(GetMenu(window_)), index);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  MainWindow* self = Instance(window);
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
      auto* browser = static_cast<Browser*>(create->lpCreateParams);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new MainWindow(*browser)));
      break;
    }
    case WM_CREATE:
      return self->OnCreate(window);
    case WM_SIZE:
      self->OnSize(LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_SETFOCUS:
      if (HWND pane = GetDlgItem(window, views::kTextPaneId)) SetFocus(pane);
      return 0;
    case WM_DESTROY:
      self->OnDestroy();
      return 0;
    case WM_NCDESTROY:
      delete self;
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      break;
    case WM_COMMAND:
      if (HIWORD(wparam) == 0 && self && self->OnCommand(LOWORD(wparam))) return 0;
      break;
    case WM_INITMENUPOPUP:
      if (self && self->OnInitMenuPopup(reinterpret_cast<HMENU>(wparam), LOWORD(lparam), HIWORD(lparam) != 0))
        return 0;
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND CreateMainWindow(Browser& browser) {
  return CreateWindowA("Tamblor", "Tamblor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                       CW_USEDEFAULT, nullptr, nullptr, browser.instance, &browser);
}

int RunMessageLoop(HWND main_window, HINSTANCE instance) {
  HACCEL accelerators = LoadAcceleratorsA(instance, "Tamblor");
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!accelerators || !TranslateAcceleratorA(main_window, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace tamblor::app
