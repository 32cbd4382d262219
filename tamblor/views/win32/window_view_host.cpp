#include "tamblor/views/win32/window_view_host.h"

#include "tamblor/views/win32/child_windows.h"

namespace tamblor::views {

void WindowViewHost::AttachDocument(ViewDocument* document) { views::AttachDocument(pane_, document); }

void WindowViewHost::DetachDocument() { views::DetachDocument(pane_); }

void WindowViewHost::SetTitle(const std::string& title) { SetPanelTitle(panel_, title); }

os::MenuHandle WindowViewHost::MenuBar() { return reinterpret_cast<os::MenuHandle>(GetMenu(main_)); }

void WindowViewHost::SetMenuBar(os::MenuHandle menu) {
  SetMenu(main_, reinterpret_cast<HMENU>(menu));
  if (menu) DrawMenuBar(main_);
}

void WindowViewHost::EnableMenuCommand(os::MenuHandle popup, int command, bool enabled) {
  EnableMenuItem(reinterpret_cast<HMENU>(popup), static_cast<UINT>(command),
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void WindowViewHost::CheckMenuCommand(os::MenuHandle menu, int command, bool checked) {
  if (menu) {
    CheckMenuItem(reinterpret_cast<HMENU>(menu), static_cast<UINT>(command),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

void WindowViewHost::SetWrap(bool wrap) { SetPaneWrap(pane_, wrap); }

void WindowViewHost::PostClose() { PostMessageA(main_, WM_CLOSE, 0, 0); }

void WindowViewHost::ShowAbout() {
  if (show_about_) show_about_();
}

void WindowViewHost::ShowFatalMessage(const std::string& text) {
  MessageBoxA(main_, text.c_str(), "Tamblor: FATAL ERROR", MB_OK);
}

}  // namespace tamblor::views

namespace tamblor::views {

void WindowViewHost::ShowMessage(const std::string& text, const std::string& caption) {
  MessageBoxA(main_, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace tamblor::views
