#include "install/engine/rename_delete.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "install/engine/create_directories.h"
#include "install/ui/builtin_texts.h"

namespace install::engine {
namespace {

// Expansion is not cut by the expander: a path that comes out longer than
// its capacity is refused, since a cut path could name another file.
constexpr std::size_t kUncutExpansion = 1 << 16;

// Follows "Cannot create file " + the target when the target's old file was
// set aside and cannot be put back.
constexpr const char* kKeptAsideText = ". The file it was to replace is kept as ";

bool Exists(uint32_t attributes) { return attributes != os::kInvalidAttributes; }
bool IsDirectory(uint32_t attributes) { return Exists(attributes) && (attributes & os::kAttrDirectory); }

// A path split into the directory to make current and the name (or pattern)
// within it. "C:\A\*.TXT" -> "C:\A", "*.TXT"; "C:\*.TXT" -> "C:\", "*.TXT";
// "C:*.TXT" -> "C:", "*.TXT"; "*.TXT" -> "", "*.TXT".
struct DirectoryAndName {
  std::string directory;
  std::string name;
};

DirectoryAndName SplitDirectory(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) {
    if (path.size() >= 2 && path[1] == ':') return {path.substr(0, 2), path.substr(2)};
    return {"", path};
  }
  const bool root = slash == 0 || (slash == 2 && path[1] == ':');
  return {path.substr(0, root ? slash + 1 : slash), path.substr(slash + 1)};
}

// "NAME.EXT" -> base "NAME", extension ".EXT" (from the last "."); no ".":
// the whole name and no extension.
std::string BaseName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}
std::string Extension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

// A name beside `path` that names nothing yet, for keeping a file aside.
std::string UnusedNameBeside(os::Machine& machine, const std::string& path) {
  const std::string directory = path.substr(0, path.rfind('\\') + 1);
  for (int n = 0; n < 1000; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "~REN%04d.TMP", n);
    if (!Exists(machine.GetAttributes(directory + name))) return directory + name;
  }
  return "";
}

// Deletes a file, clearing its attributes when it resists; a file that stays
// gets its attributes back.
bool DeleteClearing(os::Machine& machine, const std::string& path) {
  if (machine.DeleteFile(path)) return true;
  const uint32_t attributes = machine.GetAttributes(path);
  if (!Exists(attributes) || IsDirectory(attributes)) return false;
  if (!machine.SetAttributes(path, os::kAttrNormal)) return false;
  if (machine.DeleteFile(path)) return true;
  machine.SetAttributes(path, attributes);
  return false;
}

// Moves `from` to `to`, replacing a file `to`. The old `to` is only given up
// once `from` has taken its place. An old `to` that was set aside and cannot
// be put back is named in a message and logged as renamed to where it is.
bool MoveReplacing(const std::string& from, const std::string& to, const FileOperationServices& services) {
  os::Machine& machine = services.machine;
  const uint32_t target = machine.GetAttributes(to);
  if (!Exists(target)) return machine.MoveFile(from, to);
  if (IsDirectory(target) || (target & os::kAttrReadOnly)) return false;
  if (machine.MoveFileReplacing(from, to)) return true;
  // Another drive: keep the old file aside until the new one is in place.
  const std::string aside = UnusedNameBeside(machine, to);
  if (aside.empty() || !machine.MoveFile(to, aside)) return false;
  if (machine.MoveFile(from, to)) {
    DeleteClearing(machine, aside);
    return true;
  }
  // A new file that got part way across gives way to the old one.
  if (machine.MoveFile(aside, to) || machine.MoveFileReplacing(aside, to)) return false;
  services.desktop.MessageBox(std::string(ui::kCannotCreateFileText) + to + kKeptAsideText + aside, " ",
                              ui::kMbOk | ui::kMbIconWarning);
  services.log.AppendLogLine(sysedit::RenameLogEntry(aside, to));
  return false;
}

void RenameOne(const std::string& from, const std::string& to, const FileOperationServices& services) {
  if (to.size() > script::RenameEntry::kCapacity) return;
  const uint32_t source = services.machine.GetAttributes(from);
  if (!Exists(source) || IsDirectory(source)) return;  // keeps an existing target
  if (MoveReplacing(from, to, services)) services.log.AppendLogLine(sysedit::RenameLogEntry(to, from));
}

