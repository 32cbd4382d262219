#include "tamblor/win32/main_window.h"

#include "tamblor/views/main_window_layout.h"
#include "tamblor/lang/resource_names.h"
#include "tamblor/os/win32/window_procedure.h"
#include "tamblor/views/index_view.h"
#include "tamblor/views/win32/child_windows.h"

namespace tamblor::app {
namespace {

void Place(HWND child, const views::PlacementRule& rule, int width, int height) {
  views::Placement p = views::Place(rule, width, height);
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

MainWindow::MainWindow(HWND window, const CREATESTRUCTA& create)
    : browser_(*static_cast<Browser*>(create.lpCreateParams)), window_(window) {}

bool MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_CREATE: *result = OnCreate(); return true;
    case WM_SIZE: OnSize(LOWORD(lparam), HIWORD(lparam)); return true;
    case WM_SETFOCUS: OnSetFocus(); return true;
    case WM_DESTROY: OnDestroy(); return true;
    default: return ToTopView(message, wparam, lparam);  // answered with 0 when handled
  }
}

LRESULT MainWindow::OnCreate() {
  HWND window = window_;
  HINSTANCE instance = browser_.instance;
  const config::DiscConfig& config = browser_.config;
  languages_ = std::make_unique<lang::LanguageSet>(browser_.resources, browser_.list_files);
  languages_->Create(config.drive(), config.translation_dir(), config.language());

  toolbar_ = views::CreateToolbar(window, instance, languages_.get());
  panel_ = views::CreateTitlePanel(window, instance);
  pane_ = views::CreateTextPane(window, instance, views::PaneServices{&browser_.machine, languages_.get()});

  host_ = std::make_unique<views::WindowViewHost>(window, panel_, pane_, [this] { ShowAbout(); });
  stack_ = std::make_unique<views::ViewStack>(*host_, *languages_);
  disc_prompt_ = std::make_unique<Win32DiscPrompt>(window, *languages_);
  context_ = std::make_unique<views::ViewContext>(views::ViewContext{
      browser_.machine, config, *languages_, *host_, *stack_, nullptr, disc_prompt_.get(), false});
  directories_ = os::MakeDirectoryService();
  action_ui_ = std::make_unique<actions::Win32ActionUi>(window, *languages_, browser_.machine);
  actions_ = std::make_unique<actions::BrowserActions>(*context_, *directories_, *action_ui_);
  context_->actions = actions_.get();
    languages_->SetSwitchListener([this] {
    stack_->Refresh();
    views::ReloadToolbar(toolbar_);
  });
  // A disc without a root index ends here, after the fatal message.
  stack_->Push(new views::IndexView(*context_, config.RootPath(), nullptr));

  int char_width = 8, line_height = 16;
  views::TextPaneMetrics(pane_, &char_width, &line_height);
  views::WindowSize size = views::InitialMainWindowSize(char_width, line_height);
  SetWindowPos(window, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER);
  return 0;
}

void MainWindow::OnSize(int width, int height) {
  Place(toolbar_, views::kToolbarRule, width, height);
  Place(panel_, views::kTitlePanelRule, width, height);
  Place(pane_, views::kTextPaneRule, width, height);
}

void MainWindow::OnSetFocus() {
  if (pane_) SetFocus(pane_);
}

void MainWindow::OnDestroy() {
  // The menus belong to the language; the window must not destroy them too.
  SetMenu(window_, nullptr);
  if (stack_) stack_->Clear();
  if (toolbar_) SendMessageA(toolbar_, WM_CLOSE, 0, 0);
  if (panel_) SendMessageA(panel_, WM_CLOSE, 0, 0);
  if (pane_) SendMessageA(pane_, WM_CLOSE, 0, 0);
  toolbar_ = panel_ = pane_ = nullptr;
  actions_.reset();
  action_ui_.reset();
  context_.reset();
  stack_.reset();
  disc_prompt_.reset();
  host_.reset();
  languages_.reset();
  PostQuitMessage(0);
}

void MainWindow::ShowAbout() {
  browser_.resources.RunDialog(browser_.resources.ProgramModule(), lang::kAboutDialog,
                               reinterpret_cast<os::WindowHandle>(window_), reinterpret_cast<void*>(AboutProc), 0);
}

bool MainWindow::ToTopView(UINT message, WPARAM wparam, LPARAM lparam) {
  views::View* top = stack_ ? stack_->Top() : nullptr;
  if (!top) return false;
  return top->HandleMessage(reinterpret_cast<os::WindowHandle>(window_), message, static_cast<uintptr_t>(wparam),
                            static_cast<intptr_t>(lparam));
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
