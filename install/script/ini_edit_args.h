// The INIFILE and ADDTEXT lines of a script: one key of an initialisation
// file to set, and one line to insert into a text file.
//
//   INIFILE "section" "key" "value" file [ASK] [ADD] [OVERWRITE]
//   ADDTEXT "text" file ["place"] [REPLACE]
//
// Trailing INIFILE fields may be left out (file: WIN.INI, value: empty).
// ADDTEXT replaces $LEFT$ and $RIGHT$ in its text and $SEARCH$ in its place
// at parse time, with the results of the last successful file search.
#pragma once

#include <cstddef>
#include <string>

#include "install/script/dos_edit_args.h"
#include "install/script/macros.h"

namespace install::script {

class ScriptCursor;

struct IniEntry {
  static constexpr std::size_t kSectionCapacity = 498;
  static constexpr std::size_t kKeyCapacity = 498;
  static constexpr std::size_t kValueCapacity = 998;
  static constexpr std::size_t kFileCapacity = 498;

  EditMode mode = EditMode::Edit;  // EditThenAsk: ask before setting
  bool add = false;                // add the value as a word to the current one
  std::string section;
  std::string key;
  std::string value;
  std::string file = "WIN.INI";
  bool error = false;              // the line is to be rejected
};

struct AddTextEntry {
  static constexpr std::size_t kTextCapacity = 998;
  static constexpr std::size_t kFileCapacity = 498;
  static constexpr std::size_t kPlaceCapacity = 501;

  std::string text;   // the line to insert
  std::string file;   // the file to change
  std::string place;  // a text to look for, or a line number (negative: from the end)
  bool replace = false;
  bool error = false;  // the line is to be rejected
};

// Reads one INIFILE line. The entry's error flag is set for an unknown
// option, a missing section or key, or a field beyond its capacity.
IniEntry ParseIniFile(ScriptCursor& cursor);

// Reads one ADDTEXT line. The entry's error flag is set when the line ends
// after the text (no file), or a field is beyond its capacity.
AddTextEntry ParseAddText(ScriptCursor& cursor, const SearchResults& search);

// Replaces "$LEFT$" and "$RIGHT$" (any letter case) in one left-to-right
// pass; inserted text is never searched again. Cut to `capacity`.
void ReplaceSearchPlaceholders(std::string& text, const SearchResults& search, std::size_t capacity);

}  // namespace install::script
