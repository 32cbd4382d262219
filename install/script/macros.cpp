#include "install/script/macros.h"

#include "install/os/ascii_case.h"
#include "install/script/script_cursor.h"

namespace install::script {
namespace {

constexpr std::string_view kMacroNames[kMacroCount] = {
    "$LOCATEDIR$", "$LOCATEDRIVE$", "$DEFAULTDIR$", "$SOURCEDIR$", "$WINDIR$",
    "$WINHELPDIR$", "$WINSYSDIR$",  "$DIR2$",       "$DIR3$",      "$SYSTEM$",
    "$SYS2$",      "$SYS3$",        "$DEFAULTDRIVE$", "$SOURCEDRIVE$", "$ASK1$",
    "$ASK2$",      "$ASK3$",        "$ASK4$",       "$ASK5$",
};

// The seven macros whose values are fixed before the script is read.
constexpr Macro kParseTimeOrder[] = {
    Macro::LocateDir, Macro::WinHelpDir, Macro::LocateDrive, Macro::System,
    Macro::Sys2,      Macro::Sys3,       Macro::SourceDir,
};

constexpr Macro kExpandAllOrder[kMacroCount] = {
    Macro::LocateDir,  Macro::LocateDrive, Macro::System,      Macro::Sys2,
    Macro::Sys3,       Macro::DefaultDir,  Macro::Dir2,        Macro::Dir3,
    Macro::SourceDir,  Macro::WinDir,      Macro::WinHelpDir,  Macro::WinSysDir,
    Macro::DefaultDrive, Macro::SourceDrive, Macro::Ask1,      Macro::Ask2,
    Macro::Ask3,       Macro::Ask4,        Macro::Ask5,
};

// True when `text` holds `name` at `position`, letter case ignored.
bool MatchesAt(std::string_view text, std::size_t position, std::string_view name) {
  if (position > text.size() || text.size() - position < name.size()) return false;
  return os::EqualsIgnoringCase(text.substr(position, name.size()), name);
}

// First occurrence of `name` in `text` at or after `from`, letter case ignored.
std::size_t FindIgnoringCase(std::string_view text, std::string_view name, std::size_t from) {
  if (name.empty() || text.size() < name.size()) return std::string_view::npos;
  for (std::size_t i = from; i + name.size() <= text.size(); ++i) {
    if (MatchesAt(text, i, name)) return i;
  }
  return std::string_view::npos;
}

void CutTo(std::string& text, std::size_t capacity) {
  if (text.size() > capacity) text.resize(capacity);
}

}  // namespace

std::string_view MacroName(Macro macro) { return kMacroNames[static_cast<int>(macro)]; }

std::size_t MacroCapacity(Macro macro) {
  switch (macro) {
    case Macro::DefaultDir:
      return kDefaultDirCapacity;
    case Macro::WinDir:
    case Macro::WinSysDir:
    case Macro::WinHelpDir:
      return kWindowsDirCapacity;
    case Macro::DefaultDrive:
    case Macro::SourceDrive:
    case Macro::LocateDrive:
      return kDriveLetterCapacity;
    default:
      return kMacroValueCapacity;
  }
}

const std::string& MacroValues::Value(Macro macro) const {
  switch (macro) {
    case Macro::LocateDir: return locate_dir;
    case Macro::LocateDrive: return locate_drive;
    case Macro::DefaultDir: return default_dir;
    case Macro::SourceDir: return source_dir;
    case Macro::WinDir: return windows_dir;
    case Macro::WinHelpDir: return help_dir;
    case Macro::WinSysDir: return system_dir;
    case Macro::Dir2: return dir2;
    case Macro::Dir3: return dir3;
    case Macro::System: return options[0];
    case Macro::Sys2: return options[1];
    case Macro::Sys3: return options[2];
    case Macro::DefaultDrive: return default_drive;
    case Macro::SourceDrive: return source_drive;
    case Macro::Ask1: return answers[0];
    case Macro::Ask2: return answers[1];
    case Macro::Ask3: return answers[2];
    case Macro::Ask4: return answers[3];
    case Macro::Ask5: return answers[4];
  }
  return locate_dir;  // not reached: every enumerator is handled above
}

std::string& MacroValues::Value(Macro macro) {
  return const_cast<std::string&>(static_cast<const MacroValues*>(this)->Value(macro));
}

void MacroValues::Set(Macro macro, std::string_view value) {
  std::string& slot = Value(macro);
  slot.assign(value.substr(0, MacroCapacity(macro)));
}

bool SubstituteAtToken(ScriptCursor& cursor, const MacroValues& values) {
  if (cursor.Current() != '$') return false;
  std::string_view rest = cursor.Rest();
  for (Macro macro : kParseTimeOrder) {
    std::string_view name = MacroName(macro);
    if (!MatchesAt(rest, 0, name)) continue;
    return cursor.ReplaceAtPosition(name.size(), values.Value(macro));
  }
  return false;
}

bool ExpandPrefix(std::string& text, const MacroValues& values, std::size_t capacity) {
  if (text.empty() || text[0] != '$') return false;
  for (int i = 0; i < kMacroCount; ++i) {
    Macro macro = static_cast<Macro>(i);
    std::string_view name = MacroName(macro);
    if (!MatchesAt(text, 0, name)) continue;
    text.replace(0, name.size(), values.Value(macro));
    CutTo(text, capacity);
    return true;
  }
  return false;
}

void ReplaceAll(std::string& text, std::string_view macro, std::string_view value,
                std::size_t capacity) {
  if (text.empty() || macro.empty()) return;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t found = FindIgnoringCase(text, macro, from);
    if (found == std::string_view::npos) break;
    text.replace(found, macro.size(), value);
    from = found + value.size();
  }
  // Cut once at the end, so the result is the full expansion's beginning.
  // The growth is bounded: each occurrence is replaced once.
  CutTo(text, capacity);
}

void ExpandAll(std::string& text, const MacroValues& values, std::size_t capacity) {
  for (Macro macro : kExpandAllOrder) {
    ReplaceAll(text, MacroName(macro), values.Value(macro), capacity);
  }
}

}  // namespace install::script
