#include "tamblor/views/view_stack.h"

#include <string>

namespace tamblor::views {

void ViewStack::Push(View* view) {
  if (!view) return;
  if (!views_.Empty()) host_.DetachDocument();
  host_.AttachDocument(&view->document());
  host_.SetTitle(view->Title());
  view->MarkMenu();
  host_.SetMenuBar(languages_.Menu(view->MenuName()));
  views_.PushBack(view);
}

View* ViewStack::Pop() {
  View* popped = views_.PopBack();
  if (!popped) return nullptr;
  host_.DetachDocument();
  if (views_.Empty()) return popped;
  View& top = *views_.Back();
  std::string menu = top.MenuName();
  if (menu == "VIEWINDEXMENU" || menu == "VIEWGLOBALINDEXMENU") Resynchronise(top);
  ShowTop();
  return popped;
}

void ViewStack::Refresh() {
  if (views_.Empty()) return;
  host_.DetachDocument();
  View& top = *views_.Back();
  std::string menu = top.MenuName();
  if (menu == "VIEWINDEXMENU" || menu == "VIEWGLOBALINDEXMENU") Resynchronise(top);
  ShowTop();
}

void ViewStack::ShowTop() {
  View& top = *views_.Back();
  host_.SetTitle(top.Title());
  top.MarkMenu();
  host_.SetMenuBar(languages_.Menu(top.MenuName()));
  host_.AttachDocument(&top.document());
}

void ViewStack::Clear() {
  if (!views_.Empty()) host_.DetachDocument();
  while (View* view = views_.PopBack()) DestroyView(view);
}

void ViewStack::Resynchronise(View& view) {
  ViewContext& context = view.context();
  std::string new_file = context.config.TranslatePath(view.IndexFilePath(nullptr));
  ViewDocument& document = view.document();
  if (new_file == document.path) return;
  // A language whose index file this directory lacks keeps the file shown
  // before (reading a missing file would end the program).
  if (context.machine.FindAttributes(new_file) == os::kInvalidAttributes) return;
  int64_t top = view.FindEntry(new_file, document.path, document.top);
  int64_t selection = document.selection_start < 0
                          ? -1
                          : view.FindEntry(new_file, document.path, document.selection_start);
  document.path = new_file;
  document.top = top;
  document.selection_start = selection;
  document.selection_end = selection;
}

}  // namespace tamblor::views
