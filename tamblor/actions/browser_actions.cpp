#include "tamblor/actions/browser_actions.h"

#include <memory>
#include <optional>
#include <vector>

#include "tamblor/lang/format_text.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/os/ascii_case.h"
#include "tamblor/os/commit_file.h"
#include "tamblor/os/file_names.h"
#include "tamblor/text/generated_index.h"
#include "tamblor/views/browser_path.h"
#include "tamblor/views/index_view.h"
#include "tamblor/views/select.h"
#include "tamblor/views/view_stack.h"

namespace tamblor::actions {
namespace {

constexpr char kCaption[] = "Tamblor";
// Copy File's working name for the copy in progress, and the name an old file
// of the copy's name waits under while the copy takes its place.
constexpr char kCopyWorkingName[] = "~tbcopy.tmp";
constexpr char kCopyOldName[] = "~tbcopy.old";
constexpr uint32_t kReparsePoint = 0x400;  // FILE_ATTRIBUTE_REPARSE_POINT: a link, never followed

// The directory a program is started in: its path up to the last "\" ("X:"
// becomes "X:\"); empty when the path has none.
std::string ProgramDirectory(const std::string& program) {
  size_t slash = program.rfind('\\');
  if (slash == std::string::npos) return std::string();
  std::string directory = program.substr(0, slash);
  return directory.size() == 2 ? directory + "\\" : directory;
}

// A path the tree deletion may touch: "X:\" and at least one more component,
// none of them "." or "..".
bool PlainFullPath(const std::string& path) {
  if (path.size() <= 3 || path[1] != ':' || path[2] != '\\' || views::IsDriveRoot(path)) return false;
  size_t start = 3;
  while (start <= path.size()) {
    size_t slash = path.find('\\', start);
    std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return true;
}

bool Exists(os::Machine& machine, const std::string& path) {
  return machine.FindAttributes(path) != os::kInvalidAttributes;
}

// True when `path` is `directory` or lies inside it (letter case ignored).
bool Inside(const std::string& path, const std::string& directory) {
  return os::EqualsNoCase(path, directory) || os::StartsWithNoCase(path, directory + "\\");
}

}  // namespace

std::string BrowserActions::Text(int id) { return context_.languages.String(id); }

DestinationRequest BrowserActions::Request(int caption_id, const std::string& translated_source) {
  return DestinationRequest{Text(caption_id), translated_source,
                            ProposeDestinations(context_.config.unzip_root(), translated_source, last_destination_)};
}

// --- Copy File -----------------------------------------------------------------

void BrowserActions::CopyFile(views::View& view) {
  views::ResolvedEntry entry = views::ResolveSelection(view);
  if (entry.full_path.empty() || !views::WaitForEntryDisc(context_, &entry)) return;
  if (entry.kind == views::FileKind::Missing || entry.kind == views::FileKind::Directory) return;
  const std::string source = entry.translated_path;
  ui_.AskDestination(Request(lang::kStrCopyCaption, source),
                     [this, &source](const std::string& field) { return ConfirmCopy(field, source); });
}

bool BrowserActions::ConfirmCopy(const std::string& field_text, const std::string& translated_source) {
  std::string destination = DestinationFromField(field_text);
  if (!ValidDestination(context_.machine, destination)) {
    ui_.ShowMessage(Text(lang::kStrInvalidDestination), Text(lang::kStrCopyErrorCaption));
    return false;
  }
  last_destination_ = destination;
  bool copied;
  {
    WaitScope wait(ui_);
    copied = MakeDirectories(context_.machine, destination) && CopyInto(translated_source, destination);
  }
  if (!copied) {
    ui_.ShowMessage("Could not copy " + translated_source + " to " + destination + ".",
                    Text(lang::kStrCopyErrorCaption));
  }
  return true;
}

// The size of the file `path` as its directory lists it; -1 when there is none.
int64_t BrowserActions::FileSize(const std::string& path) {
  std::unique_ptr<os::DirectorySearch> search = directories_.Find(path);
  os::DirectoryEntry entry;
  if (!search || !search->Next(&entry) || entry.IsDirectory()) return -1;
  return static_cast<int64_t>(entry.size);
}

// The command interpreter copies `source` to a working name in `destination`;
// only a copy as long as its source takes the source's name there, so an old
// file of that name stays whole until the new one is complete. A read-only
// old file is left alone, as the interpreter's own copy leaves it.
bool BrowserActions::CopyInto(const std::string& source, const std::string& destination) {
  os::Machine& machine = context_.machine;
  std::string name = source.substr(source.rfind('\\') + 1);
  std::string target = views::JoinPath(destination, name);
  std::string working = views::JoinPath(destination, kCopyWorkingName);
  int64_t size = FileSize(source);
  if (size < 0 || !os::IsPlainFileName(name) || Exists(machine, working)) return false;
  uint32_t old_attributes = machine.FindAttributes(target);
  if (old_attributes != os::kInvalidAttributes && (old_attributes & os::kAttrReadOnly) != 0) return false;
  int status = machine.RunCommand("copy " + QuotedForCommand(source) + " " + QuotedForCommand(working));
  if (status == 0 && FileSize(working) == size &&
      os::CommitFile(machine, working, target, views::JoinPath(destination, kCopyOldName))) {
    return true;
  }
  machine.RemoveFile(working);
  return false;
}

// --- Programs --------------------------------------------------------------------

void BrowserActions::LaunchProgram(const std::string& full_path, const std::string& translated_path,
                                   views::FileKind kind) {
  std::vector<std::string> arguments{translated_path};
  if (kind == views::FileKind::WindowsDocument) {
    std::optional<std::vector<std::string>> words = context_.config.WindowsCommand(full_path, translated_path);
    if (!words || words->empty()) return;
    arguments = *words;
  }
  const std::string& program = arguments.front();
  os::Machine& machine = context_.machine;
  std::string directory = ProgramDirectory(program);
  std::string before = machine.CurrentDirectory();
  bool moved = !directory.empty() && !os::EqualsNoCase(directory, before) && machine.ChangeDirectory(directory);
  bool started = machine.StartProcess(program, arguments);
  if (moved) machine.ChangeDirectory(before);
  if (!started) ui_.ShowMessage("Cannot start " + program + ".", kCaption);
}

// --- Program install ----------------------------------------------------------------

void BrowserActions::InstallArchive(const std::string& full_path, const std::string& translated_path,
                                    views::FileKind) {
  std::string destination;
  auto confirm = [&](const std::string& field) {
    return ConfirmInstall(field, full_path, translated_path, &destination);
  };
  bool confirmed = ui_.AskDestination(Request(lang::kStrInstallCaption, translated_path), confirm);
  if (!confirmed) return;
  context_.stack.Push(
      new views::GeneratedIndexView(context_, full_path, destination, text::kGeneratedIndexName, true));
}

bool BrowserActions::ConfirmInstall(const std::string& field_text, const std::string& full_path,
                                    const std::string& translated_path, std::string* destination) {
  WaitScope wait(ui_);
  *destination = DestinationFromField(field_text);
  if (ValidDestination(context_.machine, *destination)) {
    last_destination_ = *destination;
    MakeDirectories(context_.machine, *destination);
    if (Extract(full_path, translated_path, *destination) && WriteIndexes(*destination)) return true;
  }
  ui_.ShowMessage(Text(lang::kStrInvalidDestination), Text(lang::kStrInstallErrorCaption));
  return false;
}

// Runs the unpacker (or the self-extractor itself) in the destination and
// waits for it. The current directory stays in the destination.
bool BrowserActions::Extract(const std::string& full_path, const std::string& translated_path,
                             const std::string& destination) {
  os::Machine& machine = context_.machine;
  if (!machine.ChangeDirectory(destination)) return false;
  std::string command;
  if (views::ClassifyPath(machine, context_.config, translated_path) == views::FileKind::SelfExtractor) {
    command = QuotedForCommand(translated_path);
  } else {
    std::optional<std::string> unpacker = context_.config.UncompressProgram(full_path);
    if (!unpacker) return false;
    command = *unpacker + " " + QuotedForCommand(translated_path);
  }
  int status = machine.RunCommand(command);
  if (status != 0) {
    ui_.ShowMessage("The unpacker ended with code " + std::to_string(status) + ": " + command +
                        "\nWhat it unpacked is shown.",
                    Text(lang::kStrInstallErrorCaption));
  }
  return true;
}

bool BrowserActions::WriteIndexes(const std::string& destination) {
  auto oem = [this](int id) { return context_.machine.AnsiToOemText(Text(id)); };
  text::GeneratedIndexTexts texts{oem(lang::kStrDirectory),       oem(lang::kStrColumnHeader),
                                  oem(lang::kStrDescriptionFile), oem(lang::kStrDocumentation),
                                  oem(lang::kStrTextFile),        oem(lang::kStrBatchFile),
                                  oem(lang::kStrProgram),         oem(lang::kStrOtherFile)};
  return text::WriteGeneratedIndex(context_.machine, directories_, destination, texts);
}

// --- Closing an installed directory ---------------------------------------------------

void BrowserActions::CloseGeneratedIndex(const views::GeneratedIndexView& view) {
  if (!view.delete_on_close()) return;
  std::string directory = os::UpperAscii(view.directory());
  std::string question = lang::FormatText(Text(lang::kStrDeleteDirectory), {directory});
  if (!ui_.AskYesNo(question, kCaption)) return;
  WaitScope wait(ui_);
  if (!DeleteTree(directory) && PlainFullPath(directory)) {
    ui_.ShowMessage("Not everything in " + directory + " could be deleted.", kCaption);
  }
}

bool BrowserActions::DeleteTree(const std::string& directory) {
  std::string tree = views::NormalisePath(directory);
  if (!PlainFullPath(tree) || !views::FitsPath(tree)) return false;
  os::Machine& machine = context_.machine;
  // A directory in use as the current one cannot go: step out to its parent.
  if (Inside(machine.CurrentDirectory(), tree)) {
    std::string parent = tree.substr(0, tree.rfind('\\') + 1);
    machine.ChangeDirectory(parent.size() == 3 ? parent : parent.substr(0, parent.size() - 1));
  }
  return RemoveTree(tree);
}

bool BrowserActions::RemoveTree(const std::string& directory) {
  std::vector<os::DirectoryEntry> entries;
  if (std::unique_ptr<os::DirectorySearch> search = directories_.Find(directory + "\\*.*")) {
    os::DirectoryEntry entry;
    while (search->Next(&entry)) entries.push_back(entry);
  }
  os::Machine& machine = context_.machine;
  bool removed_all = true;
  for (const os::DirectoryEntry& entry : entries) {
    if (entry.name == "." || entry.name == ".." || entry.name.empty()) continue;
    std::string path = directory + "\\" + entry.name;
    if (!views::FitsPath(path)) {
      removed_all = false;
    } else if (entry.IsDirectory() && (entry.attributes & kReparsePoint) == 0) {
      removed_all = RemoveTree(path) && removed_all;
    } else if (entry.IsDirectory()) {
      removed_all = machine.RemoveEmptyDirectory(path) && removed_all;  // the link only
    } else {
      removed_all = machine.RemoveFile(path) && removed_all;
    }
  }
  return machine.RemoveEmptyDirectory(directory) && removed_all;
}

}  // namespace tamblor::actions
