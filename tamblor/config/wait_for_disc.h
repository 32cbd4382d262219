// The prompt loop of a multi-disc set: while the selected file is missing and
// its path names another disc of the set, ask the user to insert that disc.
#pragma once

#include <functional>
#include <string>

#include "tamblor/config/disc_config.h"

namespace tamblor::config {

// The value of FileKind for a file that does not exist.
inline constexpr int kKindMissing = 0;

// What WaitForDisc needs of the user interface.
class DiscPrompt {
 public:
  virtual ~DiscPrompt() = default;
  virtual void BeginWait() = 0;  // the wait cursor
  virtual void EndWait() = 0;    // the cursor as before
  // Asks for disc `disc` of the set titled `disc_title` while locating `path`
  // (the text of string 30, caption string 31, OK and Cancel). True for OK.
  virtual bool AskForDisc(const std::string& path, const std::string& disc_title, int disc) = 0;
};

struct DiscWaitResult {
  bool cancelled = false;  // the user chose Cancel: the caller does nothing more
  int kind = kKindMissing;  // the final kind of the translated path
};

// Runs only for a multi-disc set (otherwise `kind` comes back as it is).
// `classify` gives the kind of a path (ClassifyPath).
DiscWaitResult WaitForDisc(const DiscConfig& config, DiscPrompt& prompt, const std::string& path,
                           const std::string& translated_path, int kind,
                           const std::function<int(const std::string&)>& classify);

}  // namespace tamblor::config
