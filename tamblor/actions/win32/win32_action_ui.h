// The file actions' windows: the destination dialog "DESTINDIALOG" of the
// current language, message boxes and the wait cursor.
#pragma once

#include <windows.h>

#include <optional>

#include "tamblor/actions/action_ui.h"
#include "tamblor/lang/language_set.h"
#include "tamblor/os/machine.h"
#include "tamblor/os/win32/gdi.h"

namespace tamblor::actions {

// Control ids of the destination dialog.
enum : int {
  kDestinationSource = 101,
  kDestinationBrowseDirectory = 102,
  kDestinationList = 103,
  kDestinationFreeBytes = 104,
  kDestinationField = 105,
};

class Win32ActionUi : public ActionUi {
 public:
  Win32ActionUi(HWND main_window, lang::LanguageSet& languages, os::Machine& machine)
      : main_(main_window), languages_(languages), machine_(machine) {}

  bool AskDestination(const DestinationRequest& request, const DestinationConfirm& confirm) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  void BeginWait() override;
  void EndWait() override;

  // The dialog's handling, for its dialog procedure.
  void OnInitDialog(HWND dialog);
  bool OnCommand(HWND dialog, int id, int notification);

 private:
  void Navigate(HWND dialog);
  void ShowBrowseDirectory(HWND dialog);

  HWND main_;
  lang::LanguageSet& languages_;
  os::Machine& machine_;
  const DestinationRequest* request_ = nullptr;  // while the dialog runs
  const DestinationConfirm* confirm_ = nullptr;
  HWND dialog_ = nullptr;
  std::string browse_;
  int waits_ = 0;
  std::optional<os::win32::WaitCursor> wait_;
};

}  // namespace tamblor::actions
