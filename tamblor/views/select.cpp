#include "tamblor/views/select.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tamblor/os/file_names.h"
#include "tamblor/text/block_file.h"
#include "tamblor/views/browser_path.h"
#include "tamblor/views/file_view.h"
#include "tamblor/views/view_stack.h"

namespace tamblor::views {
namespace {

bool StartsWithDriveRoot(const std::string& name) {
  return name.size() >= 3 && IsDriveRoot(name.substr(0, 3));
}

bool CanOpen(ViewContext& context, const std::string& path) {
  std::FILE* file = context.machine.OpenFile(path, "rb");
  if (file) {
    std::fclose(file);
    return true;
  }
  context.host.ShowMessage("Cannot open file '" + path + "': " + std::strerror(errno), "Tamblor");
  return false;
}

}  // namespace

ResolvedEntry ResolveSelection(View& view) {
  ViewContext& context = view.context();
  const ViewDocument& document = view.document();
  ResolvedEntry entry;
  std::string name;
  if (document.selection_start >= 0) {
    text::BlockFile index;
    index.Open(context.machine, document.path);
    name = NormalisePath(index.Word(document.selection_start, kPathCapacity));
  }
  // A heading, an empty line or a rule names nothing; without this its empty
  // name would resolve to the view's own directory.
  if (name.empty()) return entry;

  if (StartsWithDriveRoot(name)) {
    entry.full_path = name;
  } else if (name[0] == '\\') {
    std::string own = view.IndexFilePath(nullptr);
    entry.full_path = own.substr(0, 1) + ":" + name;
  } else {
    entry.full_path = JoinPath(view.EntryDirectory(), name);
  }
  // Longer paths do not fit the system's path buffers, and a device or a
  // control character in a name is nothing to open either.
  if (!FitsPath(entry.full_path) || os::NamesADeviceOrControlCharacter(entry.full_path)) return {};
  entry.translated_path = context.config.TranslatePath(entry.full_path);
  if (!FitsPath(entry.translated_path)) return {};
  entry.kind = ClassifyPath(context.machine, context.config, entry.translated_path);
  return entry;
}

bool WaitForEntryDisc(ViewContext& context, ResolvedEntry* entry) {
  if (!context.config.multi_disc() || !context.disc_prompt) return true;
  config::DiscWaitResult wait = config::WaitForDisc(
      context.config, *context.disc_prompt, entry->full_path, entry->translated_path, static_cast<int>(entry->kind),
      [&context](const std::string& path) {
        return static_cast<int>(ClassifyPath(context.machine, context.config, path));
      });
  if (wait.cancelled) return false;
  entry->kind = static_cast<FileKind>(wait.kind);
  return true;
}

void Select(View& view, os::WindowHandle) {
  ViewContext& context = view.context();
  ResolvedEntry entry = ResolveSelection(view);
  if (entry.full_path.empty()) return;
  if (!WaitForEntryDisc(context, &entry)) return;
  switch (entry.kind) {
    case FileKind::Missing:
      break;
    case FileKind::Directory:
      context.stack.Push(view.OpenDirectory(entry.full_path));
      break;
    case FileKind::TextFile:
    case FileKind::OtherFile:
      // The file may have gone since it was classified: say so and stay.
      if (!CanOpen(context, entry.translated_path)) break;
      context.stack.Push(new FileView(context, entry.translated_path));
      break;
    case FileKind::Program:
    case FileKind::WindowsDocument:
      if (context.actions) context.actions->LaunchProgram(entry.full_path, entry.translated_path, entry.kind);
      break;
    case FileKind::SelfExtractor:
    case FileKind::Archive:
      if (context.actions) context.actions->InstallArchive(entry.full_path, entry.translated_path, entry.kind);
      break;
  }
}

}  // namespace tamblor::views
