// What the views need around them: the window side (text pane, title panel,
// menu bar, message boxes) and the file actions that come after Select.
#pragma once

#include <string>

#include "tamblor/config/disc_config.h"
#include "tamblor/config/wait_for_disc.h"
#include "tamblor/lang/language_set.h"
#include "tamblor/os/machine.h"
#include "tamblor/os/resources.h"
#include "tamblor/views/file_kind.h"
#include "tamblor/views/view_document.h"

namespace tamblor::views {

class View;
class ViewStack;
class GeneratedIndexView;

// The main window and its children as the views see them.
class ViewHost {
 public:
  virtual ~ViewHost() = default;
  // Lends `document` to the text pane, which opens its file and shows it.
  virtual void AttachDocument(ViewDocument* document) = 0;
  // The pane stores its top position into the lent document and lets it go.
  virtual void DetachDocument() = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // The menu bar of the main window (0: none). The window does not own it.
  virtual os::MenuHandle MenuBar() = 0;
  virtual void SetMenuBar(os::MenuHandle menu) = 0;
  virtual void EnableMenuCommand(os::MenuHandle popup, int command, bool enabled) = 0;
  virtual void CheckMenuCommand(os::MenuHandle menu, int command, bool checked) = 0;
  // Line wrap of the shown document changed: the pane lays out again.
  virtual void SetWrap(bool wrap) = 0;
  virtual void PostClose() = 0;
  virtual void ShowAbout() = 0;
  // The message box of a fatal error, caption "Tamblor: FATAL ERROR"; the
  // caller ends the process afterwards.
  virtual void ShowFatalMessage(const std::string& text) = 0;
  // A message box with OK on the main window; the program goes on.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
};

// The actions Select and the commands hand over to: copying, starting and
// installing programs.
class FileActions {
 public:
  virtual ~FileActions() = default;
  virtual void CopyFile(View& view) = 0;
  // kind Program or WindowsDocument.
  virtual void LaunchProgram(const std::string& full_path, const std::string& translated_path, FileKind kind) = 0;
  // kind SelfExtractor or Archive; may push a GeneratedIndexView.
  virtual void InstallArchive(const std::string& full_path, const std::string& translated_path, FileKind kind) = 0;
  // A generated index view with delete-on-close set is being destroyed.
  virtual void CloseGeneratedIndex(const GeneratedIndexView& view) = 0;
};

// Everything a view reaches; one per main window, alive as long as its views.
struct ViewContext {
  os::Machine& machine;
  const config::DiscConfig& config;
  lang::LanguageSet& languages;
  ViewHost& host;
  ViewStack& stack;
  FileActions* actions = nullptr;        // null while no actions exist
  config::DiscPrompt* disc_prompt = nullptr;  // asks for another disc of a set
  bool line_wrap = false;                // the wrap setting new file views take
};

}  // namespace tamblor::views
