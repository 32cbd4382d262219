// ADDTEXT: one line put into a text file, in the installation directory
// when the name is relative.
//
// The place is a line number when it reads as a non-zero decimal number
// (leading digits, optional sign): positive from the first line (1),
// negative from the last (-1); beyond the end means the end. Anything else
// (an empty place too) is a text to look for: the first line equal to it
// (any case, line end ignored), or beginning with it when it ends with "*".
// Without REPLACE the text goes before the line numbered, or after the line
// found; with REPLACE it takes the place of that line, or goes in front of
// it when the text ends with "*". An entry whose text already is one of the
// lines (any case) changes nothing; so does a REPLACE whose place is not
// found, unless the file is new. A text placed at the end gets a line end
// written before it when the file lacks one.
//
// Lines are read in text mode in pieces of at most kTextLineUnit characters.
// The new file is written to "~Tarsk.tmp" in the file's directory and moved
// over the old one, so the old file stays whole when anything fails. A new
// file is logged as a FILE entry; every placed text as an ADDTEXT entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "install/script/ini_edit_args.h"
#include "install/script/install_plan.h"
#include "install/sysedit/system_edits.h"

namespace install::sysedit {

inline constexpr std::size_t kTextLineUnit = 997;

struct TextInsertion {
  std::string text;                      // the new file (text mode)
  std::vector<std::string> log_entries;  // ADDTEXT entries
  bool changed = false;                  // false: the file stays as it is
};

// The line number of a place (0: a text to look for), saturated to 32 bits.
int32_t PlaceNumber(std::string_view place);

// One ADDTEXT over `old_text` (text mode; empty and `created` when the file
// did not exist). `text`, `file` and `place` are expanded already; `file`
// is the name the log entries show.
TextInsertion InsertTextLine(std::string_view old_text, bool created, const std::string& text,
                             const std::string& file, const std::string& place, bool replace);

// Carries out one entry: the installation directory ($DEFAULTDIR$) becomes
// the current directory, text, file and place are expanded, the file is
// changed. kEditDone or kEditFailed.
int ApplyAddText(const script::AddTextEntry& entry, const script::MacroValues& macros,
                 SystemEditServices& services);

}  // namespace install::sysedit
