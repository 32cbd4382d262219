// A text file shown in the text pane.
#pragma once

#include <string>

#include "tamblor/views/view.h"

namespace tamblor::views {

class FileView : public View {
 public:
  // Shows `path` (already translated) as plain text, wrapped when the
  // context's line-wrap setting is on.
  FileView(ViewContext& context, const std::string& path);

  bool HandleMessage(os::WindowHandle window, unsigned message, uintptr_t wparam, intptr_t lparam) override;
  std::string MenuName() const override { return "VIEWFILEMENU"; }
  std::string Title() const override;
  ViewDeleter Deleter() const override;

  // Command 20: flips the line-wrap setting, marks the menu item and lets
  // the pane lay out again.
  void ToggleLineWrap();
  // The "LineWrap" item's check mark follows the setting, also in the menu
  // of a language switched to while the view is shown.
  void MarkMenu() override { MarkLineWrap(); }

 private:
  void MarkLineWrap();
};

}  // namespace tamblor::views
