#include "install/ui/host/answer_desktop.h"

#include <algorithm>

#include "install/os/ascii_case.h"
#include "install/ui/dialog_rules.h"

namespace install::ui {
namespace {

std::string ButtonWord(int answer) {
  switch (answer) {
    case kIdYes: return "yes";
    case kIdNo: return "no";
    case kIdCancel: return "cancel";
    default: return "ok";
  }
}

// The answer word of a message box of `style` that a person may give.
std::optional<int> ButtonOf(const std::string& word, unsigned style) {
  const bool yes_no = (style & 0x0F) == kMbYesNo;
  const bool ok_cancel = (style & 0x0F) == kMbOkCancel;
  if (yes_no && word == "yes") return kIdYes;
  if (yes_no && word == "no") return kIdNo;
  if (!yes_no && word == "ok") return kIdOk;
  if (ok_cancel && word == "cancel") return kIdCancel;
  return std::nullopt;
}

std::string FirstField(const std::string& text) { return text.substr(0, text.find('\t')); }
std::string AfterTab(const std::string& text) {
  std::size_t tab = text.find('\t');
  return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

}  // namespace

std::vector<AnswerDesktop::Answer> ReadAnswerLines(const std::string& text) {
  std::vector<AnswerDesktop::Answer> answers;
  std::size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++number;
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    answers.push_back({line, number});
  }
  return answers;
}

AnswerDesktop::AnswerDesktop(std::vector<Answer> answers, bool unscripted, DiskChanger change_disk)
    : answers_(std::move(answers)), unscripted_(unscripted), change_disk_(std::move(change_disk)) {}

void AnswerDesktop::set_disk_order(char letter, std::vector<std::string> names, std::string current) {
  disk_letter_ = letter;
  disk_order_ = std::move(names);
  current_disk_ = std::move(current);
}

std::vector<AnswerDesktop::Answer> AnswerDesktop::Unused() const {
  return std::vector<Answer>(answers_.begin() + static_cast<std::ptrdiff_t>(next_), answers_.end());
}

void AnswerDesktop::Mismatch(const std::string& expected, const std::string& met) {
  if (!mismatch_.empty()) return;
  mismatch_ = "expected: " + expected + "\nmet:      " + met;
}

bool AnswerDesktop::Take(const std::string& kind, const std::string& met, std::string* rest) {
  if (mismatched()) return false;
  if (unscripted_) return false;
  if (next_ >= answers_.size()) {
    Mismatch("(no more answers)", met);
    return false;
  }
  const Answer& answer = answers_[next_];
  const std::size_t space = answer.line.find(' ');
  const std::string word = answer.line.substr(0, space);
  if (word != kind) {
    Mismatch("line " + std::to_string(answer.line_number) + ": " + answer.line, met);
    return false;
  }
  *rest = space == std::string::npos ? std::string() : answer.line.substr(space + 1);
  ++next_;
  return true;
}

int AnswerDesktop::MessageBox(const std::string& text, const char*, unsigned style) {
  const int default_answer = (style & 0x0F) == kMbYesNo ? kIdYes : kIdOk;
  if (mismatched()) return (style & 0x0F) == kMbYesNo ? kIdYes : kIdCancel;
  int answer = default_answer;
  if (!unscripted_) {
    std::string rest;
    const std::string met = "messagebox " + ButtonWord(default_answer) + "\t" + text;
    if (!Take("messagebox", met, &rest)) return (style & 0x0F) == kMbYesNo ? kIdYes : kIdCancel;
    std::optional<int> button = ButtonOf(FirstField(rest), style);
    if (!button || AfterTab(rest) != text) {
      Mismatch("messagebox " + rest, met);
      return (style & 0x0F) == kMbYesNo ? kIdYes : kIdCancel;
    }
    answer = *button;
  }
  transcript_.push_back("messagebox " + ButtonWord(answer) + "\t" + text);
  return answer;
}

// Cancel on a question dialog: the quit question decides.
int AnswerDesktop::DialogCancelled(const PromptTexts& texts, const char* caption) {
  return ConfirmQuit(*this, texts, caption) ? kIdCancel : -1;
}

int AnswerDesktop::ShowTextScreen(TextScreen which, const ScriptDialog&, const PromptTexts& texts) {
  const std::string kind = which == TextScreen::First ? "firstscreen" : "lastscreen";
  while (true) {
    if (mismatched()) return kIdCancel;
    std::string rest = "ok";
    if (!unscripted_ && !Take(kind, kind + " ok", &rest)) return kIdCancel;
    if (rest != "ok" && rest != "cancel") {
      Mismatch(kind + " " + rest, kind + " ok|cancel");
      return kIdCancel;
    }
    transcript_.push_back(kind + " " + rest);
    if (rest == "ok") return kIdOk;
    if (DialogCancelled(texts, "") == kIdCancel) return kIdCancel;
  }
}

int AnswerDesktop::AskQuestion(int number, const std::string& prompt, std::string* answer,
                               const PromptTexts&) {
  const std::string kind = "ask" + std::to_string(number);
  if (mismatched()) return kIdCancel;
  std::string rest = *answer;
  if (!unscripted_ && !Take(kind, kind + " " + *answer + "   (" + prompt + ")", &rest)) return kIdCancel;
  *answer = rest;
  transcript_.push_back(kind + " " + rest);
  return kIdOk;
}

int AnswerDesktop::ChooseGroups(const GroupPageView& page, std::vector<bool>* checked,
                                const PromptTexts& texts) {
  std::string shown;
  for (std::size_t i = 0; i < page.names.size(); ++i) {
    if (i < checked->size() && (*checked)[i]) shown += (shown.empty() ? "" : ",") + page.names[i];
  }
  while (true) {
    if (mismatched()) return kIdCancel;
    std::string rest = shown;
    if (!unscripted_ && !Take("groups", "groups " + shown, &rest)) return kIdCancel;
    if (rest == "cancel") {
      transcript_.push_back("groups cancel");
      if (DialogCancelled(texts, "") == kIdCancel) return kIdCancel;
      continue;
    }
    std::vector<bool> chosen(page.names.size(), false);
    std::size_t start = 0;
    while (start < rest.size()) {
      std::size_t comma = rest.find(',', start);
      if (comma == std::string::npos) comma = rest.size();
      const std::string number = rest.substr(start, comma - start);
      auto found = std::find_if(page.names.begin(), page.names.end(), [&](const std::string& name) {
        return !number.empty() && std::stoi(name) == std::atoi(number.c_str());
      });
      if (found == page.names.end()) {
        Mismatch("groups " + rest, "groups from " + std::to_string(page.names.size()) + " on the page");
        return kIdCancel;
      }
      chosen[static_cast<std::size_t>(found - page.names.begin())] = true;
      start = comma + 1;
    }
    transcript_.push_back("groups " + rest);
    if (AnyGroupChecked(chosen)) {
      *checked = chosen;
      return kIdOk;
    }
    MessageBox(texts.no_group, " ", kMbOk | kMbIconWarning);
    if (unscripted_) return kIdCancel;
  }
}

int AnswerDesktop::PromptForDisk(const std::string& text) {
  if (mismatched()) return kIdCancel;
  std::string rest;
  if (unscripted_) {
    auto at = std::find(disk_order_.begin(), disk_order_.end(), current_disk_);
    std::size_t next = at == disk_order_.end() ? 0 : static_cast<std::size_t>(at - disk_order_.begin()) + 1;
    if (next >= disk_order_.size()) {
      transcript_.push_back("disk-prompt cancel\t" + text);
      return kIdCancel;
    }
    rest = "ok\t" + text + "\t" + std::string(1, disk_letter_) + ":=" + disk_order_[next];
  } else if (!Take("disk-prompt", "disk-prompt ok\t" + text, &rest)) {
    return kIdCancel;
  }
  const std::string word = FirstField(rest);
  const std::string after = AfterTab(rest);
  const std::string shown = FirstField(after);
  if ((word != "ok" && word != "cancel") || shown != text) {
    Mismatch("disk-prompt " + rest, "disk-prompt ok\t" + text);
    return kIdCancel;
  }
  if (word == "cancel") {
    transcript_.push_back("disk-prompt cancel\t" + text);
    return kIdCancel;
  }
  const std::string change = AfterTab(after);
  if (change.size() < 4 || change[1] != ':' || change[2] != '=' ||
      !change_disk_(os::UpperAscii(change[0]), change.substr(3))) {
    Mismatch("disk-prompt " + rest, "a disk change of the form X:=NAME naming a disk of the machine");
    return kIdCancel;
  }
  disk_letter_ = os::UpperAscii(change[0]);
  current_disk_ = change.substr(3);
  transcript_.push_back("disk-prompt ok\t" + text + "\t" + change);
  return kIdOk;
}

int AnswerDesktop::AskDestination(const DestinationQuestion& question, std::string* chosen) {
  const std::string met = "destination " + question.path + "\t" + question.prompt;
  while (true) {
    if (mismatched()) return kDestinationCancelled;
    std::string rest = question.path;
    if (!unscripted_ && !Take("destination", met, &rest)) return kDestinationCancelled;
    const std::string path = FirstField(rest);
    if (rest.find('\t') != std::string::npos && AfterTab(rest) != question.prompt) {
      Mismatch("destination " + rest, met);
      return kDestinationCancelled;
    }
    // What the person types into the dialog's entry field for `path`.
    std::string typed = os::UpperCopy(path);
    if (question.ask_mode == 1) typed = typed.size() > 3 ? typed.substr(3) : std::string();
    if (question.ask_mode == 2) typed = typed.substr(0, 1);
    std::optional<std::string> result = DestinationFromEntry(question.ask_mode, question.path, typed);
    transcript_.push_back("destination " + path + "\t" + question.prompt);
    if (!result) {
      MessageBox(bad_drive_text_, " ", kMbOk | kMbIconWarning);
      if (unscripted_) return kDestinationCancelled;
      continue;
    }
    if (create_directories_ && create_directories_(*result) != 0) {
      if (unscripted_) return kDestinationCancelled;
      continue;
    }
    *chosen = *result;
    return kDestinationConfirmed;
  }
}

}  // namespace install::ui
