// A Desktop for tests: it answers from queued responses and records what it
// showed. Message boxes without a queued answer get their first button (OK or
// Yes); dialogs without a queued reply are confirmed as shown. A dialog
// reply of kIdCancel asks QUITPROMPT like the real dialogs, and a No there
// takes the next reply.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "install/ui/desktop.h"

namespace install::ui {

class HostDesktop : public Desktop {
 public:
  struct ShownMessage {
    std::string text;
    std::string caption;  // "(default)" when the system's default caption was asked for
    unsigned style = 0;
    int answer = 0;
  };
  // One dialog answer: the button, and for an ASK question the typed text or
  // for a group page the checked buttons (none: as shown).
  struct Reply {
    int button = kIdOk;
    std::optional<std::string> text;
    std::optional<std::vector<bool>> checks;
  };
  // What the dialogs showed, one line each ("first-screen", "ask2 Name?",
  // "groups 1,0", "disk <text>", "progress-open 3", "file <prompt><FILE>",
  // "popup <first line>", "please-wait <text>", ...).
  const std::vector<std::string>& Shown() const { return shown_; }

  // Queues the answer to the next message box.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  // Queues the reply to the next question dialog.
  void QueueReply(Reply reply) { replies_.push_back(std::move(reply)); }
  // After `pumps` calls of PumpMessages, report a cancel request.
  void RequestCancelAfter(int pumps) { cancel_after_ = pumps; }

  const std::vector<ShownMessage>& Messages() const { return messages_; }
  // Progress updates received: the last percentage-relevant figures.
  int progress_updates() const { return progress_updates_; }
  int64_t last_bytes_done() const { return last_bytes_done_; }

  int MessageBox(const std::string& text, const char* caption, unsigned style) override;
  bool PumpMessages() override;
  void ShowPleaseWait(const std::string& text) override { shown_.push_back("please-wait " + text); }
  int ShowTextScreen(TextScreen which, const ScriptDialog& dialog, const PromptTexts& texts) override;
  int AskQuestion(int number, const std::string& prompt, std::string* answer,
                  const PromptTexts& texts) override;
  int ChooseGroups(const GroupPageView& page, std::vector<bool>* checked,
                   const PromptTexts& texts) override;
  int PromptForDisk(const std::string& text) override;
  void OpenProgress(int step_total, const PromptTexts& texts) override;
  void ShowProgressFile(const std::string& prompt, const std::string& file) override;
  void UpdateProgress(bool step_done, int64_t bytes_done, int64_t bytes_total) override;
  void CloseProgress() override;
  void ShowPopup(const ScriptDialog& dialog) override;
  void ClosePopup() override;

 private:
  // The next reply; a Cancel that the quit question turns down is skipped.
  // Returns the reply that closes the dialog.
  Reply NextReply(const PromptTexts& texts, const char* quit_caption);

  std::deque<int> answers_;
  std::deque<Reply> replies_;
  std::vector<ShownMessage> messages_;
  std::vector<std::string> shown_;
  int cancel_after_ = -1;
  int pumps_ = 0;
  int progress_updates_ = 0;
  int64_t last_bytes_done_ = 0;
};

}  // namespace install::ui
