#include "tamblor/actions/win32/win32_action_ui.h"

#include "tamblor/lang/resource_names.h"

namespace tamblor::actions {
namespace {

INT_PTR CALLBACK DestinationProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* ui = reinterpret_cast<Win32ActionUi*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      reinterpret_cast<Win32ActionUi*>(lparam)->OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      return ui && ui->OnCommand(dialog, LOWORD(wparam), HIWORD(wparam)) ? TRUE : FALSE;
    default:
      return FALSE;
  }
}

std::string ItemText(HWND dialog, int id, UINT get_length, UINT get_text, WPARAM index) {
  LRESULT length = SendDlgItemMessageA(dialog, id, get_length, index, 0);
  if (length < 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendDlgItemMessageA(dialog, id, get_text, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

bool FocusIn(HWND dialog, int id) {
  HWND focus = GetFocus();
  HWND control = GetDlgItem(dialog, id);
  return focus && control && (focus == control || IsChild(control, focus));
}

}  // namespace

bool Win32ActionUi::AskDestination(const DestinationRequest& request, const DestinationConfirm& confirm) {
  request_ = &request;
  confirm_ = &confirm;
  std::intptr_t result = languages_.Dialog(lang::kDestinationDialog, reinterpret_cast<os::WindowHandle>(main_),
                                           reinterpret_cast<void*>(&DestinationProc),
                                           reinterpret_cast<std::intptr_t>(this));
  request_ = nullptr;
  confirm_ = nullptr;
  dialog_ = nullptr;
  return result == 1;
}

void Win32ActionUi::OnInitDialog(HWND dialog) {
  dialog_ = dialog;
  SetWindowTextA(dialog, request_->caption.c_str());
  SetDlgItemTextA(dialog, kDestinationSource, request_->source.c_str());
  browse_ = kFirstBrowseDirectory;
  SetDlgItemTextA(dialog, kDestinationFreeBytes, FreeSpaceText(machine_.FreeBytes(browse_)).c_str());
  ShowBrowseDirectory(dialog);
  for (const std::string& choice : request_->proposals.choices) {
    SendDlgItemMessageA(dialog, kDestinationField, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
  }
  SendDlgItemMessageA(dialog, kDestinationField, CB_SETCURSEL, 0, 0);
  SetDlgItemTextA(dialog, kDestinationField, request_->proposals.edit_text.c_str());
}

// The browse directory in its static control, and its subdirectories and the
// drives in the list, the first one selected.
void Win32ActionUi::ShowBrowseDirectory(HWND dialog) {
  SetDlgItemTextA(dialog, kDestinationBrowseDirectory, browse_.c_str());
  std::string pattern = BrowsePattern(browse_);
  SendDlgItemMessageA(dialog, kDestinationList, LB_RESETCONTENT, 0, 0);
  SendDlgItemMessageA(dialog, kDestinationList, LB_DIR, DDL_EXCLUSIVE | DDL_DRIVES | DDL_DIRECTORY,
                      reinterpret_cast<LPARAM>(pattern.c_str()));
  SendDlgItemMessageA(dialog, kDestinationList, LB_SETCURSEL, 0, 0);
}

void Win32ActionUi::Navigate(HWND dialog) {
  LRESULT selected = SendDlgItemMessageA(dialog, kDestinationList, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return;
  std::string item = ItemText(dialog, kDestinationList, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(selected));
  std::string next = BrowseTo(browse_, item);
  if (next.size() == 3 && next != browse_ && item.size() == 5 && item[1] == '-') {
    SetDlgItemTextA(dialog, kDestinationFreeBytes, FreeSpaceText(machine_.FreeBytes(next)).c_str());
  }
  browse_ = next;
  SetDlgItemTextA(dialog, kDestinationField, browse_.c_str());
  ShowBrowseDirectory(dialog);
}

// OK (Enter) moves on from the field to the OK button, opens a list item, and
// on the OK button confirms; a double click in the list opens its item.
bool Win32ActionUi::OnCommand(HWND dialog, int id, int notification) {
  if (id == IDCANCEL) {
    EndDialog(dialog, 0);
    return true;
  }
  if (id == kDestinationList && notification == LBN_DBLCLK) {
    Navigate(dialog);
    return true;
  }
  if (id != IDOK) return false;
  if (FocusIn(dialog, kDestinationField)) {
    SetFocus(GetDlgItem(dialog, IDOK));
  } else if (FocusIn(dialog, kDestinationList)) {
    Navigate(dialog);
  } else if (FocusIn(dialog, IDOK)) {
    char text[kDestinationCapacity + 1] = {};
    GetDlgItemTextA(dialog, kDestinationField, text, sizeof text);
    if ((*confirm_)(text)) EndDialog(dialog, 1);
  }
  return true;
}

void Win32ActionUi::ShowMessage(const std::string& text, const std::string& caption) {
  MessageBoxA(dialog_ ? dialog_ : main_, text.c_str(), caption.c_str(), MB_OK);
}

bool Win32ActionUi::AskYesNo(const std::string& text, const std::string& caption) {
  return MessageBoxA(main_, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) != IDNO;
}

void Win32ActionUi::BeginWait() {
  if (waits_++ == 0) wait_.emplace();
}

void Win32ActionUi::EndWait() {
  if (waits_ > 0 && --waits_ == 0) wait_.reset();
}

}  // namespace tamblor::actions
