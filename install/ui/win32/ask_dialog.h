// The ASK question (template 601): the prompt on its two lines, the answer
// in item 701, OK and Cancel captioned from the prompt texts, the controls on
// the system window colour. OK takes the text as typed (at most 497
// characters); Cancel asks QUITPROMPT with the caption " ".
#pragma once

#include <string>

#include "install/ui/win32/question_dialog.h"

namespace install::ui {

class AskDialog : public QuestionDialog {
 public:
  AskDialog(Win32Desktop& desktop, const PromptTexts& texts, const std::string& prompt,
            std::string* answer)
      : QuestionDialog(desktop, texts, " "), prompt_(prompt), answer_(answer) {}

  int Run();

 protected:
  void OnInit() override;
  bool OnOk() override;

 private:
  const std::string& prompt_;
  std::string* answer_;
};

}  // namespace install::ui
