// Asking the ASK1..ASK5 questions during the run: the layout of a question on
// its one or two lines, and the answer flow around the question dialog.
#pragma once

#include <string>

#include "install/script/install_plan.h"

namespace install::ui {
class Desktop;
}

namespace install::script {

// A question of up to 45 characters is shown on the second line alone;
// a longer one is split at a space near the 45th character.
struct AskLayout {
  std::string first_line;   // control 301
  std::string second_line;  // control 302
};
inline constexpr std::size_t kAskLineLength = 45;
AskLayout SplitAskQuestion(const std::string& question);

// The question dialog (resource 601).
class AskDialog {
 public:
  virtual ~AskDialog() = default;
  // Shows the question with `answer` in the edit field. Returns ui::kIdOk with
  // the edit text in `answer`, or ui::kIdCancel.
  virtual int Ask(const AskLayout& layout, std::string& answer) = 0;
};

// Asks every defined question in the order ASK1..ASK5. OK takes the edit text
// (at most 497 characters, leading separators of set B removed) as the answer
// and the value of its $ASKn$. Cancel asks QUITPROMPT (Yes/No): Yes stops
// with -1, No shows the question again. Returns 0 when all were answered.
int AskQuestions(InstallPlan& plan, AskDialog& dialog, ui::Desktop& desktop);

}  // namespace install::script
