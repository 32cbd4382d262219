// The views shown by the main window, the top one visible.
#pragma once

#include "tamblor/views/intrusive_list.h"
#include "tamblor/views/view.h"

namespace tamblor::views {

class ViewStack {
 public:
  explicit ViewStack(ViewHost& host, lang::LanguageSet& languages) : host_(host), languages_(languages) {}
  ~ViewStack() { Clear(); }
  ViewStack(const ViewStack&) = delete;
  ViewStack& operator=(const ViewStack&) = delete;

  // Lends the view's document to the pane, shows its title and menu and puts
  // it on top. The stack does not own the view until Clear.
  void Push(View* view);
  // Takes the top view off (null when empty) and shows the one below it; the
  // caller destroys the popped view.
  View* Pop();
  View* Top() const { return views_.Back(); }
  bool IsEmpty() const { return views_.Empty(); }
  size_t Count() const { return views_.Count(); }
  // Pops and destroys every view, through each view's deleter.
  void Clear();
  // Shows the top view again (after a language switch): an index view first
  // follows the language's index file name.
  void Refresh();

 private:
  void ShowTop();
  void Resynchronise(View& view);

  ViewHost& host_;
  lang::LanguageSet& languages_;
  IntrusiveList<View> views_;
};

}  // namespace tamblor::views
