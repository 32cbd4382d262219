#include "tamblor/win32/disc_prompt_win32.h"

#include "tamblor/lang/format_text.h"
#include "tamblor/lang/string_ids.h"

namespace tamblor::app {

void Win32DiscPrompt::BeginWait() { wait_.emplace(); }

void Win32DiscPrompt::EndWait() { wait_.reset(); }

bool Win32DiscPrompt::AskForDisc(const std::string& path, const std::string& disc_title, int disc) {
  std::string text = lang::FormatText(languages_.String(lang::kStrInsertDisc), {path, disc_title, disc});
  std::string caption = languages_.String(lang::kStrLoadFileCaption);
  return MessageBoxA(owner_, text.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

}  // namespace tamblor::app
