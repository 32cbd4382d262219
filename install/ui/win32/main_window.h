// The installer's main window: a borderless pop-up covering the screen, the
// backdrop in front of which every dialog appears, and the target of the
// application messages through which the installation drives the interface.
#pragma once

#include "install/os/win32/windows_api.h"

#include <functional>
#include <string>

#include "install/ui/backdrop_style.h"
#include "install/ui/builtin_texts.h"
#include "install/ui/win32/screen_picture.h"

namespace install::ui {

inline constexpr UINT kProgressRefreshMessage = WM_USER;
inline constexpr UINT kRunInstallationMessage = WM_USER + 1;
inline constexpr UINT kNextDiskMessage = WM_USER + 2;
inline constexpr UINT kShowCopyFileMessage = WM_USER + 3;
inline constexpr UINT kPleaseWaitMessage = WM_USER + 5;
inline constexpr const char* kMainWindowClass = "QuillmarshInstall";
inline constexpr const char* kMainWindowTitle = "Quillmarsh";

class MainWindow {
 public:
  MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow();

  // Registers the class and creates the window, hidden. False on failure.
  bool Create(HINSTANCE instance);
  HWND hwnd() const { return hwnd_; }

  // Called on WM_USER+1, inside the message loop.
  void SetRunHandler(std::function<void()> run) { run_ = std::move(run); }
  // Called on WM_USER+2 with true when the file list position is to advance
  // first; its result is the message's result when positive.
  void SetNextDiskHandler(std::function<int(bool advance)> next_disk) {
    next_disk_ = std::move(next_disk);
  }
  // The progress dialog, which receives the progress refreshes (WM_USER) and
  // the file being copied (WM_USER+3); none: both are dropped.
  void SetProgressWindow(HWND progress) { progress_ = progress; }
  // The text shown before the file being copied (COPYFILEPROMPT).
  void SetCopyFilePrompt(std::string prompt) { copy_file_prompt_ = std::move(prompt); }

  void SetStyle(BackdropStyle style) { style_ = std::move(style); }
  // The text of the please-wait box (WM_USER+5).
  void SetLocateText(std::string text) { style_.locate_text = std::move(text); }
  const BackdropStyle& style() const { return style_; }
  void SetScreenGraphic(ScreenPicture picture) { graphic_ = std::move(picture); }
  const ScreenPicture& screen_graphic() const { return graphic_; }

  void ShowMaximised();

  // The painting steps, public so that they can be drawn on any device context.
  void PaintBackground(HDC dc, int width, int height);
  void PaintTitle(HDC dc);
  void DrawPleaseWait();

  void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  LRESULT OnEraseBackground(HDC dc);
  void OnPaint();
  LRESULT OnNextDisk(WPARAM advance);
  void OnShowCopyFile(const char* file);
  void OnProgressRefresh(WPARAM step_done);

  HWND hwnd_ = nullptr;
  std::function<void()> run_;
  std::function<int(bool)> next_disk_;
  HWND progress_ = nullptr;
  std::string copy_file_prompt_ = std::string(BuiltinPromptTextFor("COPYFILEPROMPT"));
  BackdropStyle style_;
  ScreenPicture graphic_;
};

}  // namespace install::ui
