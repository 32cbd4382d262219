#include "tamblor/views/view.h"

#include "tamblor/lang/resource_names.h"
#include "tamblor/views/view_stack.h"

namespace tamblor::views {

int CommandOf(unsigned message, uintptr_t wparam) {
  if (message != kMessageCommand || ((wparam >> 16) & 0xFFFF) != 0) return -1;
  return static_cast<int>(wparam & 0xFFFF);
}

View* View::OpenDirectory(const std::string&) { return nullptr; }
std::string View::EntryDirectory() { return {}; }
std::string View::IndexFilePath(const char*) const { return {}; }
int64_t View::FindEntry(const std::string&, const std::string&, int64_t) { return 0; }

bool View::HandleMessage(os::WindowHandle, unsigned message, uintptr_t wparam, intptr_t lparam) {
  return HandleBaseMessage(message, wparam, lparam);
}

void View::PopAndDestroy() {
  ViewStack& stack = context_.stack;
  View* popped = stack.Pop();
  // Destroying a view ends `this` when it was the top one: touch nothing after.
  ViewContext& context = context_;
  DestroyView(popped);
  if (stack.IsEmpty()) context.host.PostClose();
}

bool View::HandleBaseMessage(unsigned message, uintptr_t wparam, intptr_t lparam) {
  if (message == kMessageInitMenuPopup) {
    bool system_menu = ((static_cast<uintptr_t>(lparam) >> 16) & 0xFFFF) != 0;
    if (system_menu) return false;
    return context_.languages.OnLanguagePopup(context_.host.MenuBar(), static_cast<int>(lparam & 0xFFFF));
  }
  int command = CommandOf(message, wparam);
  if (command < 0) return false;
  switch (command) {
    case lang::kCmdExit:
      context_.host.PostClose();
      return true;
    case lang::kCmdBack:
      PopAndDestroy();
      return true;
    case lang::kCmdAbout:
      context_.host.ShowAbout();
      return true;
    default:
      break;
  }
  if (command < lang::kCmdFirstLanguage) return false;
  // The window lets go of the old language's menu before the switch destroys it.
  ViewHost& host = context_.host;
  os::MenuHandle before = host.MenuBar();
  host.SetMenuBar(0);
  if (context_.languages.OnLanguageCommand(command)) return true;
  host.SetMenuBar(before);
  return false;
}

}  // namespace tamblor::views
