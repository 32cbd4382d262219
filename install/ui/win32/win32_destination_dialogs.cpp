#include "install/ui/win32/win32_destination_dialogs.h"

#include <optional>
#include <utility>

#include "install/os/ascii_case.h"
#include "install/ui/win32/dialog_controls.h"
#include "install/ui/win32/dialog_resources.h"
#include "install/ui/win32/question_dialog.h"

namespace install::ui {
namespace {

class DestinationDialog : public QuestionDialog {
 public:
  DestinationDialog(Win32Desktop& desktop, const PromptTexts& texts,
                    const DestinationQuestion& question,
                    const Win32DestinationDialogs::DirectoryCreator& create_directories,
                    std::string* chosen)
      : QuestionDialog(desktop, texts, ""),
        question_(question),
        fields_(SplitDestinationPath(question.ask_mode, question.path)),
        create_directories_(create_directories),
        chosen_(chosen) {}

 protected:
  void OnInit() override {
    ShowPromptLines(hwnd(), question_.prompt.empty() ? DefaultDestinationPrompt(question_.ask_mode)
                                                     : question_.prompt);
    CaptionButtons(hwnd(), texts());
    SetItemText(hwnd(), IDC_DESTINATION_ENTRY, fields_.entry);
    if (question_.ask_mode == 1) SetItemText(hwnd(), IDC_DESTINATION_DRIVE, fields_.fixed);
    if (question_.ask_mode == 2) SetItemText(hwnd(), IDC_DESTINATION_REST, fields_.fixed);
  }

  bool OnOk() override {
    // The entry field is an upper-case edit control.
    const std::string typed =
        os::UpperCopy(ItemText(hwnd(), IDC_DESTINATION_ENTRY, kDestinationEntryCapacity));
    const std::optional<std::string> path =
        DestinationFromEntry(question_.ask_mode, question_.path, typed);
    if (!path) {
      desktop().MessageBox(texts().bad_drive, " ", kMbOk | kMbIconWarning);
      SetItemText(hwnd(), IDC_DESTINATION_ENTRY, fields_.entry);
      return false;
    }
    if (create_directories_ && create_directories_(*path) != 0) {
      SetItemText(hwnd(), IDC_DESTINATION_ENTRY, fields_.entry);
      return false;
    }
    *chosen_ = *path;
    return true;
  }

 private:
  const DestinationQuestion& question_;
  const DestinationFields fields_;
  const Win32DestinationDialogs::DirectoryCreator& create_directories_;
  std::string* chosen_;
};

}  // namespace

Win32DestinationDialogs::Win32DestinationDialogs(Win32Desktop& desktop, const PromptTexts& texts,
                                                 DirectoryCreator create_directories)
    : desktop_(desktop), texts_(texts), create_directories_(std::move(create_directories)) {}

int Win32DestinationDialogs::AskDestination(const DestinationQuestion& question,
                                            std::string* chosen) {
  if (question.ask_mode < 1 || question.ask_mode > 3) {
    *chosen = question.path;
    return kDestinationConfirmed;
  }
  std::string path;
  DestinationDialog dialog(desktop_, texts_, question, create_directories_, &path);
  if (dialog.RunResource(DestinationTemplateId(question.ask_mode)) != kIdOk) {
    return kDestinationCancelled;
  }
  *chosen = path;
  return kDestinationConfirmed;
}

}  // namespace install::ui
