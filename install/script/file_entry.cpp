#include "install/script/file_entry.h"

#include "install/ui/builtin_texts.h"
#include "install/os/ascii_case.h"
#include "install/script/group_map.h"
#include "install/script/script_cursor.h"

namespace install::script {
namespace {

// Reads the run of decimal digits at the position (after separators) as a
// number; no digits give 0.
int32_t ReadDigitRun(ScriptCursor& cursor) {
  cursor.SkipSeparatorsA();
  uint32_t start = cursor.Position();
  uint32_t end = start;
  while (os::IsDecimalDigit(cursor.CharAt(end))) ++end;
  cursor.SetPosition(end);
  return LeadingDecimal(std::string_view(cursor.Line()).substr(start, end - start));
}

bool ParseOverwriteWord(std::string_view word, OverwriteMode* mode) {
  if (os::EqualsIgnoringCase(word, "YES")) *mode = OverwriteMode::Yes;
  else if (os::EqualsIgnoringCase(word, "NO")) *mode = OverwriteMode::No;
  else if (os::EqualsIgnoringCase(word, "ASK")) *mode = OverwriteMode::Ask;
  else if (os::EqualsIgnoringCase(word, "NEW")) *mode = OverwriteMode::New;
  else return false;
  return true;
}

bool ParseSource(ScriptCursor& cursor, FileEntry* entry) {
  std::string source;
  cursor.ReadText(source);
  if (!source.empty() && source.back() == '\\') source.pop_back();
  if (source.size() >= 2 && source[1] == ':') {
    entry->source_kind = SourceKind::Absolute;
  } else if (!source.empty() && source[0] == '$') {
    entry->source_kind = SourceKind::Absolute;
  } else if (!source.empty() && source[0] == '\\') {
    entry->source_kind = SourceKind::Rooted;
  } else {
    entry->source_kind = SourceKind::Relative;
    if (source.size() > kRelativeSourceCapacity) return false;
    source.insert(source.begin(), '\\');
  }
  if (source.size() > kSourceCapacity) return false;
  entry->source = std::move(source);
  entry->has_source = true;
  return true;
}

bool ParseGroups(ScriptCursor& cursor, const GroupMap* group_map, FileEntry* entry) {
  cursor.SkipSeparatorsA();
  std::size_t used = 0;
  while (os::IsDecimalDigit(cursor.Current())) {
    int32_t number = ReadDigitRun(cursor);
    int item = group_map ? group_map->ItemOf(number) : -1;
    if (item < 0) return false;          // no group item carries this number
    if (used == kFileGroupSlots) return false;  // a 13th group
    entry->groups[used++] = static_cast<uint16_t>(item);
    cursor.SkipSeparatorsA();
  }
  return true;
}

bool ParseAttributes(ScriptCursor& cursor, FileEntry* entry) {
  entry->attributes = 0;
  std::string letters;
  cursor.SkipSeparatorsA();
  if (cursor.Current() == '"') {
    cursor.ReadQuoted(letters);
  } else {
    // A bare word reads as an empty set; it is taken so that it is not
    // mistaken for the next option.
    std::string ignored;
    cursor.ReadWord(ignored);
  }
  for (char c : letters) {
    switch (os::UpperAscii(c)) {
      case 'R': entry->attributes |= kFileAttrReadOnly; break;
      case 'H': entry->attributes |= kFileAttrHidden; break;
      case 'S': entry->attributes |= kFileAttrSystem; break;
      case 'A': entry->attributes |= kFileAttrArchive; break;
      default: return false;
    }
  }
  return true;
}

// One option of a FILE line; false when it is malformed.
bool ParseFileOption(ScriptCursor& cursor, const FileLineContext& context, FileEntry* entry) {
  std::string option;
  cursor.ReadWord(option);
  if (os::EqualsIgnoringCase(option, "COMPRESSED")) {
    entry->compression = Compression::Compressed;
    return true;
  }
  if (os::EqualsIgnoringCase(option, "SELF-EXTRACT")) {
    entry->compression = Compression::SelfExtract;
    return true;
  }
  bool takes_value = os::EqualsIgnoringCase(option, "OVERWRITE") || os::EqualsIgnoringCase(option, "SOURCE") ||
                     os::EqualsIgnoringCase(option, "POPID") || os::EqualsIgnoringCase(option, "GROUP") ||
                     os::EqualsIgnoringCase(option, "ATTRIBUTE");
  if (!takes_value || !cursor.TakeEquals()) return false;

  if (os::EqualsIgnoringCase(option, "OVERWRITE")) {
    std::string word;
    cursor.ReadWord(word);
    return ParseOverwriteWord(word, &entry->overwrite);
  }
  if (os::EqualsIgnoringCase(option, "SOURCE")) return ParseSource(cursor, entry);
  if (os::EqualsIgnoringCase(option, "POPID")) {
    entry->popup = ReadDigitRun(cursor);
    return true;
  }
  if (os::EqualsIgnoringCase(option, "GROUP")) return ParseGroups(cursor, context.group_map, entry);
  return ParseAttributes(cursor, entry);
}

}  // namespace

int ParseFileLine(ScriptCursor& cursor, const FileLineContext& context, FileEntry* out) {
  FileEntry entry;
  entry.kind = FileEntryKind::File;
  entry.overwrite = context.default_overwrite;
  cursor.ReadText(entry.name);
  // A FILE line names one file: no name, or one beyond its capacity, is malformed.
  bool ok = !entry.name.empty() && entry.name.size() <= kFileNameCapacity;
  while (ok && !cursor.AtEnd()) ok = ParseFileOption(cursor, context, &entry);
  entry.error = !ok;
  *out = std::move(entry);
  return ok ? 0 : 1;
}

FileEntry ParseInsertDiskLine(ScriptCursor& cursor) {
  FileEntry entry;
  entry.kind = FileEntryKind::DiskChange;
  cursor.ReadQuoted(entry.name);
  if (entry.name.empty()) entry.name = std::string(ui::kNextDiskText);
  if (entry.name.size() > kFileNameCapacity) {
    entry.name.resize(kFileNameCapacity);
    entry.error = true;
  }
  if (cursor.AtEnd()) return entry;

  std::string check;
  cursor.ReadQuoted(check);
  if (!check.empty()) {
    if (check.size() > kDiskCheckCapacity) {
      check.resize(kDiskCheckCapacity);
      entry.error = true;
    }
    entry.disk_check = std::move(check);
    entry.kind = FileEntryKind::DiskChangeCheck;
  }
  if (cursor.AtEnd()) return entry;

  std::string word;
  cursor.ReadWord(word);
  if (os::EqualsIgnoringCase(word, "POPID") && cursor.TakeEquals()) {
    entry.popup = ReadDigitRun(cursor);
  } else {
    entry.error = true;
  }
  return entry;
}

}  // namespace install::script
