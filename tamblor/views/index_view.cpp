#include "tamblor/views/index_view.h"

#include <string_view>

#include "tamblor/lang/format_text.h"
#include "tamblor/lang/resource_names.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/text/block_file.h"
#include "tamblor/text/fatal_exit.h"
#include "tamblor/text/generated_index.h"
#include "tamblor/text/index_format.h"
#include "tamblor/text/text_line.h"
#include "tamblor/views/browser_path.h"
#include "tamblor/views/select.h"
#include "tamblor/views/view_stack.h"

namespace tamblor::views {
namespace {

constexpr size_t kFindNameCapacity = 256;
constexpr int kGoPopup = 1;

template <typename T>
void DeleteAs(View* view) {
  delete static_cast<T*>(view);
}

}  // namespace

IndexView::IndexView(ViewContext& context, const std::string& directory, const char* index_name)
    : View(context), directory_(NormalisePath(directory)) {
  std::string index_file = context.config.TranslatePath(IndexView::IndexFilePath(index_name));
  if (!FitsPath(index_file) || context.machine.FindAttributes(index_file) == os::kInvalidAttributes) {
    context.host.ShowFatalMessage(
        lang::FormatText(context.languages.String(lang::kStrCantLoadIndex), {index_file}));
    text::FatalFileError("");
  }
  document_.path = index_file;
  document_.mode = DisplayMode::IndexEntries;
  document_.wrap = false;
}

std::string IndexView::Title() const {
  lang::LanguageSet& languages = context_.languages;
  if (IsDriveRoot(directory_))
    return lang::FormatText(languages.String(lang::kStrRootTitle), {context_.config.disc_title()}, kTitleCapacity);
  return lang::FormatText(languages.String(lang::kStrDirectoryTitle), {directory_}, kTitleCapacity);
}

ViewDeleter IndexView::Deleter() const { return &DeleteAs<IndexView>; }

View* IndexView::OpenDirectory(const std::string& path) { return new IndexView(context_, path, nullptr); }

std::string IndexView::IndexFilePath(const char* name) const {
  return JoinPath(directory_, name ? std::string(name) : std::string(context_.languages.String(lang::kStrIndexFileName)));
}

int64_t IndexView::FindEntry(const std::string& new_file, const std::string& old_file, int64_t position) {
  text::BlockFile old_index;
  old_index.Open(context_.machine, old_file);
  if (position < 0 || position >= old_index.Size()) return 0;
  std::string name = old_index.Word(text::EntryStart(old_index, position), kFindNameCapacity);
  text::BlockFile new_index;
  new_index.Open(context_.machine, new_file);
  return text::FindLineStartingWith(new_index, 0, name);
}

bool IndexView::HandleMessage(os::WindowHandle window, unsigned message, uintptr_t wparam, intptr_t lparam) {
  return HandleIndexMessage(window, message, wparam, lparam);
}

bool IndexView::HandleIndexMessage(os::WindowHandle window, unsigned message, uintptr_t wparam, intptr_t lparam) {
  if (message == kMessageInitMenuPopup) {
    bool system_menu = ((static_cast<uintptr_t>(lparam) >> 16) & 0xFFFF) != 0;
    if (!system_menu && (lparam & 0xFFFF) == kGoPopup && MenuName() == "VIEWINDEXMENU") {
      context_.host.EnableMenuCommand(static_cast<os::MenuHandle>(wparam), lang::kCmdBack, !IsDriveRoot(directory_));
      return true;
    }
    return HandleBaseMessage(message, wparam, lparam);
  }
  switch (CommandOf(message, wparam)) {
    case lang::kCmdBack:
      // The view of a drive root stays: there is no parent to go back to.
      if (IsDriveRoot(directory_)) return false;
      break;
    case lang::kCmdSelect:
      Select(*this, window);
      return true;
    case lang::kCmdCopyFile:
      if (context_.actions) context_.actions->CopyFile(*this);
      return true;
    case lang::kCmdGlobalIndex:
      context_.stack.Push(new GlobalIndexView(context_, context_.config.RootPath()));
      return true;
    default:
      break;
  }
  return HandleBaseMessage(message, wparam, lparam);
}

// --- GeneratedIndexView ------------------------------------------------------

GeneratedIndexView::GeneratedIndexView(ViewContext& context, const std::string& archive_name,
                                       const std::string& directory, const char* index_name, bool delete_on_close)
    : IndexView(context, directory, index_name), archive_name_(archive_name), delete_on_close_(delete_on_close) {}

GeneratedIndexView::~GeneratedIndexView() {
  if (delete_on_close_ && context_.actions) context_.actions->CloseGeneratedIndex(*this);
}

std::string GeneratedIndexView::Title() const {
  return lang::FormatText(context_.languages.String(lang::kStrArchiveTitle), {archive_name_}, kTitleCapacity);
}

ViewDeleter GeneratedIndexView::Deleter() const { return &DeleteAs<GeneratedIndexView>; }

View* GeneratedIndexView::OpenDirectory(const std::string& path) {
  // The install wrote the generated index into every subdirectory; a
  // subdirectory has no index of the language's name.
  return new GeneratedIndexView(context_, archive_name_, path, text::kGeneratedIndexName, delete_on_close_);
}

std::string GeneratedIndexView::IndexFilePath(const char* name) const {
  return JoinPath(directory_, name ? name : text::kGeneratedIndexName);
}

// --- GlobalIndexView ---------------------------------------------------------

GlobalIndexView::GlobalIndexView(ViewContext& context, const std::string& root)
    : IndexView(context, root, std::string(context.languages.String(lang::kStrGlobalIndexName)).c_str()) {}

std::string GlobalIndexView::Title() const {
  return lang::FormatText(context_.languages.String(lang::kStrGlobalTitle), {context_.config.disc_title()},
                          kTitleCapacity);
}

ViewDeleter GlobalIndexView::Deleter() const { return &DeleteAs<GlobalIndexView>; }

View* GlobalIndexView::OpenDirectory(const std::string& path) { return new IndexView(context_, path, nullptr); }

std::string GlobalIndexView::IndexFilePath(const char* name) const {
  return JoinPath(directory_, name ? std::string(name) : std::string(context_.languages.String(lang::kStrGlobalIndexName)));
}

std::string GlobalIndexView::EntryDirectory() {
  text::BlockFile index;
  index.Open(context_.machine, document_.path);
  text::TextLine line;
  int64_t position = document_.selection_start < 0 ? 0 : document_.selection_start;
  while (line.ReadLineBefore(index, position)) {
    if (text::IsPathLine(line)) {
      std::string directory = directory_.substr(0, 2) + text::PathLineDirectory(line);
      return NormalisePath(directory);
    }
    position = line.Start();
  }
  return {};
}

int64_t GlobalIndexView::FindEntry(const std::string& new_file, const std::string& old_file, int64_t position) {
  text::BlockFile old_index;
  old_index.Open(context_.machine, old_file);
  if (position < 0 || position >= old_index.Size()) return 0;
  int64_t entry = text::EntryStart(old_index, position);
  std::string name = old_index.Word(entry, kFindNameCapacity);
  // The "path: " line the entry belongs to: the entry's own first line or
  // the nearest one above it.
  text::TextLine line;
  std::string path_line;
  if (line.ReadLine(old_index, entry) && text::IsPathLine(line)) {
    path_line = std::string(line.View());
  } else {
    int64_t at = entry;
    while (line.ReadLineBefore(old_index, at)) {
      if (text::IsPathLine(line)) {
        path_line = std::string(line.View());
        break;
      }
      at = line.Start();
    }
  }
  if (path_line.empty()) return 0;
  text::BlockFile new_index;
  new_index.Open(context_.machine, new_file);
  int64_t section = new_index.FindForward(0, path_line);
  if (section < 0) return 0;
  return text::FindLineStartingWith(new_index, section, name);
}

bool GlobalIndexView::HandleMessage(os::WindowHandle window, unsigned message, uintptr_t wparam, intptr_t lparam) {
  switch (CommandOf(message, wparam)) {
    case lang::kCmdBack:
      return true;  // Escape does not leave the global index
    case lang::kCmdHierarchicalIndex:
      PopAndDestroy();
      return true;
    default:
      return HandleIndexMessage(window, message, wparam, lparam);
  }
}

}  // namespace tamblor::views
