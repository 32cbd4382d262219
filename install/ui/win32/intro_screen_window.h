// The intro screen: a full-screen picture shown before the backdrop. A key, a
// mouse click or the end of its display time closes it; closing hands over to
// the main window (once, however many of these arrive).
#pragma once

#include "install/os/win32/windows_api.h"

#include <functional>

#include "install/ui/win32/screen_picture.h"

namespace install::ui {

inline constexpr const char* kIntroWindowClass = "QuillmarshIntro";
inline constexpr UINT_PTR kIntroTimerId = 1;

class IntroScreenWindow {
 public:
  IntroScreenWindow() = default;
  IntroScreenWindow(const IntroScreenWindow&) = delete;
  IntroScreenWindow& operator=(const IntroScreenWindow&) = delete;
  ~IntroScreenWindow() { Destroy(); }

  // Creates the window, hidden, owned by `owner`. The picture is centred;
  // `seconds` 0 keeps it up until a key or click. `on_close` runs once, when
  // the intro screen closes.
  bool Create(HINSTANCE instance, HWND owner, ScreenPicture picture, int seconds,
              std::function<void()> on_close);
  HWND hwnd() const { return hwnd_; }
  bool closed() const { return closed_; }
  const ScreenPicture& picture() const { return picture_; }

  void ShowMaximised();
  // Closes the intro screen: the first call runs the close action, stops the
  // timer and frees the picture; later calls do nothing.
  void Close();
  void Destroy();

  void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void OnPaint();

  HWND hwnd_ = nullptr;
  ScreenPicture picture_;
  int seconds_ = 0;
  bool closed_ = false;
  std::function<void()> on_close_;
};

}  // namespace install::ui
