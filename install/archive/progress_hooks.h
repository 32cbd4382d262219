// What the engine tells the progress display while it installs. The default
// does nothing; the executor forwards both to the main window (progress
// refresh and "show the file being installed").
#pragma once

#include <string>

namespace install::archive {

class ProgressHooks {
 public:
  virtual ~ProgressHooks() = default;
  // Redraw the progress display from the current byte counts.
  virtual void RefreshProgress() {}
  // Show `path` as the file being installed.
  virtual void ShowFileBeingInstalled(const std::string& path) {}
};

}  // namespace install::archive
