// The decisions the installer's question dialogs make, shared by every
// desktop: how a prompt is laid out on the dialog's two prompt lines, what an
// ASK answer keeps of the typed text, and how a group page opens.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace install::ui {

// A prompt longer than 45 characters is split once, on two lines: the first
// line goes to item 301, the second to item 302. A prompt that fits shows on
// the second line alone.
inline constexpr std::size_t kPromptLineLength = 45;
struct PromptLines {
  std::string first;
  std::string second;
};
// At position 45 a space splits there (the spaces after it dropped);
// otherwise at the last space before it that is not at position 0; without
// one the first line is the first 44 characters.
PromptLines SplitPrompt(const std::string& prompt);

// An ASK answer: the typed text (at most 497 characters) without its leading
// tabs, line feeds, carriage returns, spaces, commas and parentheses.
inline constexpr std::size_t kAnswerCapacity = 497;
std::string TrimAnswer(const std::string& typed);

// The buttons a group page opens with: the groups the script pre-selects; in
// an exclusive page only the first of them.
std::vector<bool> InitialGroupChecks(const std::vector<bool>& preselected, bool exclusive);
// OK on a group page needs at least one checked button.
bool AnyGroupChecked(const std::vector<bool>& checked);

}  // namespace install::ui
