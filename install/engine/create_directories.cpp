#include "install/engine/create_directories.h"

namespace install::engine {
namespace {

// The directory list of one call, sent to the log as one entry.
class DirectoryList {
 public:
  explicit DirectoryList(sysedit::InstallLog& log) : log_(log) {}
  ~DirectoryList() { Flush(); }

  void Add(const std::string& path) {
    std::string line = sysedit::DirectoryLogEntry(path) + "\n";
    if (!text_.empty() && text_.size() + line.size() > kDirectoryListCapacity) Flush();
    text_ += line;
  }

 private:
  void Flush() {
    if (!text_.empty()) log_.AppendLogLine(text_);
    text_.clear();
  }

  sysedit::InstallLog& log_;
  std::string text_;
};

}  // namespace

int CreateDirectories(const std::string& path, const std::string& existing_prefix,
                      os::Machine& machine, ui::Desktop& desktop, sysedit::InstallLog& log,
                      const std::string& bad_dir_text) {
  DirectoryList created(log);
  std::string prefix = existing_prefix;
  while (prefix.size() < path.size()) {
    // The next component: up to the "\" after the one that ends the prefix.
    size_t from = prefix.size();
    if (path[from] == '\\') ++from;
    size_t end = path.find('\\', from);
    if (end == std::string::npos) end = path.size();
    prefix = path.substr(0, end);
    if (prefix.size() == 2 && prefix[1] == ':') prefix += '\\';
    if (prefix.size() <= 3 || machine.SetCurrentDirectory(prefix)) continue;
    if (!machine.CreateDirectory(prefix) || !machine.SetCurrentDirectory(prefix)) {
      desktop.MessageBox(bad_dir_text, nullptr, ui::kMbOk | ui::kMbIconWarning);
      return kDirectoriesFailed;
    }
    created.Add(prefix);
  }
  return kDirectoriesOk;
}

int CreateDirectoryPath(const std::string& path, os::Machine& machine, ui::Desktop& desktop,
                        sysedit::InstallLog& log, const std::string& bad_dir_text) {
  return CreateDirectories(path, path.substr(0, std::min<size_t>(3, path.size())), machine, desktop,
                           log, bad_dir_text);
}

}  // namespace install::engine
