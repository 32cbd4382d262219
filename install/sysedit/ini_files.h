// INIFILE: one key of an initialisation file set through the profile
// functions, or a word added to its value (ADD), with ASK after a question.
//
// A file other than WIN.INI is named by its full name: as written when it
// starts with "\" or a drive ("C:"), otherwise in the Windows directory
// ($WINDIR$). The section and the key are looked up with the sentinel
// "~Tarsk" as default, so that a missing one can be told from an empty one.
//
// Log entries, in this order: FILE when the INI file is new; INIFILE with
// section, key, value and file (and a fifth field when the key existed: its
// old value when replaced, the combined value when ADD appended the word);
// INIFILE with section and file when the section is new. A key already
// holding the value (any case), or with ADD a value already holding the word
// (any case), is left alone and nothing is logged.
//
// A write that the profile functions report as failed puts the file's old
// bytes back, shows a warning naming the file and logs nothing.
#pragma once

#include <string>

#include "install/script/ini_edit_args.h"
#include "install/script/macros.h"
#include "install/sysedit/system_edits.h"
#include "install/ui/builtin_texts.h"

namespace install::sysedit {

inline constexpr char kProfileSentinel[] = "~Tarsk";
// The buffer of every profile lookup, terminator included.
inline constexpr uint32_t kProfileBufferSize = 998;

// The full name of an INI file other than WIN.INI.
std::string IniFilePath(const std::string& file, const std::string& windows_dir);

// Carries out one entry (services.profile must be set). kEditDone,
// kEditRejected (ASK answered No) or kEditFailed.
int ApplyIniEntry(const script::IniEntry& entry, const script::MacroValues& macros,
                  const ui::PromptTexts& prompts, SystemEditServices& services);

}  // namespace install::sysedit
