#include "install/script/ask_questions.h"

#include "install/script/script_cursor.h"
#include "install/ui/desktop.h"

namespace install::script {

AskLayout SplitAskQuestion(const std::string& question) {
  AskLayout layout;
  if (question.size() <= kAskLineLength) {
    layout.second_line = question;
    return layout;
  }
  if (question[kAskLineLength] == ' ') {
    layout.first_line = question.substr(0, kAskLineLength);
    std::size_t next = question.find_first_not_of(' ', kAskLineLength);
    layout.second_line = next == std::string::npos ? "" : question.substr(next);
    return layout;
  }
  std::size_t space = question.rfind(' ', kAskLineLength - 1);
  if (space == std::string::npos) {
    layout.first_line = question.substr(0, kAskLineLength - 1);
    layout.second_line = question.substr(kAskLineLength - 1);
    return layout;
  }
  layout.first_line = question.substr(0, space);
  layout.second_line = question.substr(space + 1);
  return layout;
}

int AskQuestions(InstallPlan& plan, AskDialog& dialog, ui::Desktop& desktop) {
  for (std::size_t n = 0; n < plan.asks.size(); ++n) {
    if (!plan.asks[n]) continue;
    const AskLayout layout = SplitAskQuestion(plan.asks[n]->prompt);
    const Macro macro = static_cast<Macro>(static_cast<int>(Macro::Ask1) + static_cast<int>(n));
    while (true) {
      std::string answer = plan.macros.Value(macro);
      if (dialog.Ask(layout, answer) == ui::kIdOk) {
        if (answer.size() > AskPrompt::kAnswerCapacity) answer.resize(AskPrompt::kAnswerCapacity);
        std::size_t start = 0;
        while (start < answer.size() && IsSeparatorB(answer[start])) ++start;
        plan.macros.Set(macro, answer.substr(start));
        break;
      }
      if (desktop.MessageBox(plan.prompts.quit, " ", ui::kMbYesNo | ui::kMbIconWarning) == ui::kIdYes)
        return -1;
    }
  }
  return 0;
}

}  // namespace install::script
