// The views' window side over the real main window and its children.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tamblor/views/view_host.h"

namespace tamblor::views {

class WindowViewHost : public ViewHost {
 public:
  WindowViewHost(HWND main_window, HWND title_panel, HWND text_pane, std::function<void()> show_about)
      : main_(main_window), panel_(title_panel), pane_(text_pane), show_about_(std::move(show_about)) {}

  void AttachDocument(ViewDocument* document) override;
  void DetachDocument() override;
  void SetTitle(const std::string& title) override;
  os::MenuHandle MenuBar() override;
  void SetMenuBar(os::MenuHandle menu) override;
  void EnableMenuCommand(os::MenuHandle popup, int command, bool enabled) override;
  void CheckMenuCommand(os::MenuHandle menu, int command, bool checked) override;
  void SetWrap(bool wrap) override;
  void PostClose() override;
  void ShowAbout() override;
  void ShowFatalMessage(const std::string& text) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;

 private:
  HWND main_;
  HWND panel_;
  HWND pane_;
  std::function<void()> show_about_;
};

}  // namespace tamblor::views
