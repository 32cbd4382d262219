#include "install/ui/host/host_desktop.h"

#include "install/os/ascii_case.h"
#include "install/ui/dialog_rules.h"

namespace install::ui {

int HostDesktop::MessageBox(const std::string& text, const char* caption, unsigned style) {
  int answer;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  } else {
    answer = (style & 0x0F) == kMbYesNo ? kIdYes : kIdOk;
  }
  messages_.push_back(ShownMessage{text, caption ? caption : "(default)", style, answer});
  return answer;
}

bool HostDesktop::PumpMessages() {
  ++pumps_;
  return cancel_after_ >= 0 && pumps_ > cancel_after_;
}

HostDesktop::Reply HostDesktop::NextReply(const PromptTexts& texts, const char* quit_caption) {
  while (true) {
    Reply reply;
    if (!replies_.empty()) {
      reply = replies_.front();
      replies_.pop_front();
    }
    if (reply.button != kIdCancel || ConfirmQuit(*this, texts, quit_caption)) return reply;
  }
}

int HostDesktop::ShowTextScreen(TextScreen which, const ScriptDialog&, const PromptTexts& texts) {
  shown_.push_back(which == TextScreen::First ? "first-screen" : "last-screen");
  return NextReply(texts, "").button;
}

int HostDesktop::AskQuestion(int number, const std::string& prompt, std::string* answer,
                             const PromptTexts& texts) {
  shown_.push_back("ask" + std::to_string(number) + " " + prompt + " [" + *answer + "]");
  Reply reply = NextReply(texts, " ");
  if (reply.button == kIdOk && reply.text) *answer = *reply.text;
  return reply.button;
}

int HostDesktop::ChooseGroups(const GroupPageView& page, std::vector<bool>* checked,
                              const PromptTexts& texts) {
  std::string state;
  for (bool c : *checked) state += state.empty() ? (c ? "1" : "0") : (c ? ",1" : ",0");
  shown_.push_back("groups " + state);
  while (true) {
    Reply reply = NextReply(texts, "");
    if (reply.button != kIdOk) return reply.button;
    std::vector<bool> chosen = reply.checks ? *reply.checks : *checked;
    chosen.resize(page.names.size(), false);
    if (AnyGroupChecked(chosen)) {
      *checked = chosen;
      return kIdOk;
    }
    MessageBox(texts.no_group, " ", kMbOk | kMbIconWarning);
    if (replies_.empty()) return kIdCancel;  // nothing more to answer with
  }
}

// The real prompt is a message box; here it is one too, answered from the
// message-box answers.
int HostDesktop::PromptForDisk(const std::string& text) {
  shown_.push_back("disk " + text);
  return MessageBox(text, " ", kMbOkCancel | kMbIconInformation);
}

void HostDesktop::OpenProgress(int step_total, const PromptTexts&) {
  shown_.push_back("progress-open " + std::to_string(step_total));
}

void HostDesktop::ShowProgressFile(const std::string& prompt, const std::string& file) {
  shown_.push_back("file " + prompt + os::UpperCopy(file));
}

void HostDesktop::UpdateProgress(bool, int64_t bytes_done, int64_t) {
  ++progress_updates_;
  last_bytes_done_ = bytes_done;
}

void HostDesktop::CloseProgress() { shown_.push_back("progress-close"); }

void HostDesktop::ShowPopup(const ScriptDialog& dialog) {
  shown_.push_back("popup " + (dialog.lines.empty() ? std::string() : dialog.lines.front()));
}

void HostDesktop::ClosePopup() { shown_.push_back("popup-close"); }

}  // namespace install::ui
