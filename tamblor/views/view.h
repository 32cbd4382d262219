// The views: what the main window shows, one on top of the other. Every view
// owns a ViewDocument and answers the main window's messages.
//
//   View
//   +- IndexView            the index of one directory
//   |  +- GeneratedIndexView   the index written after a program install
//   |  +- GlobalIndexView      the disc-wide index
//   +- FileView             a text file
#pragma once

#include <cstdint>
#include <string>

#include "tamblor/os/resources.h"
#include "tamblor/views/intrusive_list.h"
#include "tamblor/views/view_document.h"
#include "tamblor/views/view_host.h"

namespace tamblor::text {
class BlockFile;
}

namespace tamblor::views {

// Window messages the views act on.
inline constexpr unsigned kMessageCommand = 0x0111;       // WM_COMMAND
inline constexpr unsigned kMessageInitMenuPopup = 0x0117;  // WM_INITMENUPOPUP
inline constexpr size_t kTitleCapacity = 256;

class View;
using ViewDeleter = void (*)(View* view);

class View : public ListNode {
 public:
  explicit View(ViewContext& context) : context_(context) {}
  virtual ~View() = default;

  // WM_COMMAND (notification code 0) and WM_INITMENUPOPUP; true when handled.
  virtual bool HandleMessage(os::WindowHandle window, unsigned message, uintptr_t wparam, intptr_t lparam);
  virtual std::string MenuName() const = 0;
  virtual std::string Title() const = 0;
  virtual ViewDeleter Deleter() const = 0;
  // The view a selected directory opens; null for views without directories.
  virtual View* OpenDirectory(const std::string& path);
  // The directory entry names are relative to.
  virtual std::string EntryDirectory();
  // The index file `name` of the view's directory; a null name stands for the
  // view's default index file.
  virtual std::string IndexFilePath(const char* name) const;
  // The position in `new_file` of the entry shown at `position` in `old_file`.
  virtual int64_t FindEntry(const std::string& new_file, const std::string& old_file, int64_t position);
  // Brings the marks of the view's menu up to date before the menu is shown
  // (a language switch brings fresh menus).
  virtual void MarkMenu() {}

  ViewDocument& document() { return document_; }
  const ViewDocument& document() const { return document_; }
  ViewContext& context() { return context_; }

 protected:
  // Commands every view shares: Exit, back, About and the languages.
  bool HandleBaseMessage(unsigned message, uintptr_t wparam, intptr_t lparam);
  // Pops this (top) view and destroys it; an empty stack closes the window.
  void PopAndDestroy();

  ViewContext& context_;
  ViewDocument document_;
};

// Destroys a view through its class's deleter.
inline void DestroyView(View* view) {
  if (view) view->Deleter()(view);
}

// WM_COMMAND's command with notification code 0, or -1 for any other message.
int CommandOf(unsigned message, uintptr_t wparam);

}  // namespace tamblor::views
