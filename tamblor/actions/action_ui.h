// What the file actions need of the user interface: the destination dialog,
// message boxes, a question and the wait cursor. The Win32 layer shows real
// windows; the tests answer from a script.
#pragma once

#include <functional>
#include <string>

#include "tamblor/actions/destination.h"

namespace tamblor::actions {

struct DestinationRequest {
  std::string caption;               // string 24 (copy) or 11 (install)
  std::string source;                // the translated source path, shown above the field
  DestinationProposals proposals;    // the field's list and first text
};

// Called with the field's text when the user confirms (OK with the focus on
// the OK button); true ends the dialog, false keeps it open (the callee has
// said why).
using DestinationConfirm = std::function<bool(const std::string& field_text)>;

class ActionUi {
 public:
  virtual ~ActionUi() = default;
  // Runs the modal destination dialog of the current language. True when a
  // confirmation ended it, false for Cancel (or when it could not be shown).
  virtual bool AskDestination(const DestinationRequest& request, const DestinationConfirm& confirm) = 0;
  // A message box with OK: on the destination dialog while it is open, else
  // on the main window.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
  // A question with Yes and No on the main window; true for any answer but No.
  virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;
};

// The wait cursor for a scope.
class WaitScope {
 public:
  explicit WaitScope(ActionUi& ui) : ui_(ui) { ui_.BeginWait(); }
  ~WaitScope() { ui_.EndWait(); }
  WaitScope(const WaitScope&) = delete;
  WaitScope& operator=(const WaitScope&) = delete;

 private:
  ActionUi& ui_;
};

}  // namespace tamblor::actions
