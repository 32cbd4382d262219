#include "install/ui/win32/question_dialog.h"

#include "install/ui/desktop.h"
#include "install/ui/win32/dialog_controls.h"
#include "install/ui/win32/window_procedure.h"

namespace install::ui {

int QuestionDialog::RunResource(int resource_id) {
  const HWND previous_owner = desktop_.owner();
  const INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource_id), previous_owner,
                      DialogProcedure<QuestionDialog>, reinterpret_cast<LPARAM>(this));
  return Finish(result, previous_owner);
}

int QuestionDialog::RunTemplate(const std::vector<uint8_t>& bytes) {
  const HWND previous_owner = desktop_.owner();
  if (bytes.empty()) return kIdCancel;
  const INT_PTR result = DialogBoxIndirectParamA(
      GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), previous_owner,
      DialogProcedure<QuestionDialog>, reinterpret_cast<LPARAM>(this));
  return Finish(result, previous_owner);
}

int QuestionDialog::Finish(INT_PTR result, HWND previous_owner) {
  desktop_.SetOwner(previous_owner);
  hwnd_ = nullptr;
  return result == kIdOk ? kIdOk : kIdCancel;
}

INT_PTR QuestionDialog::OnDialogMessage(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      desktop_.SetOwner(hwnd_);
      CentreOnScreen(hwnd_);
      OnInit();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK: if (OnOk()) EndDialog(hwnd_, kIdOk); return TRUE;
        case IDCANCEL: OnCancel(); return TRUE;
        default: OnCommand(LOWORD(wparam), HIWORD(wparam)); return TRUE;
      }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      if (!window_colour_controls_) return FALSE;
      return WindowColourBackground(wparam, desktop_.window_brush());
    default: return FALSE;
  }
}

void QuestionDialog::OnCancel() {
  if (!quit_caption_) {
    EndDialog(hwnd_, kIdOk);
    return;
  }
  if (ConfirmQuit(desktop_, texts_, quit_caption_)) EndDialog(hwnd_, kIdCancel);
}

}  // namespace install::ui
