#include "tamblor/views/file_view.h"

#include "tamblor/lang/format_text.h"
#include "tamblor/lang/resource_names.h"
#include "tamblor/lang/string_ids.h"

namespace tamblor::views {
namespace {

void DeleteFileView(View* view) { delete static_cast<FileView*>(view); }

}  // namespace

FileView::FileView(ViewContext& context, const std::string& path) : View(context) {
  document_.path = path;
  document_.mode = DisplayMode::PlainText;
  document_.wrap = context.line_wrap;
  MarkLineWrap();
}

std::string FileView::Title() const {
  return lang::FormatText(context_.languages.String(lang::kStrFileViewTitle), {document_.path}, kTitleCapacity);
}

ViewDeleter FileView::Deleter() const { return &DeleteFileView; }

void FileView::MarkLineWrap() {
  context_.host.CheckMenuCommand(context_.languages.Menu(MenuName()), lang::kCmdLineWrap, context_.line_wrap);
}

void FileView::ToggleLineWrap() {
  context_.line_wrap = !context_.line_wrap;
  MarkLineWrap();
  document_.wrap = context_.line_wrap;
  context_.host.SetWrap(context_.line_wrap);
}

bool FileView::HandleMessage(os::WindowHandle, unsigned message, uintptr_t wparam, intptr_t lparam) {
  if (CommandOf(message, wparam) == lang::kCmdLineWrap) {
    ToggleLineWrap();
    return true;
  }
  return HandleBaseMessage(message, wparam, lparam);
}

}  // namespace tamblor::views
