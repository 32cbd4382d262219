#include "tamblor/config/wait_for_disc.h"

namespace tamblor::config {

DiscWaitResult WaitForDisc(const DiscConfig& config, DiscPrompt& prompt, const std::string& path,
                           const std::string& translated_path, int kind,
                           const std::function<int(const std::string&)>& classify) {
  DiscWaitResult result{false, kind};
  if (!config.multi_disc()) return result;
  prompt.BeginWait();
  while (result.kind == kKindMissing) {
    int disc = config.RequiredDisc(translated_path);
    if (disc == 0) break;
    if (!prompt.AskForDisc(path, config.disc_title(), disc)) {
      result.cancelled = true;
      break;
    }
    result.kind = classify(translated_path);
  }
  prompt.EndWait();
  return result;
}

}  // namespace tamblor::config
