// quill — command-line tooling for people who ship with the installer.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/quill/command.h"

namespace quill {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

int PrintUsage(const char* name) {
  for (const Command& c : Commands()) {
    if (std::strcmp(c.name, name) == 0) {
      std::fprintf(stderr, "usage: quill %s\n", c.usage);
      return 1;
    }
  }
  return 1;
}

static int PrintAllUsage() {
  std::vector<Command> sorted = Commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
  std::fprintf(stderr, "usage: quill COMMAND [ARGS]\ncommands:\n");
  for (const Command& c : sorted) std::fprintf(stderr, "  quill %s\n", c.usage);
  return 1;
}

}  // namespace quill

int main(int argc, char** argv) {
  if (argc < 2) return quill::PrintAllUsage();
  std::vector<std::string> args(argv + 2, argv + argc);
  for (const quill::Command& c : quill::Commands()) {
    if (std::strcmp(c.name, argv[1]) == 0) return c.run(args);
  }
  std::fprintf(stderr, "quill: unknown command '%s'\n", argv[1]);
  return quill::PrintAllUsage();
}
