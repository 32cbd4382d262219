#include "tamblor/win32/main_window.h"

#include "tamblor/views/main_window_layout.h"
#include "tamblor/lang/resource_names.h"
#include "tamblor/views/index_view.h"
#include "tamblor/views/win32/child_windows.h"

namespace tamblor::app {
namespace {

MainWindow* Instance(HWND window) {
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

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

LRESULT MainWindow::OnCreate(HWND window) {
  window_ = window;
  HINSTANCE instance = browser_.instance;
  const config::DiscConfig& config = browser_.config;
  languages_ = std::make_unique<lang::LanguageSet>(browser_.resources, browser_.list_files);
  languages_->Create(config.drive(), config.translation_dir(), config.language());

  toolbar_ = views::CreateToolbar(window, instance, languages_.get());
  panel_ = views::CreateTitlePanel(window, instance);
  pane_ = views::CreateTextPane(window, instance);

  host_ = std::make_unique<views::WindowViewHost>(window, panel_, pane_, [this] { ShowAbout(); });
  stack_ = std::make_unique<views::ViewStack>(*host_, *languages_);
  disc_prompt_ = std::make_unique<Win32DiscPrompt>(window, *languages_);
  context_ = std::make_unique<views::ViewContext>(views::ViewContext{
      browser_.machine, config, *languages_, *host_, *stack_, nullptr, disc_prompt_.get(), false});
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

void MainWindow::OnDestroy() {
  // The menus belong to the language; the window must not destroy them too.
  SetMenu(window_, nullptr);
  if (stack_) stack_->Clear();
  if (toolbar_) SendMessageA(toolbar_, WM_CLOSE, 0, 0);
  if (panel_) SendMessageA(panel_, WM_CLOSE, 0, 0);
  if (pane_) SendMessageA(pane_, WM_CLOSE, 0, 0);
  toolbar_ = panel_ = pane_ = nullptr;
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
    default:
      if (self && self->ToTopView(message, wparam, lparam)) return 0;
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
