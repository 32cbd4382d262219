#include "install/ui/win32/ask_dialog.h"

#include "install/ui/dialog_rules.h"
#include "install/ui/win32/dialog_controls.h"
#include "install/ui/win32/dialog_resources.h"

namespace install::ui {

int AskDialog::Run() {
  PaintControlsOnWindowColour();
  return RunResource(IDD_ASK);
}

void AskDialog::OnInit() {
  ShowPromptLines(hwnd(), prompt_);
  SetItemText(hwnd(), IDC_ASK_ANSWER, *answer_);
  CaptionButtons(hwnd(), texts());
}

bool AskDialog::OnOk() {
  *answer_ = ItemText(hwnd(), IDC_ASK_ANSWER, kAnswerCapacity);
  return true;
}

}  // namespace install::ui
