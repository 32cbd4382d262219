// Drives the dialogs of the test's own thread while a modal loop (a dialog
// or a message box) runs: a thread timer fires inside that loop, and each
// tick hands the next queued step the dialog that is up and enabled at that
// moment (a message box on top of a dialog disables the dialog). Steps press
// buttons by posting WM_COMMAND, so a step never runs inside another; a
// posted command is handled before the next tick.
//
// A dialog left up long after the last step, or while the next step waits
// for another one, is ended with kAbandoned and the driver reports it, so
// that a dialog that fails to close fails the test instead of hanging it.
#pragma once

#include "install/os/win32/windows_api.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace install::ui::testing {

inline constexpr INT_PTR kAbandoned = 0x7A7A;

class DialogDriver {
 public:
  using Step = std::function<void(HWND dialog)>;
  // Which dialog a step waits for; none: whichever is up.
  using Wants = std::function<bool(HWND dialog)>;

  DialogDriver() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 10, &DialogDriver::OnTimer);
  }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;
  ~DialogDriver() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " dialog step(s) never ran";
    EXPECT_FALSE(abandoned_) << "a dialog was left up and ended by the driver";
  }

  DialogDriver& Then(Step step, Wants wants = {}) {
    steps_.push_back(Queued{std::move(step), std::move(wants)});
    return *this;
  }
  bool done() const { return steps_.empty(); }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) current_->Tick();
  }

  void Tick() {
    const HWND dialog = ActiveDialog();
    if (!dialog) return;
    if (!steps_.empty() && (!steps_.front().wants || steps_.front().wants(dialog))) {
      idle_ticks_ = 0;
      Step step = std::move(steps_.front().step);
      steps_.pop_front();
      step(dialog);
      return;
    }
    if (++idle_ticks_ > kPatienceTicks) {
      abandoned_ = true;
      idle_ticks_ = 0;
      EndDialog(dialog, kAbandoned);
    }
  }

  static BOOL CALLBACK Collect(HWND hwnd, LPARAM param) {
    char name[32] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
      reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    }
    return TRUE;
  }

  // The enabled dialog of this thread that takes input: the last one when
  // several are enabled (pop-up message windows are enabled too, and older).
  static HWND ActiveDialog() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), &DialogDriver::Collect, reinterpret_cast<LPARAM>(&dialogs));
    const HWND active = GetActiveWindow();
    for (HWND dialog : dialogs) {
      if (dialog == active) return dialog;
    }
    return dialogs.empty() ? nullptr : dialogs.front();
  }

  static constexpr int kPatienceTicks = 1500;  // about 15 seconds
  static inline DialogDriver* current_ = nullptr;
  struct Queued {
    Step step;
    Wants wants;
  };
  UINT_PTR timer_ = 0;
  std::deque<Queued> steps_;
  int idle_ticks_ = 0;
  bool abandoned_ = false;
};

// --- What a step does with a dialog --------------------------------------

inline void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// For steps that wait for a dialog other than `window` (a modeless one that
// stays up).
inline DialogDriver::Wants OtherThan(HWND window) {
  return [window](HWND dialog) { return dialog != window; };
}

inline void PressEscape(HWND dialog) { PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); }

// Clicks a check box or radio button as the mouse would (the button toggles
// itself and notifies the dialog).
inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

inline std::string TextOf(HWND hwnd) {
  char text[1024] = "";
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

inline std::string ItemTextOf(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

inline void Type(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextA(dialog, id, text.c_str());
}

inline bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The texts of a dialog's static controls, top to bottom as created.
inline std::vector<std::string> StaticTexts(HWND dialog) {
  std::vector<std::string> texts;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0) texts.push_back(TextOf(child));
  }
  return texts;
}

// A message box's text: its static controls joined (the icon has no text).
inline std::string MessageText(HWND box) {
  std::string text;
  for (const std::string& part : StaticTexts(box)) text += part;
  return text;
}

inline RECT FrameOf(HWND hwnd) {
  RECT frame{};
  GetWindowRect(hwnd, &frame);
  return frame;
}

}  // namespace install::ui::testing
