// Select: the selected index entry becomes a path, and what that path is
// decides what happens.
#pragma once

#include <string>

#include "tamblor/views/file_kind.h"
#include "tamblor/views/view.h"

namespace tamblor::views {

struct ResolvedEntry {
  std::string full_path;        // as the index names it
  std::string translated_path;  // the name stored on the disc
  FileKind kind = FileKind::Missing;
};

// The entry at the document's selection start, resolved against the view.
// An empty name and a path of 260 characters or more are Missing.
ResolvedEntry ResolveSelection(View& view);

// On a multi-disc set, asks for the disc of an entry that is missing until it
// is found or the user cancels (false: do nothing more); the entry's kind
// follows. Without a set, or without a prompt, nothing happens (true).
bool WaitForEntryDisc(ViewContext& context, ResolvedEntry* entry);

// Command 7 (Enter, double click): opens, starts or installs the selection.
void Select(View& view, os::WindowHandle owner);

}  // namespace tamblor::views
