#include "install/ui/host/host_destination_dialogs.h"

#include <utility>

#include "install/os/ascii_case.h"

namespace install::ui {

HostDestinationDialogs::HostDestinationDialogs(ui::Desktop& desktop, const PromptTexts& texts,
                                               DirectoryCreator create_directories)
    : desktop_(desktop), texts_(texts), create_directories_(std::move(create_directories)) {}

void HostDestinationDialogs::QueueOk(std::optional<std::string> typed) {
  responses_.push_back(Response{true, std::move(typed)});
}

void HostDestinationDialogs::QueueCancel() { responses_.push_back(Response{false, std::nullopt}); }

int HostDestinationDialogs::AskDestination(const DestinationQuestion& question, std::string* chosen) {
  questions_.push_back(question);
  const std::string shown = SplitDestinationPath(question.ask_mode, question.path).entry;
  bool defaulted = false;
  for (;;) {
    Response response;
    if (!responses_.empty()) {
      response = std::move(responses_.front());
      responses_.pop_front();
    } else if (!defaulted) {
      defaulted = true;  // OK on the field as shown
    } else {
      return kDestinationCancelled;
    }

    if (!response.ok) {
      const int answer = desktop_.MessageBox(texts_.quit, "", ui::kMbYesNo | ui::kMbIconWarning);
      if (answer == ui::kIdYes) return kDestinationCancelled;
      continue;
    }
    if (question.ask_mode < 1 || question.ask_mode > 3) {
      *chosen = question.path;
      return kDestinationConfirmed;
    }
    // The entry field is an upper-case edit control.
    const std::string typed = os::UpperCopy(response.typed.value_or(shown));
    std::optional<std::string> path = DestinationFromEntry(question.ask_mode, question.path, typed);
    if (!path) {
      desktop_.MessageBox(texts_.bad_drive, " ", ui::kMbOk | ui::kMbIconWarning);
      continue;
    }
    if (create_directories_ && create_directories_(*path) != 0) continue;
    *chosen = *path;
    return kDestinationConfirmed;
  }
}

}  // namespace install::ui
