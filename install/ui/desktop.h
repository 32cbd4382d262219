// How the installer talks to the user. The engine never touches windows
// directly; it calls this interface. ui/win32 implements it with the real main
// window and dialogs; ui/host_desktop answers from a script of responses and
// records what was shown.
#pragma once

#include <string>

namespace install::ui {

// Message box styles and answers (the values of MB_* and ID*).
enum : unsigned {
  kMbOk = 0x0000,
  kMbOkCancel = 0x0001,
  kMbYesNo = 0x0004,
  kMbIconWarning = 0x0030,
  kMbIconInformation = 0x0040,
  kMbIconQuestion = 0x0020,
  kMbIconStop = 0x0010,
};
enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Shows a message box owned by the main window. `caption` nullptr means the
  // system's default caption. Returns the button pressed (kIdOk, ...).
  virtual int MessageBox(const std::string& text, const char* caption, unsigned style) = 0;
  // Lets waiting window messages run (keeps the windows responsive during long
  // work). Returns true when the user asked to cancel.
  virtual bool PumpMessages() = 0;
};

}  // namespace install::ui
