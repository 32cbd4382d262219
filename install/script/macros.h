// The script's macros: nineteen names written between dollar signs
// ($DEFAULTDIR$, $WINSYSDIR$, $ASK1$, ...) whose values are known only on the
// target machine, and the three ways they are expanded:
//
//  - SubstituteAtToken: at parse time, at the first character of a token, for
//    seven macros whose values are fixed before the parse (the line itself is
//    rewritten, so the value is read as part of the token);
//  - ExpandPrefix: one macro at the very start of a single path;
//  - ExpandAll: every occurrence of every macro in a command or path text.
//
// Names compare without regard to ASCII letter case. Any other text between
// dollar signs stays as written. Every result is cut to the capacity of the
// text that holds it; nothing grows past it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace install::script {

class ScriptCursor;

// Capacities, in characters (the buffers hold one more byte for the terminator).
inline constexpr std::size_t kMacroValueCapacity = 503;       // most macro values
inline constexpr std::size_t kDefaultDirCapacity = 498;       // $DEFAULTDIR$
inline constexpr std::size_t kWindowsDirCapacity = 997;       // $WINDIR$, $WINSYSDIR$
inline constexpr std::size_t kDriveLetterCapacity = 1;        // $DEFAULTDRIVE$, $SOURCEDRIVE$, $LOCATEDRIVE$
inline constexpr std::size_t kExpandedTextCapacity = 999;     // commands and paths given to ExpandAll

// The macros. The order is that of ExpandPrefix.
enum class Macro : int {
  LocateDir,
  LocateDrive,
  DefaultDir,
  SourceDir,
  WinDir,
  WinHelpDir,
  WinSysDir,
  Dir2,
  Dir3,
  System,
  Sys2,
  Sys3,
  DefaultDrive,
  SourceDrive,
  Ask1,
  Ask2,
  Ask3,
  Ask4,
  Ask5,
};
inline constexpr int kMacroCount = 19;

// "$LOCATEDIR$", "$WINSYSDIR$", ... (upper case, with both dollar signs).
std::string_view MacroName(Macro macro);
// Capacity of the variable that holds the macro's value.
std::size_t MacroCapacity(Macro macro);

// Results of the last successful file-search condition: the found line's
// number in decimal ($SEARCH$), the text before the found text ($LEFT$) and
// after it ($RIGHT$). Read by ADDTEXT at parse time; not macros of ExpandAll.
inline constexpr std::size_t kSearchResultCapacity = 503;
struct SearchResults {
  std::string line_number;
  std::string left;
  std::string right;
};

// The values the macros read, plus the other start-up values that sit next
// to them. One per installation run; start-up fills the fixed ones, the
// parser, the conditions and the dialogs change the others.
struct MacroValues {
  std::string program_dir;   // the installer's own directory, ending in "\" (no macro)
  std::string source_dir;    // $SOURCEDIR$: the script's directory, no trailing "\"
  std::string source_drive;  // $SOURCEDRIVE$: first character of the script path
  std::string default_drive; // $DEFAULTDRIVE$: first character of $DEFAULTDIR$
  std::array<std::string, 3> options;  // $SYSTEM$, $SYS2$, $SYS3$ ("-" options, without the "-")
  std::string windows_dir;   // $WINDIR$, no trailing "\"
  std::string system_dir;    // $WINSYSDIR$, no trailing "\"
  std::string help_dir;      // $WINHELPDIR$: windows_dir + "\help"
  std::array<std::string, 5> answers;  // $ASK1$ .. $ASK5$
  std::string default_dir;   // $DEFAULTDIR$
  std::string dir2;          // $DIR2$
  std::string dir3;          // $DIR3$
  std::string locate_dir = "C:\\NEWFILES";  // $LOCATEDIR$
  std::string locate_drive;  // $LOCATEDRIVE$
  SearchResults search;

  const std::string& Value(Macro macro) const;
  std::string& Value(Macro macro);
  // Sets a macro's value, cut to the macro's capacity.
  void Set(Macro macro, std::string_view value);
};

// Parse-time substitution at the cursor's position (the first character of a
// token, or the one after a token's opening quote). Compares the line there
// with $LOCATEDIR$, $WINHELPDIR$, $LOCATEDRIVE$, $SYSTEM$, $SYS2$, $SYS3$ and
// $SOURCEDIR$, in that order; the first that matches is replaced in the line
// by its value (an empty value removes it), through the cursor's in-place
// rewrite, which refuses a rest of line beyond its rewrite limit (the line is
// then unchanged and the cursor flags the overflow). Returns true when a macro
// was replaced.
bool SubstituteAtToken(ScriptCursor& cursor, const MacroValues& values);

// When `text` begins with a macro (checked in the order of enum Macro), the
// macro is replaced by its value; only that one macro is expanded. The result
// is cut to `capacity`. Returns true when a macro was replaced.
bool ExpandPrefix(std::string& text, const MacroValues& values,
                  std::size_t capacity = kExpandedTextCapacity);

// Replaces every occurrence of `macro` (an upper-case name, found regardless
// of the text's letter case) by `value`, keeping the rest of the text as it
// is. The search resumes after each inserted value, so a value holding the
// macro's own name is inserted once and never rescanned. The result is cut
// to `capacity`. Empty text: nothing happens. Also used
// for ADDTEXT's $LEFT$, $RIGHT$ and $SEARCH$ placeholders.
void ReplaceAll(std::string& text, std::string_view macro, std::string_view value,
                std::size_t capacity = kExpandedTextCapacity);

// ReplaceAll for every macro, in this order: $LOCATEDIR$, $LOCATEDRIVE$,
// $SYSTEM$, $SYS2$, $SYS3$, $DEFAULTDIR$, $DIR2$, $DIR3$, $SOURCEDIR$,
// $WINDIR$, $WINHELPDIR$, $WINSYSDIR$, $DEFAULTDRIVE$, $SOURCEDRIVE$,
// $ASK1$ .. $ASK5$. A $DIR2$ whose value begins with $WINDIR$ is therefore
// fully resolved.
void ExpandAll(std::string& text, const MacroValues& values,
               std::size_t capacity = kExpandedTextCapacity);

}  // namespace install::script
