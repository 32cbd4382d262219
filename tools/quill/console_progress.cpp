#include "tools/quill/console_progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define QUILL_ISATTY _isatty
#define QUILL_FILENO _fileno
#else
#include <unistd.h>
#define QUILL_ISATTY isatty
#define QUILL_FILENO fileno
#endif

namespace quill {

ConsoleProgress::ConsoleProgress() : on_terminal_(QUILL_ISATTY(QUILL_FILENO(stderr)) != 0) {}

void ConsoleProgress::Show(const std::string& text) {
  if (!on_terminal_) return;
  std::fprintf(stderr, "\r\x1b[K%s", text.c_str());
  std::fflush(stderr);
  showing_ = true;
}

void ConsoleProgress::Clear() {
  if (!showing_) return;
  std::fprintf(stderr, "\r\x1b[K");
  std::fflush(stderr);
  showing_ = false;
}

void ConsoleProgress::Finish(const std::string& summary) {
  if (!on_terminal_) return;
  std::fprintf(stderr, "\r\x1b[K%s\n", summary.c_str());
  std::fflush(stderr);
  showing_ = false;
}

}  // namespace quill
