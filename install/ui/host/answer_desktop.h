// A Desktop, with its destination dialog, that answers every interaction of a
// run from a list of answers in the order they come, and writes the
// transcript of what was met in the same format:
//
//   firstscreen ok|cancel          lastscreen ok|cancel
//   askN TEXT                      (question N confirmed with TEXT)
//   destination PATH[<TAB>PROMPT]  (the dialog confirmed with PATH; PROMPT, when
//                                   given, must be the prompt it shows)
//   groups N,N                     (exactly these group numbers ticked, then OK)
//   groups cancel
//   messagebox yes|no|ok|cancel<TAB>TEXT
//   disk-prompt ok<TAB>TEXT<TAB>X:=NAME   (disk NAME is put into drive X:)
//   disk-prompt cancel<TAB>TEXT
//
// A question the answers do not foresee, or whose text differs, is a
// mismatch: both are recorded, and from then on every question is answered
// so that the run stops (Cancel, No, quit). Without answers (Unscripted) every
// interaction takes its default — OK, Yes, the proposal, the pre-selection,
// the next disk — and is written to the transcript.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "install/ui/desktop.h"
#include "install/ui/destination_dialogs.h"

namespace install::ui {

class AnswerDesktop : public Desktop, public DestinationDialogs {
 public:
  struct Answer {
    std::string line;  // the whole line as written
    int line_number = 0;
  };
  // Puts disk `name` into drive `letter`; false when no such disk exists.
  using DiskChanger = std::function<bool(char letter, const std::string& name)>;
  // Creates a destination directory with its missing levels: 0 done.
  using DirectoryCreator = std::function<int(const std::string& path)>;

  // `answers` empty and `unscripted`: defaults for everything.
  AnswerDesktop(std::vector<Answer> answers, bool unscripted, DiskChanger change_disk);
  void set_directory_creator(DirectoryCreator creator) { create_directories_ = std::move(creator); }
  // BADDRIVEPROMPT as the script left it, shown for a path without a drive.
  void set_bad_drive_text(std::string text) { bad_drive_text_ = std::move(text); }
  // The disks in the order the machine lists them, for unscripted prompts:
  // each prompt takes the next one after the disk now in `letter`.
  void set_disk_order(char letter, std::vector<std::string> names, std::string current);

  const std::vector<std::string>& transcript() const { return transcript_; }
  bool mismatched() const { return !mismatch_.empty(); }
  // "expected ... / met ..." lines of the first mismatch.
  const std::string& mismatch() const { return mismatch_; }
  // Answers never used (a finished run must use them all).
  std::vector<Answer> Unused() const;

  int MessageBox(const std::string& text, const char* caption, unsigned style) override;
  bool PumpMessages() override { return false; }
  // Asks nothing, so it is no interaction of the transcript.
  void ShowPleaseWait(const std::string&) override {}
  int ShowTextScreen(TextScreen which, const ScriptDialog& dialog, const PromptTexts& texts) override;
  int AskQuestion(int number, const std::string& prompt, std::string* answer,
                  const PromptTexts& texts) override;
  int ChooseGroups(const GroupPageView& page, std::vector<bool>* checked,
                   const PromptTexts& texts) override;
  int PromptForDisk(const std::string& text) override;
  void OpenProgress(int, const PromptTexts&) override {}
  void ShowProgressFile(const std::string&, const std::string&) override {}
  void UpdateProgress(bool, int64_t, int64_t) override {}
  void CloseProgress() override {}
  void ShowPopup(const ScriptDialog&) override {}
  void ClosePopup() override {}
  int AskDestination(const DestinationQuestion& question, std::string* chosen) override;

 private:
  // The next answer when its first word is `kind` (its rest in *rest);
  // otherwise a mismatch with `met` as what the run showed.
  bool Take(const std::string& kind, const std::string& met, std::string* rest);
  void Mismatch(const std::string& expected, const std::string& met);
  int DialogCancelled(const PromptTexts& texts, const char* caption);

  std::vector<Answer> answers_;
  std::size_t next_ = 0;
  bool unscripted_;
  DiskChanger change_disk_;
  DirectoryCreator create_directories_;
  std::vector<std::string> transcript_;
  std::string mismatch_;
  char disk_letter_ = 'A';
  std::vector<std::string> disk_order_;
  std::string current_disk_;
  std::string bad_drive_text_ = "Invalid drive specification.";
};

// The answer lines of a text, numbered; blank lines and lines starting with
// "#" are skipped. The text "-" alone means unscripted.
std::vector<AnswerDesktop::Answer> ReadAnswerLines(const std::string& text);

}  // namespace install::ui
