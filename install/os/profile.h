// The Windows profile functions: keys of initialisation (.INI) files.
//
// A file name without a drive, a leading "\" or any "\" or "/" names a file
// in the Windows directory; any other name is used as it stands (relative to
// the current directory). Section and key names compare without regard to
// letter case, after blanks around them are trimmed.
//
// Two implementations: os/win32 (GetPrivateProfileStringA and
// WritePrivateProfileStringA) and os/host (the same behaviour over the files
// of any Machine, checked against Wine's profile functions).
#pragma once

#include <cstdint>
#include <string>

namespace install::os {

class Profile {
 public:
  virtual ~Profile() = default;

  // GetPrivateProfileString into a buffer of `buffer_size` characters (at
  // least 1). Returns the characters the function reports, without the final
  // terminator:
  //  - `key` given: the key's value, a matching pair of surrounding quotes
  //    removed, cut to buffer_size - 1; `default_text` (trailing spaces
  //    removed) when the file, the section or the key is missing or the key
  //    has no "=". An empty key gives "".
  //  - `key` nullptr: the names of the section's keys that have a value, each
  //    followed by '\0' (comments and lines without "=" left out);
  //    `default_text` when there are none or the section is missing.
  //  - `section` nullptr: the names of all sections, each followed by '\0'.
  // `default_text` nullptr is "". An unreadable file counts as missing.
  virtual std::string GetPrivateProfileString(const char* section, const char* key,
                                              const char* default_text, uint32_t buffer_size,
                                              const std::string& file) = 0;

  // WritePrivateProfileString. Sets `key` of `section` to `value` (leading
  // blanks of the value dropped), adding the key at the end of the section
  // and the section at the end of the file when they are missing, and
  // creating the file when needed; a value that is already set (compared
  // with letter case) leaves the file untouched. `value` nullptr deletes the
  // key, `key` nullptr the whole section. All three nullptr flushes the
  // system's cached copy of `file` to disk and returns false, as the system
  // does. Returns false when the file cannot be read or written; the file is
  // then as it was.
  virtual bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                         const std::string& file) = 0;
};

}  // namespace install::os