enum class PatternForm { SameName, NewExtension, NewBaseName };

PatternForm FormOf(const std::string& old_path) {
  const std::string after = old_path.substr(old_path.find('*'));
  if (after.compare(0, 3, "*.*") == 0) return PatternForm::SameName;
  if (after.compare(0, 2, "*.") == 0) return PatternForm::NewExtension;
  return PatternForm::NewBaseName;
}

bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

}  // namespace

void ApplyRename(const script::RenameEntry& entry, const script::InstallPlan& plan,
                 const FileOperationServices& services) {
  os::Machine& machine = services.machine;
  const std::string old_path = ExpandWith(services.expand, entry.old_path, kUncutExpansion);
  const std::string new_path = ExpandWith(services.expand, entry.new_path, kUncutExpansion);
  if (old_path.size() > script::RenameEntry::kCapacity || new_path.size() > script::RenameEntry::kCapacity) {
    return;
  }
  const std::string saved_directory = machine.GetCurrentDirectory();

  std::string target_directory;
  std::string new_name;
  const std::size_t slash = new_path.rfind('\\');
  if (slash != std::string::npos) {
    if (slash > 0) {
      const int created = CreateDirectoryPath(new_path.substr(0, slash), machine, services.desktop,
                                              services.log, plan.prompts.bad_dir);
      machine.SetCurrentDirectory(saved_directory);
      if (created != kDirectoriesOk) return;
    }
    target_directory = new_path.substr(0, slash + 1);
    new_name = new_path.substr(slash + 1);
  } else if (new_path.size() >= 2 && new_path[1] == ':') {
    target_directory = new_path.substr(0, 2);
    new_name = new_path.substr(2);
  } else {
    new_name = new_path;
  }

  if (old_path.find('*') == std::string::npos) {
    RenameOne(old_path, new_path, services);
    return;
  }

  const PatternForm form = FormOf(old_path);
  const DirectoryAndName old = SplitDirectory(old_path);
  if (!old.directory.empty() && !machine.SetCurrentDirectory(old.directory)) return;
  // All matches first: the renames must not feed the enumeration.
  const std::vector<os::FindData> matches = machine.FindFiles(old.name);
  for (const os::FindData& match : matches) {
    if (match.attributes & os::kAttrDirectory) continue;
    std::string name;
    switch (form) {
      case PatternForm::SameName:
        name = match.name;
        break;
      case PatternForm::NewExtension:
        name = BaseName(match.name) + Extension(new_name);
        break;
      case PatternForm::NewBaseName:
        name = BaseName(new_name) + Extension(match.name);
        break;
    }
    RenameOne(match.name, target_directory + name, services);
  }
  machine.SetCurrentDirectory(saved_directory);
}

void ApplyDelete(const script::DeleteEntry& entry, const EngineState& state,
                 const FileOperationServices& services) {
  os::Machine& machine = services.machine;
  std::string path = ExpandWith(services.expand, entry.path, kUncutExpansion);
  if (path.size() > script::DeleteEntry::kCapacity) return;
  const bool anchored = (!path.empty() && path[0] == '\\') || (path.size() >= 2 && path[1] == ':');
  if (!anchored) {
    std::string directory = state.installation_dir;
    if (directory.empty() || directory.back() != '\\') directory += '\\';
    path = directory + path;
    if (path.size() > script::DeleteEntry::kCapacity) return;
  }

  if (!HasWildcard(path)) {
    DeleteClearing(machine, path);
    return;
  }
  const DirectoryAndName split = SplitDirectory(path);
  const std::string saved_directory = machine.GetCurrentDirectory();
  if (!split.directory.empty() && !machine.SetCurrentDirectory(split.directory)) return;
  for (const os::FindData& match : machine.FindFiles(split.name)) {
    if (match.attributes & os::kAttrDirectory) continue;
    DeleteClearing(machine, match.name);
  }
  machine.SetCurrentDirectory(saved_directory);
}

}  // namespace install::engine
