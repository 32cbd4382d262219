#include "install/ui/host/host_desktop.h"

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

}  // namespace install::ui
