// Shows the exit message the parser meets as a real dialog: the template the
// script built for the EXITMESSAGE block, with its one button (OKPROMPT),
// owned by the desktop's main window.
#pragma once

#include <string>
#include <vector>

#include "install/script/script_parser.h"
#include "install/ui/win32/win32_desktop.h"

namespace install::script {

class Win32ScreenPresenter : public ScreenPresenter {
 public:
  explicit Win32ScreenPresenter(ui::Win32Desktop& desktop) : desktop_(desktop) {}

  void ShowExitMessage(const DialogTemplate& dialog, const std::vector<std::string>&) override {
    desktop_.ShowExitMessage(dialog.bytes);
  }

 private:
  ui::Win32Desktop& desktop_;
};

}  // namespace install::script
