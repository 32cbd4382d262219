// A Desktop that answers from a script of responses and records what it showed.
// Used by the tests and the command-line tools.
#pragma once

#include <deque>
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

  // Queues the answer to the next message box. Without a queued answer a box
  // is answered with its first button (OK or Yes).
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  // After `pumps` calls of PumpMessages, report a cancel request.
  void RequestCancelAfter(int pumps) { cancel_after_ = pumps; }

  const std::vector<ShownMessage>& Messages() const { return messages_; }

  int MessageBox(const std::string& text, const char* caption, unsigned style) override;
  bool PumpMessages() override;

 private:
  std::deque<int> answers_;
  std::vector<ShownMessage> messages_;
  int cancel_after_ = -1;
  int pumps_ = 0;
};

}  // namespace install::ui
