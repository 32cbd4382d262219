// The index views: a directory's index file, the disc-wide index and the index
// generated after a program install.
#pragma once

#include <string>

#include "tamblor/views/view.h"

namespace tamblor::views {

class IndexView : public View {
 public:
  // Shows the index `index_name` (null: the language's index file name) of
  // `directory`. When that file does not exist the fatal message is shown and
  // the process ends with exit code -1.
  IndexView(ViewContext& context, const std::string& directory, const char* index_name);

  bool HandleMessage(os::WindowHandle window, unsigned message, uintptr_t wparam, intptr_t lparam) override;
  std::string MenuName() const override { return "VIEWINDEXMENU"; }
  std::string Title() const override;
  ViewDeleter Deleter() const override;
  View* OpenDirectory(const std::string& path) override;
  std::string EntryDirectory() override { return directory_; }
  std::string IndexFilePath(const char* name) const override;
  int64_t FindEntry(const std::string& new_file, const std::string& old_file, int64_t position) override;

  const std::string& directory() const { return directory_; }

 protected:
  // The index commands, shared by the derived index views.
  bool HandleIndexMessage(os::WindowHandle window, unsigned message, uintptr_t wparam, intptr_t lparam);

  std::string directory_;  // normalised
};

class GeneratedIndexView : public IndexView {
 public:
  GeneratedIndexView(ViewContext& context, const std::string& archive_name, const std::string& directory,
                     const char* index_name, bool delete_on_close);
  ~GeneratedIndexView() override;

  std::string MenuName() const override { return "VIEWAUTOGENINDEXMENU"; }
  std::string Title() const override;
  ViewDeleter Deleter() const override;
  View* OpenDirectory(const std::string& path) override;
  std::string IndexFilePath(const char* name) const override;

  const std::string& archive_name() const { return archive_name_; }
  bool delete_on_close() const { return delete_on_close_; }

 private:
  std::string archive_name_;
  bool delete_on_close_;
};

class GlobalIndexView : public IndexView {
 public:
  // The disc-wide index (the language's global index name) in `root` ("X:\").
  GlobalIndexView(ViewContext& context, const std::string& root);

  bool HandleMessage(os::WindowHandle window, unsigned message, uintptr_t wparam, intptr_t lparam) override;
  std::string MenuName() const override { return "VIEWGLOBALINDEXMENU"; }
  std::string Title() const override;
  ViewDeleter Deleter() const override;
  View* OpenDirectory(const std::string& path) override;
  std::string EntryDirectory() override;
  std::string IndexFilePath(const char* name) const override;
  int64_t FindEntry(const std::string& new_file, const std::string& old_file, int64_t position) override;
};

}  // namespace tamblor::views
