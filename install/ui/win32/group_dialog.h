// One page of the group selection, from the template the script built: one
// check box per group, or one radio button per group on an exclusive page,
// in group order. It opens with the given buttons checked; OK with nothing
// checked shows NOGROUPPROMPT (caption " ") and stays; Cancel asks
// QUITPROMPT.
#pragma once

#include <cstdint>
#include <vector>

#include "install/ui/desktop.h"
#include "install/ui/win32/question_dialog.h"

namespace install::ui {

class GroupDialog : public QuestionDialog {
 public:
  GroupDialog(Win32Desktop& desktop, const PromptTexts& texts, const GroupPageView& page,
              std::vector<bool>* checked)
      : QuestionDialog(desktop, texts, ""), page_(page), checked_(checked) {}

  int Run();

 protected:
  void OnInit() override;
  bool OnOk() override;
  void OnCommand(int id, int notification) override;

 private:
  std::vector<bool> ButtonStates() const;

  const GroupPageView& page_;
  std::vector<bool>* checked_;
  std::vector<uint16_t> ids_;  // the group buttons, in group order
};

}  // namespace install::ui
