#include "tools/quill/command.h"

#include <cstdio>
#include <cstring>

namespace quill {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

const Command* FindCommand(const char* name) {
  for (const Command& c : Commands()) {
    if (std::strcmp(c.name, name) == 0) return &c;
  }
  return nullptr;
}

int PrintUsage(const char* name) {
  if (const Command* c = FindCommand(name)) std::fprintf(stderr, "usage: quill %s\n", c->usage);
  return 1;
}

}  // namespace quill
