#include "install/script/ini_edit_args.h"

#include "install/os/ascii_case.h"
#include "install/script/script_cursor.h"

namespace install::script {
namespace {

bool MatchesAt(std::string_view text, std::size_t at, std::string_view name) {
  return at <= text.size() && os::StartsWithIgnoringCase(text.substr(at), name);
}

}  // namespace

void ReplaceSearchPlaceholders(std::string& text, const SearchResults& search, std::size_t capacity) {
  static constexpr std::string_view kLeft = "$LEFT$";
  static constexpr std::string_view kRight = "$RIGHT$";
  std::size_t at = 0;
  while (at < text.size() && at < capacity) {
    if (text[at] == '$' && MatchesAt(text, at, kLeft)) {
      text.replace(at, kLeft.size(), search.left);
      at += search.left.size();
    } else if (text[at] == '$' && MatchesAt(text, at, kRight)) {
      text.replace(at, kRight.size(), search.right);
      at += search.right.size();
    } else {
      ++at;
    }
  }
  if (text.size() > capacity) text.resize(capacity);
}

IniEntry ParseIniFile(ScriptCursor& cursor) {
  IniEntry entry;
  if (!cursor.AtEnd()) cursor.ReadQuoted(entry.section);
  if (!cursor.AtEnd()) cursor.ReadQuoted(entry.key);
  if (!cursor.AtEnd()) cursor.ReadQuoted(entry.value);
  if (!cursor.AtEnd()) {
    std::string file;
    cursor.ReadText(file);
    if (!file.empty()) entry.file = std::move(file);
  }
  // Without a section and key the entry would write a nameless key.
  if (entry.section.empty() || entry.key.empty() ||
      entry.section.size() > IniEntry::kSectionCapacity || entry.key.size() > IniEntry::kKeyCapacity ||
      entry.value.size() > IniEntry::kValueCapacity || entry.file.size() > IniEntry::kFileCapacity) {
    entry.error = true;
    return entry;
  }
  while (!cursor.AtEnd()) {
    std::string option;
    cursor.ReadWord(option);
    if (os::EqualsIgnoringCase(option, "ASK")) {
      entry.mode = EditMode::EditThenAsk;
    } else if (os::EqualsIgnoringCase(option, "ADD")) {
      entry.add = true;
    } else if (!os::EqualsIgnoringCase(option, "OVERWRITE")) {
      entry.error = true;
      break;
    }
  }
  return entry;
}

AddTextEntry ParseAddText(ScriptCursor& cursor, const SearchResults& search) {
  AddTextEntry entry;
  cursor.ReadQuoted(entry.text);
  // Refuse rather than cut: an inserted line must be the one the script wrote.
  ReplaceSearchPlaceholders(entry.text, search, AddTextEntry::kTextCapacity + 1);
  if (cursor.AtEnd() || entry.text.size() > AddTextEntry::kTextCapacity) {
    entry.error = true;
    return entry;
  }
  cursor.ReadText(entry.file);
  if (entry.file.empty() || entry.file.size() > AddTextEntry::kFileCapacity) {
    entry.error = true;
    return entry;
  }
  if (!cursor.AtEnd()) {
    cursor.ReadQuoted(entry.place);
    ReplaceAll(entry.place, "$SEARCH$", search.line_number, AddTextEntry::kPlaceCapacity + 1);
    if (entry.place.size() > AddTextEntry::kPlaceCapacity) {
      entry.error = true;
      return entry;
    }
  }
  if (!cursor.AtEnd()) {
    std::string word;
    cursor.ReadWord(word);
    entry.replace = os::EqualsIgnoringCase(word, "REPLACE");
  }
  return entry;
}

}  // namespace install::script
