// quill — command-line tooling for people who ship with the installer.
//
//   quill COMMAND [ARGS]    runs a command
//   quill --help, quill help           the usage of every command (standard output, exit 0)
//   quill help COMMAND, quill COMMAND --help    the usage of one command
//   quill --version         the version
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/quill/command.h"

namespace quill {

static void PrintAllUsage(std::FILE* out) {
  std::vector<Command> sorted = Commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
  std::fprintf(out, "usage: quill COMMAND [ARGS]\ncommands:\n");
  for (const Command& c : sorted) std::fprintf(out, "  quill %s\n", c.usage);
  std::fprintf(out, "  quill help [COMMAND]\n  quill --version\n");
}

// "quill help [COMMAND]": the usage on standard output; an unknown command is
// an error.
static int RunHelp(int argc, char** argv) {
  if (argc == 2) {
    PrintAllUsage(stdout);
    return 0;
  }
  const Command* c = argc == 3 ? FindCommand(argv[2]) : nullptr;
  if (!c) {
    if (argc == 3) std::fprintf(stderr, "quill: unknown command '%s'\n", argv[2]);
    PrintAllUsage(stderr);
    return 1;
  }
  std::printf("usage: quill %s\n", c->usage);
  return 0;
}

}  // namespace quill

int main(int argc, char** argv) {
  if (argc < 2) {
    quill::PrintAllUsage(stderr);
    return 1;
  }
  const char* first = argv[1];
  if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0) {
    quill::PrintAllUsage(stdout);
    return 0;
  }
  if (std::strcmp(first, "--version") == 0) {
    std::printf("quill %s\n", quill::kVersion);
    return 0;
  }
  if (std::strcmp(first, "help") == 0) return quill::RunHelp(argc, argv);
  const quill::Command* command = quill::FindCommand(first);
  if (!command) {
    std::fprintf(stderr, "quill: unknown command '%s'\n", first);
    quill::PrintAllUsage(stderr);
    return 1;
  }
  if (argc == 3 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0)) {
    std::printf("usage: quill %s\n", command->usage);
    return 0;
  }
  return command->run(std::vector<std::string>(argv + 2, argv + argc));
}
