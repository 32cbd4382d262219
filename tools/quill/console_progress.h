// Progress of quill's long commands (pack, extract, simulate): one line on
// standard error, rewritten in place, and only when standard error is a
// terminal, so that redirected output and pipes stay quiet.
#pragma once

#include <string>

namespace quill {

class ConsoleProgress {
 public:
  // Shown only when standard error is a terminal.
  ConsoleProgress();
  ~ConsoleProgress() { Clear(); }
  ConsoleProgress(const ConsoleProgress&) = delete;
  ConsoleProgress& operator=(const ConsoleProgress&) = delete;

  bool shown() const { return on_terminal_; }
  // Replaces the progress line with `text`.
  void Show(const std::string& text);
  // Removes the progress line (before other output, and at the end).
  void Clear();
  // Replaces the progress line with a last line that stays.
  void Finish(const std::string& summary);

 private:
  bool on_terminal_;
  bool showing_ = false;
};

}  // namespace quill
