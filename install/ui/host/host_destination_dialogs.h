// Destination dialogs that answer from a script of responses, for the tests
// and the command-line tools. Each response is what a user does in one
// showing of the dialog's controls: OK (optionally after typing a text into
// the entry field) or Cancel. The dialog behaves as the real one does: a bad
// drive shows the bad-drive message and waits for the next response, a
// directory that cannot be created waits too, Cancel asks whether to quit.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "install/ui/destination_dialogs.h"
#include "install/ui/builtin_texts.h"
#include "install/ui/desktop.h"

namespace install::ui {

class HostDestinationDialogs : public DestinationDialogs {
 public:
  // Creates a directory with its missing levels: 0 done, non-zero failed
  // (the failure message has been shown by the creator).
  using DirectoryCreator = std::function<int(const std::string& path)>;

  // `texts` supplies the bad-drive and quit messages as the script left them.
  HostDestinationDialogs(ui::Desktop& desktop, const PromptTexts& texts,
                         DirectoryCreator create_directories);

  // OK, after typing `typed` into the entry field (nothing: the field as shown).
  void QueueOk(std::optional<std::string> typed = std::nullopt);
  // Cancel (then the quit question, answered by the desktop).
  void QueueCancel();

  // Every question asked, in order.
  const std::vector<DestinationQuestion>& Questions() const { return questions_; }

  // Without a queued response the dialog is confirmed as shown; when that
  // does not close it either, it ends as cancelled (a host run never waits).
  int AskDestination(const DestinationQuestion& question, std::string* chosen) override;

 private:
  struct Response {
    bool ok = true;
    std::optional<std::string> typed;
  };

  ui::Desktop& desktop_;
  const PromptTexts& texts_;
  DirectoryCreator create_directories_;
  std::deque<Response> responses_;
  std::vector<DestinationQuestion> questions_;
};

}  // namespace install::ui
