#include "install/ui/win32/group_dialog.h"

#include <algorithm>

#include "install/ui/dialog_rules.h"
#include "install/ui/dialog_template_reader.h"

namespace install::ui {

int GroupDialog::Run() {
  if (!page_.dialog.bytes) return kIdCancel;
  const std::optional<TemplateView> view = ReadDialogTemplate(*page_.dialog.bytes);
  if (!view) return kIdCancel;
  ids_ = GroupButtonIds(*view);
  checked_->resize(page_.names.size(), false);
  if (ids_.size() > checked_->size()) ids_.resize(checked_->size());
  return RunTemplate(*page_.dialog.bytes);
}

void GroupDialog::OnInit() {
  for (std::size_t i = 0; i < ids_.size(); ++i) {
    CheckDlgButton(hwnd(), ids_[i], (*checked_)[i] ? BST_CHECKED : BST_UNCHECKED);
  }
}

void GroupDialog::OnCommand(int id, int notification) {
  // On an exclusive page a click checks its button and clears the others,
  // whatever static lines stand between the buttons.
  if (!page_.exclusive || notification != BN_CLICKED || ids_.empty()) return;
  if (std::find(ids_.begin(), ids_.end(), id) == ids_.end()) return;
  for (uint16_t other : ids_) CheckDlgButton(hwnd(), other, other == id ? BST_CHECKED : BST_UNCHECKED);
}

std::vector<bool> GroupDialog::ButtonStates() const {
  std::vector<bool> states(checked_->size(), false);
  for (std::size_t i = 0; i < ids_.size(); ++i) {
    states[i] = IsDlgButtonChecked(hwnd(), ids_[i]) == BST_CHECKED;
  }
  return states;
}

bool GroupDialog::OnOk() {
  std::vector<bool> states = ButtonStates();
  if (!AnyGroupChecked(states)) {
    desktop().MessageBox(texts().no_group, " ", kMbOk | kMbIconWarning);
    return false;
  }
  *checked_ = std::move(states);
  return true;
}

}  // namespace install::ui
