#include "tamblor/text/fatal_exit.h"

#include <cstdio>
#include <cstdlib>

namespace tamblor::text {
namespace {

void ExitProcess(int exit_code) { std::exit(exit_code); }

FatalExitHook current_hook = &ExitProcess;
FatalMessageHook message_hook = nullptr;

}  // namespace

FatalExitHook SetFatalExitHook(FatalExitHook hook) {
  FatalExitHook previous = current_hook;
  current_hook = hook != nullptr ? hook : &ExitProcess;
  return previous;
}

FatalMessageHook SetFatalMessageHook(FatalMessageHook hook) {
  FatalMessageHook previous = message_hook;
  message_hook = hook;
  return previous;
}

void FatalFileError(const std::string& message) {
  std::fputs(message.c_str(), stderr);
  std::fflush(stderr);
  if (message_hook && !message.empty()) message_hook(message);
  current_hook(-1);
  std::exit(-1);
}

}  // namespace tamblor::text
