// The installer's main window: a borderless pop-up covering the screen, the
// backdrop in front of which every dialog appears, and the target of the
// application messages through which the installation drives the interface.
#pragma once

#include "install/os/win32/windows_api.h"

#include <functional>
#include <string>

namespace install::ui {

inline constexpr UINT kRunInstallationMessage = WM_USER + 1;
inline constexpr const char* kMainWindowClass = "QuillmarshInstall";
inline constexpr const char* kMainWindowTitle = "Quillmarsh";

class MainWindow {
 public:
  // Registers the class and creates the window, hidden. False on failure.
  bool Create(HINSTANCE instance);
  HWND hwnd() const { return hwnd_; }

  // Called on WM_USER+1, inside the message loop.
  void SetRunHandler(std::function<void()> run) { run_ = std::move(run); }
  // The product title painted on the backdrop.
  void SetTitle(std::string title) { title_ = std::move(title); }

  void ShowMaximised();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();

  HWND hwnd_ = nullptr;
  std::function<void()> run_;
  std::string title_;
};

}  // namespace install::ui
