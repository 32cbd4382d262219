// The profile functions modelled over the files of a Machine, with the
// behaviour of Wine's profile functions (checked against them by the same
// cases under Wine):
//
//  - Reading: lines end at "\n"; blanks, CR and Ctrl-Z around a line are
//    dropped and empty lines ignored. "[" starts a section header, whose name
//    runs to the last "]" of the line (a line without "]" is an ordinary
//    line). Other lines are keys: the name before the first "=" and the value
//    after it, blanks around both dropped; a line without "=" is a key
//    without a value (comments, starting with ";", are kept that way). Lines
//    before the first header belong to a section without a name, which no
//    lookup finds. Of two sections with the same name only the first is found.
//  - Writing: an unchanged file is never rewritten. A changed file is written
//    whole: each named section as "[name]" and its lines as "name=value" (or
//    the bare name), each ending in CR LF, without empty lines.
//
// There is no cache: every call reads the file and a change is written at
// once, so the flush call only reports false. Names compare without regard
// to ASCII letter case. Files are 8-bit text (no conversion of character sets).
#pragma once

#include "install/os/machine.h"
#include "install/os/profile.h"

namespace install::os {

class HostProfile : public Profile {
 public:
  // The files are those of `machine`, which must outlive the profile.
  explicit HostProfile(Machine& machine) : machine_(machine) {}

  std::string GetPrivateProfileString(const char* section, const char* key, const char* default_text,
                                      uint32_t buffer_size, const std::string& file) override;
  bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                 const std::string& file) override;

  // The file the functions use for `file`: a bare name in the Windows
  // directory, anything else as given.
  std::string ProfilePath(const std::string& file);

 private:
  Machine& machine_;
};

}  // namespace install::os
