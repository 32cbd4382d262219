#include "install/script/ask_questions.h"

#include "install/ui/dialog_rules.h"

namespace install::script {

int AskQuestions(InstallPlan& plan, ui::Desktop& desktop) {
  for (std::size_t n = 0; n < plan.asks.size(); ++n) {
    if (!plan.asks[n]) continue;
    const Macro macro = static_cast<Macro>(static_cast<int>(Macro::Ask1) + static_cast<int>(n));
    std::string answer = plan.macros.Value(macro);
    if (desktop.AskQuestion(static_cast<int>(n) + 1, plan.asks[n]->prompt, &answer, plan.prompts) !=
        ui::kIdOk) {
      return -1;
    }
    plan.macros.Set(macro, ui::TrimAnswer(answer));
  }
  return 0;
}

}  // namespace install::script
