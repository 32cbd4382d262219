#include "install/ui/desktop.h"

namespace install::ui {

bool ConfirmQuit(Desktop& desktop, const PromptTexts& texts, const char* caption) {
  return desktop.MessageBox(texts.quit, caption, kMbYesNo | kMbIconWarning) == kIdYes;
}

}  // namespace install::ui
