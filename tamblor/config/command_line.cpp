#include "tamblor/config/command_line.h"

namespace tamblor::config {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::string DefaultConfigPath(char drive) { return std::string(1, drive) + ":\\cdrom.cfg"; }

StartupArguments ParseCommandLine(const std::string& command_line, const std::string& module_path) {
  std::string line = command_line.substr(0, kMaxCommandLine);
  StartupArguments result;
  if (line.empty()) {
    result.drive = module_path.empty() ? 'C' : module_path[0];
    result.config_path = DefaultConfigPath(result.drive);
    return result;
  }
  result.drive = line[0];
  std::string word;
  if (line.size() > 2) {
    size_t start = 2;
    while (start < line.size() && IsBlank(line[start])) ++start;
    size_t end = start;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    word = line.substr(start, end - start);
  }
  result.config_path = (!word.empty() && word.size() < kMaxPath) ? word : DefaultConfigPath(result.drive);
  return result;
}

}  // namespace tamblor::config
