// The browser's main window ("Tamblor"): it owns the languages, the three
// children and what is shown, and turns menu, toolbar and keyboard commands
// into actions.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "tamblor/lang/language_set.h"
#include "tamblor/win32/browser.h"

namespace tamblor::app {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Creates the main window (caption "Tamblor", default position and size). The
// browser must outlive the window.
HWND CreateMainWindow(Browser& browser);

// The message loop with the accelerator table named "Tamblor" (null when the
// program has none); returns the quit message's code.
int RunMessageLoop(HWND main_window, HINSTANCE instance);

class MainWindow {
 public:
  explicit MainWindow(Browser& browser) : browser_(browser) {}

  LRESULT OnCreate(HWND window);
  void OnSize(int width, int height);
  void OnDestroy();
  bool OnCommand(int command);
  bool OnInitMenuPopup(HMENU popup, int index, bool system_menu);

  lang::LanguageSet* languages() { return languages_.get(); }

 private:
  // The disc root's index in the current language: title, menu and file.
  void ShowRootIndex();
  void ShowAbout();
  void MarkCurrentLanguage();

  Browser& browser_;
  HWND window_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND panel_ = nullptr;
  HWND pane_ = nullptr;
  std::unique_ptr<lang::LanguageSet> languages_;
  std::string index_path_;
};

}  // namespace tamblor::app
