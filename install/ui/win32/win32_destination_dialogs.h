// The destination question over real dialogs: templates 250 (directory
// only), 300 (drive only) and 350 (drive and directory). The dialog shows the
// prompt on its two lines and the current path split over its fields; OK
// reads the entry field, refuses a bad drive (BADDRIVEPROMPT, caption " ")
// and a directory that cannot be created (the creator's message), putting
// back the text the field opened with; Cancel asks QUITPROMPT.
#pragma once

#include <functional>
#include <string>

#include "install/ui/builtin_texts.h"
#include "install/ui/destination_dialogs.h"
#include "install/ui/win32/win32_desktop.h"

namespace install::ui {

class Win32DestinationDialogs : public DestinationDialogs {
 public:
  // Creates a directory with its missing levels: 0 done, non-zero failed
  // (the failure message has been shown by the creator).
  using DirectoryCreator = std::function<int(const std::string& path)>;

  // `texts` supplies the prompts as the script left them; both must outlive
  // this object.
  Win32DestinationDialogs(Win32Desktop& desktop, const PromptTexts& texts,
                          DirectoryCreator create_directories);

  // An ask mode other than 1, 2 or 3 has no dialog: the path stays as it is
  // and the result is kDestinationConfirmed.
  int AskDestination(const DestinationQuestion& question, std::string* chosen) override;

 private:
  Win32Desktop& desktop_;
  const PromptTexts& texts_;
  DirectoryCreator create_directories_;
};

}  // namespace install::ui
