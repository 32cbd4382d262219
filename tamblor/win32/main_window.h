// The browser's main window ("Tamblor"): it owns the languages, the three
// children and the stack of views. Commands from the menus, the toolbar, the
// keyboard and the text pane, and every other message it does not handle
// itself, go to the view on top.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "tamblor/actions/browser_actions.h"
#include "tamblor/actions/win32/win32_action_ui.h"
#include "tamblor/lang/language_set.h"
#include "tamblor/views/view_stack.h"
#include "tamblor/views/win32/window_view_host.h"
#include "tamblor/win32/browser.h"
#include "tamblor/win32/disc_prompt_win32.h"

namespace tamblor::app {

// Creates the main window (caption "Tamblor", default position and size). The
// browser must outlive the window.
HWND CreateMainWindow(Browser& browser);

// The message loop with the accelerator table named "Tamblor" (null when the
// program has none); returns the quit message's code.
int RunMessageLoop(HWND main_window, HINSTANCE instance);

// The object of each "Tamblor" window (see os/win32/window_procedure.h); the
// creation parameter is the Browser.
class MainWindow {
 public:
  MainWindow(HWND window, const CREATESTRUCTA& create);
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

  lang::LanguageSet* languages() { return languages_.get(); }
  views::ViewStack* views() { return stack_.get(); }

 private:
  LRESULT OnCreate();
  void OnSize(int width, int height);
  void OnSetFocus();
  void OnDestroy();
  // Passes the message to the view on top; true when it handled it.
  bool ToTopView(UINT message, WPARAM wparam, LPARAM lparam);
  void ShowAbout();

  Browser& browser_;
  HWND window_;
  HWND toolbar_ = nullptr;
  HWND panel_ = nullptr;
  HWND pane_ = nullptr;
  std::unique_ptr<lang::LanguageSet> languages_;
  std::unique_ptr<views::WindowViewHost> host_;
  std::unique_ptr<views::ViewStack> stack_;
  std::unique_ptr<Win32DiscPrompt> disc_prompt_;
  std::unique_ptr<views::ViewContext> context_;
  std::unique_ptr<os::DirectoryService> directories_;
  std::unique_ptr<actions::Win32ActionUi> action_ui_;
  std::unique_ptr<actions::BrowserActions> actions_;
};

}  // namespace tamblor::app
