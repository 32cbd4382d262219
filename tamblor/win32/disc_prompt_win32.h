// The multi-disc prompt as a message box in the current language.
#pragma once

#include <windows.h>

#include <optional>

#include "tamblor/config/wait_for_disc.h"
#include "tamblor/lang/language_set.h"
#include "tamblor/os/win32/gdi.h"

namespace tamblor::app {

class Win32DiscPrompt : public config::DiscPrompt {
 public:
  Win32DiscPrompt(HWND owner, lang::LanguageSet& languages) : owner_(owner), languages_(languages) {}
  void BeginWait() override;
  void EndWait() override;
  bool AskForDisc(const std::string& path, const std::string& disc_title, int disc) override;

 private:
  HWND owner_;
  lang::LanguageSet& languages_;
  std::optional<os::win32::WaitCursor> wait_;
};

}  // namespace tamblor::app
