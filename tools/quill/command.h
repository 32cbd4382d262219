// quill's subcommands register themselves here; main() looks them up by name.
// A command file defines one function and one static QuillCommand registration:
//
//   static int RunCheck(const std::vector<std::string>& args);
//   static quill::CommandRegistration check{"check", "check SCRIPT [--dump] [-- OPTIONS]", RunCheck};
//
// args holds the words after the command name. The function returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace quill {

// What `quill --version` prints after "quill ".
inline constexpr char kVersion[] = "1.0";

using CommandFunction = int (*)(const std::vector<std::string>& args);

struct Command {
  const char* name;
  const char* usage;
  CommandFunction run;
};

// All registered commands, in registration order.
std::vector<Command>& Commands();
// The registered command of that name; null when there is none.
const Command* FindCommand(const char* name);

struct CommandRegistration {
  CommandRegistration(const char* name, const char* usage, CommandFunction run) {
    Commands().push_back(Command{name, usage, run});
  }
};

// Prints "usage: quill <usage>" of the named command to stderr and returns 1
// (for usage errors; `quill help COMMAND` prints it to stdout).
int PrintUsage(const char* name);

}  // namespace quill
