#include "install/ui/dialog_rules.h"

namespace install::ui {

PromptLines SplitPrompt(const std::string& prompt) {
  PromptLines lines;
  if (prompt.size() <= kPromptLineLength) {
    lines.second = prompt;
    return lines;
  }
  if (prompt[kPromptLineLength] == ' ') {
    lines.first = prompt.substr(0, kPromptLineLength);
    std::size_t next = prompt.find_first_not_of(' ', kPromptLineLength);
    lines.second = next == std::string::npos ? "" : prompt.substr(next);
    return lines;
  }
  std::size_t space = prompt.rfind(' ', kPromptLineLength - 1);
  // A space at position 0 would leave the first line empty: split hard instead.
  if (space == std::string::npos || space == 0) {
    lines.first = prompt.substr(0, kPromptLineLength - 1);
    lines.second = prompt.substr(kPromptLineLength - 1);
    return lines;
  }
  lines.first = prompt.substr(0, space);
  lines.second = prompt.substr(space + 1);
  return lines;
}

std::string TrimAnswer(const std::string& typed) {
  const std::string text = typed.substr(0, kAnswerCapacity);
  std::size_t start = 0;
  while (start < text.size()) {
    const char c = text[start];
    if (c != '\t' && c != '\n' && c != '\r' && c != ' ' && c != ',' && c != '(' && c != ')') break;
    ++start;
  }
  return text.substr(start);
}

std::vector<bool> InitialGroupChecks(const std::vector<bool>& preselected, bool exclusive) {
  std::vector<bool> checked(preselected.size(), false);
  for (std::size_t i = 0; i < preselected.size(); ++i) {
    if (!preselected[i]) continue;
    checked[i] = true;
    if (exclusive) break;
  }
  return checked;
}

bool AnyGroupChecked(const std::vector<bool>& checked) {
  for (bool c : checked) {
    if (c) return true;
  }
  return false;
}

}  // namespace install::ui
