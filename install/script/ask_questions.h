// Asking the ASK1..ASK5 questions during the run.
#pragma once

#include "install/script/install_plan.h"
#include "install/ui/desktop.h"

namespace install::script {

// Asks every defined question in the order ASK1..ASK5, each showing the
// current value of its $ASKn$ as the default answer. OK stores the trimmed
// answer (ui::TrimAnswer) in $ASKn$. Returns 0 when all were answered, -1
// when the user quit from one of them.
int AskQuestions(InstallPlan& plan, ui::Desktop& desktop);

}  // namespace install::script
